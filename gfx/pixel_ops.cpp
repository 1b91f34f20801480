#include "gfx/pixel_ops.h"

#include "gfx/image.h"
#include "pixel/fill_rect.h"
#include "pixel/line.h"
#include "pixel/pixel_format.h"

LockedPixels::LockedPixels(Image* image) : image_(image), status_(GFX_BAD_ARGUMENT) {
  if (!image_) return;
  std::uint8_t* bits = nullptr;
  std::int32_t pitch = 0;
  status_ = image_->Lock(&bits, &pitch);
  if (status_ != GFX_OK) {
    image_ = nullptr;
    return;
  }
  view_.type = image_->Type();
  view_.width = image_->Width();
  view_.height = image_->Height();
  view_.top = bits;
  view_.pitch = pitch;
  if (image_->IsBottomUp() && view_.height > 0) {
    view_.top = bits + std::ptrdiff_t(view_.height - 1) * pitch;
    view_.pitch = -pitch;
  }
}

void LockedPixels::Unlock() {
  if (image_) image_->Unlock();
  image_ = nullptr;
}

void FillPixels(const PixelView& view, std::int32_t x, std::int32_t y, std::int32_t w,
                std::int32_t h, std::uint32_t colour) {
  const std::uint32_t depth = PixelDepth(view.type);
  switch (depth) {
    case 1:
    case 2:
    case 4:
      FillRectPacked(view.top, view.pitch, x, y, w, h, colour, depth);
      break;
    case 8:
      FillRect8(view.top, view.pitch, x, y, w, h, colour);
      break;
    case 16:
      FillRect16(view.top, view.pitch, x, y, w, h, colour);
      break;
    case 24:
      FillRect24(view.top, view.pitch, x, y, w, h, colour);
      break;
    case 32:
      FillRect32(view.top, view.pitch, x, y, w, h, colour);
      break;
    default:
      break;
  }
}

void DrawPixelLine(const PixelView& view, const LineSegment& s, std::uint32_t colour) {
  static const LineKernel kByBytes[5] = {nullptr, Line8, Line16, Line24, Line32};
  const std::uint32_t depth = PixelDepth(view.type);
  if (depth < 8 || depth % 8 != 0) return;
  kByBytes[depth / 8](view.top, view.pitch, s.x0, s.y0, s.x1, s.y1, colour);
}
