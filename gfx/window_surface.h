// WindowSurface: a window's client area as an image. It owns no pixels: its size is the
// window's client size, its type the screen's depth, and it moves pixels only through GDI
// (StretchBlt both ways, FillRect, pen lines). When it has a palette, every drawing
// operation selects that palette around its GDI call. Target only.
#pragma once

#include <cstdint>

#include "gfx/image.h"

class WindowSurface : public Image {
 public:
  WindowSurface();
  ~WindowSurface() override;

  // StretchBlt from this window into the destination's device context.
  [[nodiscard]] GraphicsStatus DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy,
                                        std::int32_t dw, std::int32_t dh, std::int32_t sx,
                                        std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                        std::uint32_t flags, std::intptr_t aux) override;
  GraphicsStatus Free() override;
  std::int32_t Kind() const override;
  std::int32_t Width() override;
  std::int32_t Height() override;
  // StretchBlt from the source's device context into this window.
  [[nodiscard]] GraphicsStatus BlitFrom(std::int32_t dx, std::int32_t dy, std::int32_t dw,
                                        std::int32_t dh, Image* source, std::int32_t sx,
                                        std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                        std::uint32_t flags, std::intptr_t aux) override;
  // The colour is a COLORREF here.
  GraphicsStatus FillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                          std::uint32_t colour) override;
  GraphicsStatus DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                          std::uint32_t colour) override;
  HDC LockDC() override;
  void UnlockDC() override;

  // 30: binds to a window; backgroundPalette is the force-background argument of every
  // SelectPalette this surface makes.
  virtual std::int32_t AttachWindow(HWND window, BOOL backgroundPalette);

  HWND Window() const { return window_; }

 private:
  // Selects this surface's palette into dc and realises it; returns what to put back.
  HPALETTE SelectOwnPalette(HDC dc);
  void RestorePalette(HDC dc, HPALETTE previous);
  GraphicsStatus StretchBetween(HDC to, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                                std::int32_t dh, HDC from, std::int32_t sx, std::int32_t sy,
                                std::int32_t sw, std::int32_t sh);

  HWND window_ = nullptr;
  BOOL backgroundPalette_ = FALSE;
};
