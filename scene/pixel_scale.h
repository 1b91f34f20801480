#pragma once
// Back-surface pixels per design unit, num / den: 1; 2 for a scene composed
// from the art drawn at twice the size; or, for a scene composed at its
// monitor's own pixels from that art resampled once at setup, the monitor's
// height over the scene's (between 1.25 and 2). A position maps to Floor, a
// rectangle to the pixels from Floor of its start to Ceil of its end, and a
// length of pixels back to design units with Units, which is exact for any
// scale of at least 1: a frame w units wide, drawn Floor(w) pixels wide,
// reads back as w. Portable.

#include <cstdint>

#include "scene/rect.h"

struct PixelScale {
  std::int32_t num = 1;
  std::int32_t den = 1;

  std::int32_t Floor(std::int32_t units) const { return Divide(std::int64_t(units) * num, den, 0); }
  std::int32_t Ceil(std::int32_t units) const {
    return Divide(std::int64_t(units) * num, den, den - 1);
  }
  std::int32_t Units(std::int32_t pixels) const {
    return Divide(std::int64_t(pixels) * den, num, num - 1);
  }
  Rect Cover(const Rect& r) const {
    const std::int32_t x = Floor(r.x), y = Floor(r.y);
    return {x, y, Ceil(r.x + r.width) - x, Ceil(r.y + r.height) - y};
  }
  bool operator==(const PixelScale& o) const { return std::int64_t(num) * o.den == std::int64_t(o.num) * den; }
  bool operator!=(const PixelScale& o) const { return !(*this == o); }

 private:
  // (a + round) / b rounded down, for a of either sign and b > 0; round is 0
  // for the floor, b - 1 for the ceiling.
  static std::int32_t Divide(std::int64_t a, std::int64_t b, std::int64_t round) {
    const std::int64_t n = a + round;
    return static_cast<std::int32_t>(n >= 0 ? n / b : -((-n + b - 1) / b));
  }
};
