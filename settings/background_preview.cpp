#include "settings/background_preview.h"

#include <cstring>

#include "gfx/packed_dib_image.h"
#include "scene/config.h"
#include "scene/saver_constants.h"
#include "scene/species_table.h"

namespace {

constexpr COLORREF kCaption = RGB(225, 235, 245);

// The resource library in this program's own folder (the data directory).
HMODULE OpenLibrary() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  char* slash = std::strrchr(path, '\\');
  if (!slash || (slash - path) + 1 + std::strlen(kLibraryFile) >= MAX_PATH) return nullptr;
  std::strcpy(slash + 1, kLibraryFile);
  return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

}  // namespace

bool BackgroundPreview::LoadStock(std::int32_t index) {
  char name[8];
  if (!PreviewPictureName(index, name, sizeof name)) return false;
  HMODULE library = OpenLibrary();
  if (!library) return false;
  bool loaded = picture_.Load(name, LOAD_FROM_RESOURCE | LOAD_PRIVATE_COPY, library,
                              kPictureResourceType) == GFX_OK;
  FreeLibrary(library);
  return loaded;
}

void BackgroundPreview::Choose(std::int32_t display, const char* customFile) {
  picture_.Free();
  shown_ = false;
  BackgroundChoice choice = DecodeDisplayChoice(display);
  switch (choice.kind) {
    case BackgroundChoice::kStock:
      shown_ = LoadStock(choice.index);
      caption_ = "The picture library is missing";
      break;
    case BackgroundChoice::kCustom:
      shown_ = customFile[0] &&
               picture_.Load(customFile, LOAD_FROM_FILE, nullptr, nullptr) == GFX_OK;
      caption_ = customFile[0] ? "This picture cannot be shown" : "No picture chosen";
      break;
    case BackgroundChoice::kRandom:
      caption_ = "A different scene each time";
      break;
  }
}

void BackgroundPreview::Draw(HDC dc, const RECT& area) {
  HDC source = shown_ ? picture_.LockDC() : nullptr;
  if (source) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0,
               0, picture_.Width(), picture_.Height(), SRCCOPY);
    picture_.UnlockDC();
  } else {
    HBRUSH water = CreateSolidBrush(kWaterColour);
    FillRect(dc, &area, water);
    DeleteObject(water);
    RECT text = area;
    InflateRect(&text, -4, -4);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kCaption);
    RECT measured = text;
    DrawTextA(dc, caption_, -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    LONG spare = (text.bottom - text.top) - (measured.bottom - measured.top);
    if (spare > 0) text.top += spare / 2;
    DrawTextA(dc, caption_, -1, &text, DT_CENTER | DT_WORDBREAK);
  }
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}
