#pragma once
// A rectangle of the back surface or of the window: origin top left, y
// downwards. For the containment test of the dirty lists it covers the closed
// range (x, y) .. (x + width, y + height).

#include <cstdint>

struct Rect {
  std::int32_t x;
  std::int32_t y;
  std::int32_t width;
  std::int32_t height;
};
