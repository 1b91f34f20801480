#include "settings/background_preview.h"

#include <cstring>

#include "gfx/packed_dib_image.h"
#include "scene/config.h"
#include "scene/saver_constants.h"
#include "scene/scene_view.h"
#include "scene/screen_layout.h"
#include "scene/setup_background.h"
#include "scene/creature_table.h"

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

// The part of a picture the saver shows edge to edge on the primary monitor:
// the scene takes the monitor's shape (as the saver lays it out) and the
// picture covers it.
PictureCrop EdgeCrop(std::int32_t width, std::int32_t height, CropAnchor anchor) {
  const ScreenLayout scene =
      EdgeLayout(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 32, false);
  return CoverCrop(width, height, scene.width, scene.height, anchor);
}

}  // namespace

// Edge to edge: the wide picture when the library has it, else the 4:3 one;
// otherwise the small preview picture.
bool BackgroundPreview::LoadStockPicture(HMODULE library, std::int32_t index, bool edge) {
  char name[8];
  if (!edge) {
    return PreviewPictureName(index, name, sizeof name) &&
           picture_.Load(name, LOAD_FROM_RESOURCE | LOAD_PRIVATE_COPY, library,
                         kPictureResourceType) == GFX_OK;
  }
  if (WidePictureName(index, name, sizeof name) && DecodeStockPicture(library, name, &picture_))
    return true;
  const BackgroundVariant* variant = BackgroundAt(index, 1024);
  return variant && DecodeStockPicture(library, variant->background.name, &picture_);
}

bool BackgroundPreview::LoadStock(std::int32_t index, bool edge) {
  HMODULE library = OpenLibrary();
  if (!library) return false;
  const bool loaded = LoadStockPicture(library, index, edge);
  FreeLibrary(library);
  return loaded;
}

void BackgroundPreview::Choose(std::int32_t display, const char* customFile, bool edge) {
  picture_.Free();
  shown_ = false;
  CropAnchor anchor = CropAnchor::kFloor;
  BackgroundChoice choice = DecodeDisplayChoice(display);
  switch (choice.kind) {
    case BackgroundChoice::kStock:
      shown_ = LoadStock(choice.index, edge);
      caption_ = "The picture library is missing";
      break;
    case BackgroundChoice::kCustom:
      shown_ = customFile[0] &&
               picture_.Load(customFile, LOAD_FROM_FILE, nullptr, nullptr) == GFX_OK;
      caption_ = customFile[0] ? "This picture cannot be shown" : "No picture chosen";
      anchor = CropAnchor::kCentre;
      break;
    case BackgroundChoice::kRandom:
      caption_ = "A different scene each time";
      break;
  }
  shaped_ = shown_ && edge;
  crop_ = shaped_ ? EdgeCrop(picture_.Width(), picture_.Height(), anchor)
                  : PictureCrop{0, 0, picture_.Width(), picture_.Height()};
}

void BackgroundPreview::Draw(HDC dc, const RECT& area) {
  if (shown_)
    DrawPicture(dc, area);
  else
    DrawCaption(dc, area);
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

// Filling the box, or in the crop's shape, as large as fits, centred.
void BackgroundPreview::DrawPicture(HDC dc, const RECT& area) {
  Rect to = {area.left, area.top, area.right - area.left, area.bottom - area.top};
  if (shaped_) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    to = FilledView(to, crop_.width, crop_.height).area;
  }
  HDC source = picture_.LockDC();
  if (!source) return;
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, to.x, to.y, to.width, to.height, source, crop_.x, crop_.y, crop_.width,
             crop_.height, SRCCOPY);
  picture_.UnlockDC();
}

void BackgroundPreview::DrawCaption(HDC dc, const RECT& area) {
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
