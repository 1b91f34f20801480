#include "scene/setup_palette.h"

#include <algorithm>

#include "gfx/debug_log.h"
#include "gfx/dib_surface.h"
#include "gfx/display.h"
#include "gfx/packed_dib_image.h"
#include "gfx/palette.h"
#include "gfx/window_surface.h"
#include "scene/setup_background.h"
#include "scene/creature_table.h"

namespace {

constexpr int kBackgroundPaletteEntries = 135;
constexpr int kFishPaletteEntries = 100;

// The first count entries of a picture resource's palette into table (the
// rest stay black); logged when the picture has none.
void ReadPictureColours(HMODULE library, const char* name, PaletteEntry* table, int count) {
  PackedDibImage picture;
  const GraphicsStatus status =
      picture.Load(name, LOAD_FROM_RESOURCE, library, kPictureResourceType);
  Palette* palette = picture.GetPalette();
  if (status != GFX_OK || !palette) {
    DebugLog("Tidewater: no palette picture %s (status %d)\n", name, status);
    return;
  }
  (void)palette->GetEntries(table, 0, std::min(palette->Count(), count));  // a range inside it
}

void ReadBackgroundColours(HMODULE library, const BackgroundPicture& background,
                           PaletteEntry* table) {
  char name[8];
  if (background.stockIndex >= 0) {
    if (PalettePictureName(background.stockIndex, name, sizeof name))
      ReadPictureColours(library, name, table, kBackgroundPaletteEntries);
    return;
  }
  Palette* own = background.image ? background.image->GetPalette() : nullptr;
  if (own)  // a range inside it
    (void)own->GetEntries(table, 0, std::min(own->Count(), kBackgroundPaletteEntries));
}

}  // namespace

void UseScenePalette(Display* display, Palette* palette) {
  if (DibSurface* back = display->BackSurface()) (void)back->SetPalette(palette);  // 8 bits: fits
  if (WindowSurface* screen = display->ScreenSurface())
    (void)screen->SetPalette(palette);  // a window takes any palette
  // Setup runs inside window creation, before the window is brought to the
  // foreground, and a palette realised then only gets the colours already on
  // the screen. Asking for the realisation through the queue runs it once the
  // window is in front.
  if (display->Window()) PostMessageA(display->Window(), WM_QUERYNEWPALETTE, 0, 0);
}

Palette* BuildScenePalette(Display* display, HMODULE library, const BackgroundPicture& background) {
  DibSurface* back = display->BackSurface();
  Palette* scene = back ? back->NewPalette() : nullptr;
  if (!scene || scene->Create(256) != PALETTE_OK) {
    DebugLog("Tidewater: no scene palette\n");
    if (scene) scene->Release();
    return nullptr;
  }
  PaletteEntry table[256] = {};
  ReadBackgroundColours(library, background, table);
  ReadPictureColours(library, kFishPaletteName, table + kBackgroundPaletteEntries,
                     kFishPaletteEntries);
  // Both ranges lie inside the 256 entries just created.
  (void)scene->SetEntries(table, 0, kBackgroundPaletteEntries + kFishPaletteEntries);
  const std::int32_t merged = scene->MergeSystemColours(0);
  if (merged != PALETTE_OK) DebugLog("Tidewater: system colours not merged (status %d)\n", merged);
  UseScenePalette(display, scene);
  return scene;
}
