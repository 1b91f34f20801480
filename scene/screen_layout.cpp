#include "scene/screen_layout.h"

#include <algorithm>

#include "pixel/pixel_format.h"

namespace {

std::uint16_t TypeForScreen(std::int32_t bits, bool green6) {
  switch (bits) {
    case 16: return green6 ? PIXEL_RGB565 : PIXEL_RGB555;
    case 24: return PIXEL_RGB24;
    case 32: return PIXEL_RGB32;
    default: return PIXEL_INDEX8;
  }
}

std::int32_t CentredOffset(std::int32_t screen, std::int32_t logical) {
  std::int32_t offset = (screen - logical) / 2;
  return offset < 0 ? 0 : offset;
}

}  // namespace

ScreenLayout FullScreenLayout(std::int32_t screenWidth, std::int32_t screenHeight,
                              std::int32_t bitsPerPixel, bool green6) {
  ScreenLayout layout;
  layout.type = TypeForScreen(bitsPerPixel, green6);
  if (screenWidth < 800) {
    layout.width = 640;
    layout.height = 480;
  } else if (screenWidth < 1024) {
    layout.width = 800;
    layout.height = 600;
  } else {
    layout.width = 1024;
    layout.height = 768;
  }
  layout.offsetX = CentredOffset(screenWidth, layout.width);
  layout.offsetY = CentredOffset(screenHeight, layout.height);
  layout.designWidth = layout.width;
  return layout;
}

ScreenLayout EdgeLayout(std::int32_t monitorWidth, std::int32_t monitorHeight,
                        std::int32_t bitsPerPixel, bool green6) {
  if (monitorWidth <= 0 || monitorHeight <= 0) return FullScreenLayout(0, 0, bitsPerPixel, green6);
  const std::int64_t boxWidth = std::min<std::int64_t>(monitorWidth, std::int64_t(monitorHeight) * 4 / 3);
  ScreenLayout layout = FullScreenLayout(static_cast<std::int32_t>(boxWidth), 0, bitsPerPixel, green6);
  const std::int64_t h = layout.height;
  std::int64_t w = (h * monitorWidth + monitorHeight / 2) / monitorHeight;
  layout.width = static_cast<std::int32_t>(std::clamp<std::int64_t>(w, (h + 3) / 4, h * 4));
  layout.offsetX = 0;
  layout.offsetY = 0;
  return layout;
}

ScreenLayout TwiceSizeLayout(const ScreenLayout& edge, std::int32_t monitorWidth,
                             std::int32_t monitorHeight) {
  if (edge.scale != PixelScale{} || edge.type == PIXEL_INDEX8 || edge.height < 1) return edge;
  if (std::int64_t(monitorHeight) * 4 <= std::int64_t(edge.height) * 5) return edge;
  ScreenLayout twice = edge;
  if (monitorHeight >= 2 * edge.height) {
    twice.width = edge.width * 2;
    twice.height = edge.height * 2;
    twice.scale = {2, 1};
    return twice;
  }
  // The monitor's own pixels: its width, or less when the scene's shape was
  // held at 4:1 (the view crops the rest).
  twice.scale = {monitorHeight, edge.height};
  twice.width = std::min(monitorWidth, twice.scale.Ceil(edge.width));
  twice.height = monitorHeight;
  return twice;
}
