// Scene setup: turns the configuration and the resource library into a
// running scene. Full screen builds everything; the preview pane shows the
// background alone, scaled.
#include "scene/scene_setup.h"

#include <cstring>
#include <new>

#include "gfx/arle_image.h"
#include "gfx/colour_quantiser.h"
#include "gfx/debug_log.h"
#include "gfx/dib_surface.h"
#include "gfx/display.h"
#include "gfx/graphics_system.h"
#include "gfx/palette.h"
#include "gfx/random_below.h"
#include "gfx/resource_block.h"
#include "gfx/trle_image.h"
#include "gfx/window_surface.h"
#include "gfx/wrapped_memory_block.h"
#include "picture/jpeg_loader.h"
#include "pixel/pixel_format.h"
#include "scene/config.h"
#include "scene/fish_actor.h"
#include "scene/frame_tick.h"
#include "scene/library_file.h"
#include "scene/puffer_actor.h"
#include "scene/scene_graphics.h"
#include "scene/scene_state.h"
#include "scene/species_table.h"
#include "scene/swim_range.h"
#include "scene/text_actor.h"

namespace {

constexpr const char* kMissingLibraryMessage = "Unable to locate RERADOR!";
constexpr const char* kLibraryFile = "ReraDOR.dll";
constexpr int kBackgroundPaletteEntries = 135;
constexpr int kFishPaletteEntries = 100;
constexpr int kMaxUsedSlots = 20;

// The convert flags that give backgrounds the inverse map with diffusion.
constexpr std::uint32_t kBackgroundConvertFlags = CONVERT_INVERSE_MAP | CONVERT_DIFFUSE;

struct ScreenFacts {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bitsPerPixel = 0;
};

ScreenFacts ReadScreenFacts(HWND window) {
  ScreenFacts facts;
  HDC dc = GetDC(window);
  if (!dc) return facts;
  facts.width = GetDeviceCaps(dc, HORZRES);
  facts.height = GetDeviceCaps(dc, VERTRES);
  facts.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(window, dc);
  return facts;
}

std::uint16_t BackTypeForDepth(std::int32_t bits) {
  switch (bits) {
    case 16: return PIXEL_RGB555;
    case 24: return PIXEL_RGB24;
    case 32: return PIXEL_RGB32;
    default: return PIXEL_INDEX8;
  }
}

void LogicalSize(std::int32_t screenWidth, std::int32_t& width, std::int32_t& height) {
  if (screenWidth < 800) {
    width = 640;
    height = 480;
  } else if (screenWidth < 1024) {
    width = 800;
    height = 600;
  } else {
    width = 1024;
    height = 768;
  }
}

std::int32_t CentredOffset(std::int32_t screen, std::int32_t logical) {
  std::int32_t offset = (screen - logical) / 2;
  return offset < 0 ? 0 : offset;
}

void EnterDataDirectory() {
  char path[kConfigTextSize];
  ReadConfigText(HKEY_LOCAL_MACHINE, kDataPathValue, path);
  if (path[0]) SetCurrentDirectoryA(path);
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

void ShowLoadingNotice(Display* display, std::int32_t width, std::int32_t height) {
  WindowSurface* screen = display->ScreenSurface();
  if (!screen) return;
  (void)screen->FillRect(0, 0, width, height, 0);
  HDC dc = screen->LockDC();
  if (!dc) return;
  static const char kNotice[] = "Loading... Please wait.";
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  SetTextAlign(dc, TA_CENTER);
  TextOutA(dc, width / 2, height / 2, kNotice, static_cast<int>(sizeof kNotice - 1));
  screen->UnlockDC();
}

// Feeds a 24-bit image to a quantiser and returns a new 256-entry palette of
// its colours (one reference for the caller), or null.
Palette* QuantisedPalette(Image* picture24) {
  std::uint8_t* bits = nullptr;
  std::int32_t pitch = 0;
  if (picture24->Lock(&bits, &pitch) != GFX_OK) return nullptr;
  ColourQuantiser quantiser(256);
  quantiser.AddPixels(bits, picture24->Width(), pitch, picture24->Height(), nullptr, nullptr,
                      QUANTISE_SAMPLE);
  (void)picture24->Unlock();
  PaletteEntry table[256] = {};
  quantiser.BuildPalette(table);
  Palette* palette = new (std::nothrow) Palette;
  if (!palette) return nullptr;
  if (palette->Create(256) != PALETTE_OK || palette->SetEntries(table, 0, 256) != PALETTE_OK) {
    palette->Release();
    return nullptr;
  }
  return palette;
}

// Gives image a palette made from its own colours when the back surface
// needs 8-bit pixels and the image has deeper ones: the image goes through a
// 24-bit copy of itself first, which is what the quantiser reads.
void QuantiseForIndexedBack(GraphicsSystem* graphics, DibSurface* image, std::uint16_t backType,
                            std::int32_t sampleWidth, std::int32_t sampleHeight) {
  if (backType != PIXEL_INDEX8 || image->Type() == PIXEL_INDEX8) return;
  DibSurface* sample = graphics->NewDibSurface();
  if (!sample) return;
  if (sample->Create(sampleWidth, sampleHeight, image->Type()) == GFX_OK) {
    (void)sample->BlitFrom(0, 0, sampleWidth, sampleHeight, image, 0, 0, image->Width(),
                           image->Height(), 0, 0);
    (void)sample->Convert(PIXEL_RGB24, nullptr, CONVERT_INVERSE_MAP);
    if (Palette* palette = QuantisedPalette(sample)) {
      (void)image->SetPalette(palette);
      palette->Release();
    }
  }
  sample->Release();
}

// The user's bitmap file scaled to the scene and converted to the back type,
// as a packed bitmap in new global memory; null when it cannot be used
// (missing, unreadable, or fewer than 256 colours).
HGLOBAL LoadCustomPicture(GraphicsSystem* graphics, PackedDibImage& picture,
                          std::int32_t width, std::int32_t height, std::uint16_t backType) {
  char path[kConfigTextSize];
  ReadConfigText(HKEY_CURRENT_USER, kCustomFileValue, path);
  if (!path[0]) return nullptr;
  if (picture.Load(path, LOAD_FROM_FILE, nullptr, nullptr) != GFX_OK) return nullptr;
  if (picture.Type() < PIXEL_INDEX8) return nullptr;

  HGLOBAL result = nullptr;
  DibSurface* scaled = graphics->NewDibSurface();
  DibSurface* copy = graphics->NewDibSurface();
  if (scaled && copy && scaled->Create(width, height, picture.Type()) == GFX_OK &&
      copy->CopyFrom(&picture) == GFX_OK) {
    if (picture.GetPalette()) (void)scaled->SetPalette(picture.GetPalette());
    (void)scaled->BlitFrom(0, 0, width, height, copy, 0, 0, copy->Width(), copy->Height(), 0, 0);
    QuantiseForIndexedBack(graphics, scaled, backType, width, height);
    (void)scaled->Convert(backType, scaled->GetPalette(), 0);
    if (picture.CopyFrom(scaled) == GFX_OK && picture.Header()) {
      std::uint32_t bytes = picture.DibBytes();
      result = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes);
      if (result) std::memcpy(result, picture.Header(), bytes);
    }
  }
  if (scaled) scaled->Release();
  if (copy) copy->Release();
  return result;
}

// A stock background picture decoded from its JPEG resource.
HGLOBAL LoadStockPicture(HMODULE library, const char* name) {
  ResourceBlock resource(library, name, kPictureResourceType);
  void* bytes = resource.Lock();
  if (!bytes) {
    DebugLog("Tidewater: no background picture %s\n", name);
    return nullptr;
  }
  return LoadJpegFromMemory(bytes, resource.Size());
}

std::int32_t RandomStockIndex() { return RandomMod(kBackgroundCount); }

// Setup runs inside window creation, before the window is brought to the
// foreground, and a palette realised then only gets the colours already on
// the screen. Asking for the realisation through the queue runs it once the
// window is in front.
void RealizeWhenForeground(Display* display) {
  if (display->Window()) PostMessageA(display->Window(), WM_QUERYNEWPALETTE, 0, 0);
}

// The shared 8-bit palette: the background's 135 colours, the sprites' 100,
// then the system colours merged in.
Palette* BuildScenePalette(Display* display, PackedDibImage& picture, HMODULE library,
                           std::int32_t stockIndex) {
  PaletteEntry table[256] = {};
  char name[8];
  if (stockIndex >= 0 && PalettePictureName(stockIndex, name, sizeof name))
    (void)picture.Load(name, LOAD_FROM_RESOURCE, library, kPictureResourceType);
  if (Palette* own = picture.GetPalette())
    (void)own->GetEntries(table, 0, own->Count() < kBackgroundPaletteEntries
                                        ? own->Count()
                                        : kBackgroundPaletteEntries);

  DibSurface* back = display->BackSurface();
  Palette* scene = back ? back->NewPalette() : nullptr;
  if (!scene) return nullptr;
  if (scene->Create(256) != PALETTE_OK) {
    scene->Release();
    return nullptr;
  }
  (void)scene->SetEntries(table, 0, kBackgroundPaletteEntries);

  std::memset(table, 0, sizeof table);
  if (picture.Load(kFishPaletteName, LOAD_FROM_RESOURCE, library, kPictureResourceType) ==
          GFX_OK &&
      picture.GetPalette()) {
    Palette* fish = picture.GetPalette();
    (void)fish->GetEntries(table, 0, fish->Count() < kFishPaletteEntries ? fish->Count()
                                                                          : kFishPaletteEntries);
  }
  (void)scene->SetEntries(table, kBackgroundPaletteEntries, kFishPaletteEntries);
  (void)scene->MergeSystemColours(0);
  (void)back->SetPalette(scene);
  if (display->ScreenSurface()) (void)display->ScreenSurface()->SetPalette(scene);
  RealizeWhenForeground(display);
  return scene;
}

// The background image, a DibSurface in the back type, from a packed bitmap.
DibSurface* MakeBackgroundImage(GraphicsSystem* graphics, PackedDibImage& picture,
                                HGLOBAL bitmap, std::uint16_t backType, Palette* palette) {
  DibSurface* background = graphics->NewDibSurface();
  if (!bitmap) return background;  // an empty background: the scene still runs
  auto* block = new (std::nothrow)
      WrappedMemoryBlock(bitmap, static_cast<std::uint32_t>(GlobalSize(bitmap)), true, false);
  if (!block) {
    GlobalFree(bitmap);
    return background;
  }
  if (picture.Attach(block) == GFX_OK) {
    (void)picture.Convert(backType, palette, kBackgroundConvertFlags);
    if (background) (void)background->CopyFrom(&picture);
  }
  return background;
}

// The sprite images of one species, converted for the back surface.
struct SpeciesImages {
  PackedDibImage* sprite = nullptr;
  TrleImage* mask = nullptr;
};

template <typename ImageClass>
ImageClass* LoadSprite(HMODULE library, const char* name) {
  auto* image = new (std::nothrow) ImageClass;
  if (image) (void)image->Load(name, LOAD_FROM_RESOURCE | LOAD_PRIVATE_COPY, library,
                               kPictureResourceType);
  return image;
}

// A keyed sprite's key is its palette's entry nearest to pure red.
void KeyOnRed(ArleImage* image) {
  Palette* palette = image->GetPalette();
  std::int32_t key = palette ? palette->NearestIndex(255, 0, 0) : -1;
  if (key >= 0) image->SetSourceKey(static_cast<std::uint32_t>(key));
}

ArleImage* LoadKeyedPicture(HMODULE library, const char* name, std::uint16_t backType,
                            Palette* palette) {
  ArleImage* image = LoadSprite<ArleImage>(library, name);
  if (!image) return nullptr;
  if (backType == PIXEL_INDEX8) (void)image->Convert(PIXEL_INDEX8, palette, 0);
  KeyOnRed(image);
  return image;
}

SpeciesImages LoadSpeciesImages(HMODULE library, const SpeciesRecord& record,
                                std::uint16_t backType, Palette* palette) {
  SpeciesImages images;
  if (record.maskName[0]) {
    TrleImage* sprite = LoadSprite<TrleImage>(library, record.spriteName);
    if (sprite) (void)sprite->Convert(backType, palette, 0);
    images.sprite = sprite;
    images.mask = LoadSprite<TrleImage>(library, record.maskName);
    return images;
  }
  images.sprite = LoadKeyedPicture(library, record.spriteName, backType, palette);
  return images;
}

Actor* MakeSpeciesActor(const SpeciesRecord& record, const SpeciesImages& images,
                        const ActorStage& stage) {
  if (IsPufferSpecies(record))
    return new (std::nothrow) PufferActor(record, images.sprite, images.mask, stage);
  return new (std::nothrow) FishActor(record, images.sprite, images.mask, stage);
}

// A background overlay: a still fish actor over a keyed picture.
Actor* MakeOverlayActor(HMODULE library, const PlacedPicture& overlay, std::uint16_t backType,
                        Palette* palette, const ActorStage& stage) {
  ArleImage* image = LoadSprite<ArleImage>(library, overlay.name);
  if (!image) return nullptr;
  SpeciesRecord still{};
  still.totalFrames = 1;
  still.left = overlay.x;
  still.top = overlay.y;
  auto* actor = new (std::nothrow) FishActor(still, image, nullptr, stage);
  if (backType == PIXEL_INDEX8) (void)image->Convert(PIXEL_INDEX8, palette, 0);
  KeyOnRed(image);
  return actor;
}

Actor* MakeTextActor(const ActorStage& stage) {
  char text[kConfigTextSize];
  ReadConfigText(HKEY_CURRENT_USER, kCustomTextValue, text);
  if (!text[0]) return nullptr;
  COLORREF colour = ReadConfigNumber(kFontColourValue, 0);
  char font[kConfigTextSize];
  ReadConfigText(HKEY_CURRENT_USER, kFontValue, font);
  return new (std::nothrow) TextActor(font, text, colour, stage);
}

// Fills the actor table in drawing order: species 0 and 1, overlay A, the
// other species, the text, then overlay B over everything.
void FillActorTable(SceneState& scene, HMODULE library, std::uint32_t fishes,
                    const BackgroundVariant* variant, std::uint16_t backType, Palette* palette,
                    SceneGraphics& graphics) {
  const ActorStage& stage = graphics.Stage();
  int slot = 0;
  auto place = [&](Actor* actor) {
    if (slot < kMaxUsedSlots) scene.actors.Place(slot++, actor);
    else delete actor;
  };
  auto placeSpecies = [&](int first, int last) {
    for (int i = first; i <= last; ++i) {
      if (!SpeciesEnabled(fishes, i)) continue;
      const SpeciesRecord& record = *SpeciesAt(i);
      SpeciesImages images = LoadSpeciesImages(library, record, backType, palette);
      place(images.sprite ? MakeSpeciesActor(record, images, stage) : nullptr);
    }
  };
  placeSpecies(0, 1);
  if (variant && variant->overlayA.name)
    place(MakeOverlayActor(library, variant->overlayA, backType, palette, stage));
  placeSpecies(2, kSpeciesCount - 1);
  if (Actor* text = MakeTextActor(stage)) place(text);

  TrleImage* bubbles = LoadSprite<TrleImage>(library, kBubbleSpriteName);
  if (bubbles) (void)bubbles->Convert(backType, palette, 0);
  graphics.SetBubbles(bubbles, LoadSprite<TrleImage>(library, kBubbleMaskName));

  if (variant && variant->overlayB.name)
    place(MakeOverlayActor(library, variant->overlayB, backType, palette, stage));
}

// The graphics system and display every setup starts with.
SceneGraphics* StartGraphics(HWND window) {
  SeedRandom(timeGetTime());
  auto* graphics = new (std::nothrow) SceneGraphics;
  if (!graphics) return nullptr;
  auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  graphics->StartGraphicsSystem(module, window);
  return graphics;
}

// The background, the shared palette and the actors, from the library.
void BuildFromLibrary(SceneGraphics& graphics, Display* display, HMODULE library,
                      std::uint32_t fishes, BackgroundChoice choice, std::int32_t width,
                      std::int32_t height, std::uint16_t backType) {
  PackedDibImage picture;  // the work object for every picture read here
  HGLOBAL bitmap = nullptr;
  std::int32_t stockIndex = -1;
  if (choice.kind == BackgroundChoice::kCustom)
    bitmap = LoadCustomPicture(graphics.System(), picture, width, height, backType);
  if (choice.kind == BackgroundChoice::kStock)
    stockIndex = choice.index;
  else if (!bitmap)
    stockIndex = RandomStockIndex();

  const BackgroundVariant* variant = nullptr;
  if (stockIndex >= 0) {
    variant = BackgroundAt(stockIndex, width);
    bitmap = LoadStockPicture(library, variant->background.name);
  }

  Palette* palette = nullptr;
  if (backType == PIXEL_INDEX8) palette = BuildScenePalette(display, picture, library, stockIndex);
  graphics.SetBackground(
      MakeBackgroundImage(graphics.System(), picture, bitmap, backType, palette));
  FillActorTable(gScene, library, fishes, variant, backType, palette, graphics);
  if (palette) palette->Release();
}

}  // namespace

int SetupFullScreen(HWND window) {
  SceneGraphics* graphics = StartGraphics(window);
  if (!graphics) return 1;
  gScene.objects = graphics;

  ScreenFacts screen = ReadScreenFacts(window);
  std::uint16_t type = BackTypeForDepth(screen.bitsPerPixel);
  std::int32_t width = 0, height = 0;
  LogicalSize(screen.width, width, height);
  gScene.offsetX = CentredOffset(screen.width, width);
  gScene.offsetY = CentredOffset(screen.height, height);

  Display* display = graphics->OpenDisplay(width, height, type, window, DISPLAY_MANAGE_PALETTE);
  DibSurface* back = display ? display->BackSurface() : nullptr;
  if (!back) return 1;
  std::uint16_t backType = back->Type();

  EnterDataDirectory();
  ShowWindow(window, SW_SHOW);
  ShowLoadingNotice(display, width, height);

  const bool muted = ReadConfigNumber(kMuteValue, 0) != 0;
  std::uint32_t fishes = ReadConfigNumber(kFishesValue, 0);
  auto displayValue = static_cast<std::int32_t>(ReadConfigNumber(kDisplayValue, 0));

  HMODULE library = LoadResourceLibrary();
  if (!library) {
    MessageBoxA(window, kMissingLibraryMessage, nullptr, MB_ICONWARNING);
    return 1;
  }

  BuildFromLibrary(*graphics, display, library, fishes, DecodeDisplayChoice(displayValue), width,
                   height, backType);
  graphics->StartMixer(window, library, muted);
  FreeLibrary(library);
  graphics->PlayAmbientSound();
  StartFrameLoop(window, back->Width(), back->Height());
  return 0;
}

int SetupPreview(HWND window) {
  SceneGraphics* graphics = StartGraphics(window);
  if (!graphics) return 1;
  gScene.objects = graphics;

  ScreenFacts screen = ReadScreenFacts(window);
  EnterDataDirectory();
  auto displayValue = static_cast<std::int32_t>(ReadConfigNumber(kDisplayValue, 0));

  Display* display =
      graphics->OpenDisplay(screen.width, screen.height, PIXEL_INDEX8, window,
                            DISPLAY_MANAGE_PALETTE);
  DibSurface* back = display ? display->BackSurface() : nullptr;
  if (!back) return 1;
  std::uint16_t backType = back->Type();

  GraphicsSystem* system = graphics->System();
  DibSurface* background = system->NewDibSurface();
  if (background) (void)background->Create(screen.width, screen.height, backType);
  graphics->SetBackground(background);
  DibSurface* picture = system->NewDibSurface();
  if (!background || !picture) return 1;

  BackgroundChoice choice = DecodeDisplayChoice(displayValue);
  bool shown = false;
  if (choice.kind == BackgroundChoice::kCustom) {
    char path[kConfigTextSize];
    ReadConfigText(HKEY_CURRENT_USER, kCustomFileValue, path);
    PackedDibImage file;
    if (path[0] && file.Load(path, LOAD_FROM_FILE, nullptr, nullptr) == GFX_OK &&
        file.Type() >= PIXEL_INDEX8 && picture->CopyFrom(&file) == GFX_OK) {
      QuantiseForIndexedBack(system, picture, backType, 100, 100);
      if (picture->Type() != PIXEL_INDEX8)
        (void)picture->Convert(backType, picture->GetPalette(), 0);
      shown = true;
    }
  }
  if (!shown) {
    std::int32_t stockIndex = choice.kind == BackgroundChoice::kStock ? choice.index
                                                                      : RandomStockIndex();
    HMODULE library = LoadResourceLibrary();
    if (!library) {
      picture->Release();
      return 1;
    }
    char name[8];
    if (PreviewPictureName(stockIndex, name, sizeof name))
      (void)picture->Load(name, LOAD_FROM_RESOURCE | LOAD_PRIVATE_COPY, library,
                          kPictureResourceType);
    FreeLibrary(library);
  }
  (void)background->BlitFrom(0, 0, background->Width(), background->Height(), picture, 0, 0,
                             picture->Width(), picture->Height(), 0, 0);
  if (picture->GetPalette()) (void)background->SetPalette(picture->GetPalette());
  picture->Release();

  if (Palette* palette = background->GetPalette()) {
    (void)back->SetPalette(palette);
    if (display->ScreenSurface()) (void)display->ScreenSurface()->SetPalette(palette);
    RealizeWhenForeground(display);
  }
  StartFrameLoop(window, back->Width(), back->Height());
  return 0;
}
