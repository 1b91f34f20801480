#include "scene/screen_layout.h"

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
  return layout;
}
