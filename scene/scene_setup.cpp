// Scene setup: turns the configuration and the resource library into a
// running scene. Full screen builds everything; the preview pane shows the
// background alone, scaled. Each reads the configuration once, then runs its
// steps in order; the work of each step lives in its room: the background
// (setup_background), the shared palette (setup_palette), the sprites and
// actors (setup_actors).
#include "scene/scene_setup.h"

#include <cstdint>
#include <new>

#include "gfx/debug_log.h"
#include "gfx/dib_surface.h"
#include "gfx/display.h"
#include "gfx/palette.h"
#include "gfx/random_below.h"
#include "gfx/screen_masks.h"
#include "gfx/window_surface.h"
#include "pixel/pixel_format.h"
#include "scene/config.h"
#include "scene/frame_tick.h"
#include "scene/library_file.h"
#include "scene/monitors.h"
#include "scene/saver_constants.h"
#include "scene/scene_graphics.h"
#include "scene/scene_state.h"
#include "scene/scene_view.h"
#include "scene/screen_layout.h"
#include "scene/setup_actors.h"
#include "scene/setup_background.h"
#include "scene/setup_monitors.h"
#include "scene/setup_palette.h"
#include "scene/display_power.h"
#include "scene/tick_trace.h"
#include "scene/view_presenter.h"

namespace {

constexpr const char* kMissingLibraryMessage = "Unable to locate RERADOR!";
// The preview quantises a deeper custom picture from a copy this small.
constexpr std::int32_t kPreviewSampleSize = 100;

struct ScreenFacts {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 0;
  bool green6 = false;  // a 16-bit screen with six bits of green (565)
};

ScreenFacts ReadScreenFacts(HWND window) {
  ScreenFacts facts;
  HDC dc = GetDC(window);
  if (!dc) return facts;
  facts.width = GetDeviceCaps(dc, HORZRES);
  facts.height = GetDeviceCaps(dc, VERTRES);
  facts.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
  if (facts.bitsPerPixel == 16) facts.green6 = ScreenGreenMask(dc) == 0x07E0;
  ReleaseDC(window, dc);
  return facts;
}

void EnterDataDirectory(const char* path) {
  if (path[0] && !SetCurrentDirectoryA(path))
    DebugLog("Tidewater: data directory %s not entered\n", path);
}

// Reads the head of the library file and checks that the file holds every
// section its headers promise.
bool LibraryFileIsComplete() {
  HANDLE file = CreateFileA(kLibraryFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::uint8_t head[kLibraryHeadBytes];
  DWORD got = 0;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const bool read = ReadFile(file, head, sizeof head, &got, nullptr) != 0;
  CloseHandle(file);
  if (!read || (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)) return false;
  return LibraryFileComplete(head, got, std::uint64_t(high) << 32 | low);
}

// The library is data only: nothing in it ever runs.
HMODULE LoadResourceLibrary() {
  if (!LibraryFileIsComplete()) return nullptr;
  return LoadLibraryExA(kLibraryFile, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

SoundPlan SoundPlanOf(const SceneConfig& config) {
  SoundPlan plan;
  plan.muted = config.mute != 0;
  plan.volume = config.volume;
  plan.soundMinutes = config.soundMinutes;
  plan.soundChange = config.soundChange;
  plan.minuteMs = TraceMinuteMs(plan.minuteMs);
  return plan;
}

// A notice on the screen until the first tick copies the scene over it, in
// window coordinates (without the scene's offset).
void ShowLoadingNotice(Display* display, std::int32_t width, std::int32_t height) {
  WindowSurface* screen = display->ScreenSurface();
  if (!screen) return;
  (void)screen->FillRect(0, 0, width, height, 0);  // GDI's fill: the notice shows regardless
  HDC dc = screen->LockDC();
  if (!dc) return;
  static const char kNotice[] = "Loading... Please wait.";
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  SetTextAlign(dc, TA_CENTER);
  TextOutA(dc, width / 2, height / 2, kNotice, static_cast<int>(sizeof kNotice - 1));
  screen->UnlockDC();
}

// The graphics system every setup starts with, after seeding the scene's
// generator.
SceneGraphics* StartGraphics(HWND window) {
  SeedRandom(TraceSeed(timeGetTime()));
  auto* graphics = new (std::nothrow)
      SceneGraphics(gScene.presentList, gScene.restoreList, gScene.overlays);
  if (!graphics) return nullptr;
  auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  graphics->StartGraphicsSystem(module, window);
  gScene.objects = graphics;
  return graphics;
}

// The scene's size, type and place: edge to edge, the primary monitor's
// shape, at twice the size on a large monitor when the library has the art.
ScreenLayout LayoutFor(const ScreenFacts& screen, FillMode fill, HMODULE library) {
  if (fill != FILL_EDGE)
    return FullScreenLayout(screen.width, screen.height, screen.bitsPerPixel, screen.green6);
  const ScreenLayout edge =
      EdgeLayout(screen.width, screen.height, screen.bitsPerPixel, screen.green6);
  if (!library || !LibraryHasTwiceSizeArt(library)) return edge;
  return TwiceSizeLayout(edge, screen.width, screen.height);
}

// Where the scene shows. One monitor and the scene at its own size: the
// single centred copy at the tick's offsets. Otherwise a view on each
// monitor, fitted or covering when "FILLSCREEN" asks for it; edge to edge
// with own set, every monitor after the primary shows a scene of its own.
// After the palette, which the scaled views' surfaces take over.
void PlaceViews(SceneGraphics& graphics, std::int32_t width, std::int32_t height, FillMode fill,
                const MonitorSceneSetup* own) {
  Rect monitors[ViewPresenter::kMaxViews];
  const int count = ListMonitors(monitors, ViewPresenter::kMaxViews);
  if (count == 1 && fill == FILL_CENTRED) return;
  SceneView views[ViewPresenter::kMaxViews];
  int made = MakeViews(monitors, count, width, height, fill, views);
  if (own && count > 1)
    made = 1 + AddMonitorScenes(graphics, monitors + 1, count - 1, *own, views + 1);
  if (!graphics.SetViews(views, made)) {
    DebugLog("Tidewater: no surface for the scaled views; the scene stays centred\n");
    return;
  }
  for (int i = 0; i < made; ++i)
    DebugLog("Tidewater: view %d at %d,%d %dx%d on monitor %d,%d %dx%d\n", i, views[i].area.x,
             views[i].area.y, views[i].area.width, views[i].area.height, monitors[i].x,
             monitors[i].y, monitors[i].width, monitors[i].height);
}

// Edge to edge, a scene a monitor unless "SAMESCENE" asks for one, mirrored.
// An 8-bit screen has one palette, made for one background: one scene.
bool OwnScenes(const SceneConfig& config, FillMode fill, std::uint16_t backType) {
  return fill == FILL_EDGE && config.sameScene == 0 && backType != PIXEL_INDEX8;
}

}  // namespace

int SetupFullScreen(HWND window) {
  SceneGraphics* graphics = StartGraphics(window);
  if (!graphics) return 1;
  const SceneConfig config = ReadSceneConfig(RegistryConfigSource());

  const ScreenFacts screen = ReadScreenFacts(window);
  const FillMode fill = static_cast<FillMode>(config.fillScreen);
  // The library first: whether it has the art at twice the size decides the
  // back surface's size.
  EnterDataDirectory(config.dataPath);
  HMODULE library = LoadResourceLibrary();
  const ScreenLayout layout = LayoutFor(screen, fill, library);
  gScene.offsetX = layout.offsetX;
  gScene.offsetY = layout.offsetY;
  Display* display = graphics->OpenDisplay(layout.width, layout.height, layout.type, window,
                                           DISPLAY_MANAGE_PALETTE);
  DibSurface* back = display ? display->BackSurface() : nullptr;
  if (!back) {
    if (library) FreeLibrary(library);
    return 1;
  }
  graphics->SetScale(layout.scale);
  const std::uint16_t backType = back->Type();
  DebugLog("Tidewater: back surface %dx%d, pixel type %u, on a %d-bit screen, scale %d/%d\n",
           layout.width, layout.height, static_cast<unsigned>(backType), screen.bitsPerPixel,
           layout.scale.num, layout.scale.den);

  ShowWindow(window, SW_SHOW);
  ShowLoadingNotice(display, layout.width, layout.height);

  if (!library) {
    MessageBoxA(window, kMissingLibraryMessage, nullptr, MB_ICONWARNING);
    return 1;
  }
  const BackgroundTarget target = {layout.width, layout.height, layout.designWidth,
                                   fill == FILL_EDGE, layout.scale};
  BackgroundPicture background =
      LoadFullScreenBackground(graphics->System(), library, config, target, backType);
  Palette* palette =
      backType == PIXEL_INDEX8 ? BuildScenePalette(display, library, background) : nullptr;
  ConvertBackground(background.image, backType, palette);
  FitBackground(graphics->System(), background);
  graphics->SetBackground(background.image);
  ResampledStrips resampled;
  const SpriteTarget sprites = {library, backType, palette, layout.scale, &resampled};
  const BubbleImages bubbles = LoadBubbles(sprites);
  graphics->SetBubbles(bubbles.sprite, bubbles.mask);
  FillActorTable(gScene.actors, graphics->Stage(), sprites, config, background);
  if (palette) palette->Release();
  const MonitorSceneSetup own = {&config, library, backType, screen.bitsPerPixel,
                                 screen.green6, background.stockIndex, &resampled};
  PlaceViews(*graphics, layout.width, layout.height, fill,
             OwnScenes(config, fill, backType) ? &own : nullptr);
  graphics->StartMixer(window, library, SoundPlanOf(config), LoadResourceLibrary);
  FreeLibrary(library);
  graphics->PlayAmbientSound(timeGetTime());
  RegisterDisplayState(window);
  StartFrameLoop(window, back->Width(), back->Height());
  return 0;
}

// The preview's back surface always has 8 bits and the size of the whole
// screen, which the background is scaled to.
int SetupPreview(HWND window) {
  SceneGraphics* graphics = StartGraphics(window);
  if (!graphics) return 1;
  const SceneConfig config = ReadSceneConfig(RegistryConfigSource());

  const ScreenFacts screen = ReadScreenFacts(window);
  EnterDataDirectory(config.dataPath);
  Display* display = graphics->OpenDisplay(screen.width, screen.height, PIXEL_INDEX8, window,
                                           DISPLAY_MANAGE_PALETTE);
  DibSurface* back = display ? display->BackSurface() : nullptr;
  if (!back) return 1;
  const std::uint16_t backType = back->Type();

  DibSurface* background = nullptr;
  if (DecodeDisplayChoice(config.display).kind == BackgroundChoice::kCustom)
    background = LoadCustomPicture(graphics->System(), config.customFile, screen.width,
                                   screen.height, false, backType, kPreviewSampleSize,
                                   kPreviewSampleSize);
  if (!background) {
    const std::int32_t stockIndex = StockIndexFor(config.display);
    HMODULE library = LoadResourceLibrary();
    if (!library) return 1;
    background = LoadPreviewPicture(graphics->System(), library, stockIndex, screen.width,
                                    screen.height, backType);
    FreeLibrary(library);
  }
  graphics->SetBackground(background);
  if (Palette* palette = background ? background->GetPalette() : nullptr)
    UseScenePalette(display, palette);

  StartFrameLoop(window, back->Width(), back->Height());
  return 0;
}
