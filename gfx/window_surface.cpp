#include "gfx/window_surface.h"

#include "gfx/palette.h"
#include "pixel/pixel_format.h"

namespace {

std::uint16_t TypeOfScreenDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
      return PIXEL_INDEX1;
    case 2:
      return PIXEL_INDEX2;
    case 4:
      return PIXEL_INDEX4;
    case 8:
      return PIXEL_INDEX8;
    case 16:
      return PIXEL_RGB555;  // a 16-bit screen is always taken as 5-5-5
    case 24:
      return PIXEL_RGB24;
    case 32:
      return PIXEL_RGB32;
    default:
      return PIXEL_NONE;
  }
}

}  // namespace

WindowSurface::WindowSurface() = default;

WindowSurface::~WindowSurface() { WindowSurface::Free(); }

std::int32_t WindowSurface::Kind() const { return IMAGE_KIND_WINDOW_SURFACE; }

GraphicsStatus WindowSurface::Free() {
  while (lockCount_ > 0) UnlockDC();
  Image::Free();
  window_ = nullptr;
  return GFX_OK;
}

std::int32_t WindowSurface::AttachWindow(HWND window, BOOL backgroundPalette) {
  Free();
  if (!window) return GFX_BAD_ARGUMENT;
  window_ = window;
  backgroundPalette_ = backgroundPalette;
  HDC dc = GetDC(window);
  if (!dc) return GFX_BAD_ARGUMENT;
  type_ = TypeOfScreenDepth(GetDeviceCaps(dc, BITSPIXEL));
  ReleaseDC(window, dc);
  return GFX_OK;
}

std::int32_t WindowSurface::Width() {
  RECT client = {0, 0, 0, 0};
  if (!window_ || !GetClientRect(window_, &client)) return 0;
  return client.right;
}

std::int32_t WindowSurface::Height() {
  RECT client = {0, 0, 0, 0};
  if (!window_ || !GetClientRect(window_, &client)) return 0;
  return client.bottom;
}

HDC WindowSurface::LockDC() {
  if (type_ == 0) return nullptr;
  if (lockCount_ == 0) {
    HDC dc = GetDC(window_);
    if (!dc) return nullptr;
    lockPointer_ = dc;
  }
  ++lockCount_;
  return static_cast<HDC>(lockPointer_);
}

void WindowSurface::UnlockDC() {
  if (lockCount_ == 0) return;
  if (lockCount_ == 1) {
    ReleaseDC(window_, static_cast<HDC>(lockPointer_));
    lockPointer_ = nullptr;
  }
  --lockCount_;
}

HPALETTE WindowSurface::SelectOwnPalette(HDC dc) {
  Palette* palette = GetPalette();
  if (!palette || !palette->Handle()) return nullptr;
  HPALETTE previous = SelectPalette(dc, palette->Handle(), backgroundPalette_);
  RealizePalette(dc);
  return previous;
}

void WindowSurface::RestorePalette(HDC dc, HPALETTE previous) {
  if (previous) SelectPalette(dc, previous, TRUE);
}

GraphicsStatus WindowSurface::StretchBetween(HDC to, std::int32_t dx, std::int32_t dy,
                                             std::int32_t dw, std::int32_t dh, HDC from,
                                             std::int32_t sx, std::int32_t sy, std::int32_t sw,
                                             std::int32_t sh) {
  SetStretchBltMode(to, COLORONCOLOR);
  HPALETTE previous = SelectOwnPalette(to);
  StretchBlt(to, dx, dy, dw, dh, from, sx, sy, sw, sh, SRCCOPY);
  RestorePalette(to, previous);
  return GFX_OK;
}

GraphicsStatus WindowSurface::DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy,
                                       std::int32_t dw, std::int32_t dh, std::int32_t sx,
                                       std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                       std::uint32_t, std::intptr_t) {
  if (!dest) return GFX_BAD_ARGUMENT;
  HDC from = LockDC();
  HDC to = dest->LockDC();
  const GraphicsStatus status =
      from && to ? StretchBetween(to, dx, dy, dw, dh, from, sx, sy, sw, sh) : GFX_BAD_ARGUMENT;
  if (to) dest->UnlockDC();
  if (from) UnlockDC();
  return status;
}

GraphicsStatus WindowSurface::BlitFrom(std::int32_t dx, std::int32_t dy, std::int32_t dw,
                                       std::int32_t dh, Image* source, std::int32_t sx,
                                       std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                       std::uint32_t, std::intptr_t) {
  if (!source) return GFX_BAD_ARGUMENT;
  HDC from = source->LockDC();
  HDC to = LockDC();
  const GraphicsStatus status =
      from && to ? StretchBetween(to, dx, dy, dw, dh, from, sx, sy, sw, sh) : GFX_BAD_ARGUMENT;
  if (to) UnlockDC();
  if (from) source->UnlockDC();
  return status;
}

GraphicsStatus WindowSurface::FillRect(std::int32_t x, std::int32_t y, std::int32_t w,
                                       std::int32_t h, std::uint32_t colour) {
  if (type_ == 0) return GFX_NO_PIXELS;
  HDC dc = LockDC();
  if (!dc) return GFX_BAD_ARGUMENT;
  HPALETTE previous = SelectOwnPalette(dc);
  if (HBRUSH brush = CreateSolidBrush(colour)) {
    const RECT area = {x, y, x + w, y + h};
    ::FillRect(dc, &area, brush);
    DeleteObject(brush);
  }
  RestorePalette(dc, previous);
  UnlockDC();
  return GFX_OK;
}

GraphicsStatus WindowSurface::DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                       std::int32_t y1, std::uint32_t colour) {
  if (type_ == 0) return GFX_NO_PIXELS;
  HDC dc = LockDC();
  if (!dc) return GFX_BAD_ARGUMENT;
  HPALETTE previous = SelectOwnPalette(dc);
  if (HPEN pen = CreatePen(PS_SOLID, 1, colour)) {
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);  // GDI leaves the end point out
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  RestorePalette(dc, previous);
  UnlockDC();
  return GFX_OK;
}
