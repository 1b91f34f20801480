#pragma once
// Where the full-screen scene sits on the screen: its pixel type from the
// screen's depth and layout (the screen's own: a 16-bit screen is 555 or
// 565, so that presenting is a plain copy), its logical size (640 x 480, 800 x 600 or 1024 x 768, the
// largest whose width fits) and its offset, centred on a larger screen.

#include <cstdint>

struct ScreenLayout {
  std::uint16_t type = 0;  // pixel type: 7 or 9, 11 or 13 for 16, 24 or 32 bits, else 4
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t offsetX = 0;  // never negative
  std::int32_t offsetY = 0;
};

// green6: a 16-bit screen has six bits of green (565).
ScreenLayout FullScreenLayout(std::int32_t screenWidth, std::int32_t screenHeight,
                              std::int32_t bitsPerPixel, bool green6);
