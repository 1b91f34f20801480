// Raw-pixel helpers of the image operations: a scoped lock that presents an image's
// pixels top row first (bottom-up bitmaps get a negative pitch, once, here), and the
// fill and line kernels chosen by depth.
#pragma once

#include <cstdint>

#include "gfx/graphics_status.h"
#include "pixel/line.h"
#include "port/win32.h"

class Image;

// Locked pixels as the kernels see them: the top row and the step to the next row down
// (negative for bottom-up bitmaps).
struct PixelView {
  std::uint8_t* top = nullptr;
  std::int32_t pitch = 0;
  std::uint16_t type = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class LockedPixels {
 public:
  // A null image gives GFX_BAD_ARGUMENT; otherwise the status of its Lock.
  explicit LockedPixels(Image* image);
  ~LockedPixels() { Unlock(); }
  LockedPixels(const LockedPixels&) = delete;
  LockedPixels& operator=(const LockedPixels&) = delete;

  GraphicsStatus Status() const { return status_; }
  const PixelView& View() const { return view_; }
  // Releases the lock early; later calls do nothing.
  void Unlock();

 private:
  Image* image_;
  GraphicsStatus status_;
  PixelView view_;
};

// Fills the rectangle (inside the view) with a raw pixel value: the packed kernel for
// depths 1, 2 and 4, the 8-, 16-, 24- and 32-bit kernels otherwise.
void FillPixels(const PixelView& view, std::int32_t x, std::int32_t y, std::int32_t w,
                std::int32_t h, std::uint32_t colour);
// Draws a clipped segment (end point excluded) at depth 8, 16, 24 or 32; other depths
// draw nothing.
void DrawPixelLine(const PixelView& view, const LineSegment& segment, std::uint32_t colour);
