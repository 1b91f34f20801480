// The per-pixel pieces of the scaling kernels (scale.h), shared by the portable kernels
// and the scalar ends of the SSE2 ones so that both compute the same formula.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "pixel/scale.h"

// The taps of the destination columns r.x .. r.x + r.width - 1.
std::vector<ScaleTap> ScaleColumnTaps(const ScaleGeometry& g, const ScaleRect& r);

// The nearest source index of a tap: the second once the weight reaches one half.
inline std::int32_t NearestIndex(const ScaleTap& t) { return t.weight >= 64 ? t.second : t.first; }

// (a * (128 - w) + b * w + 64) >> 7 on each of the four bytes, two at a time in the
// 16-bit halves of a word (each sum stays below 32768, so no lane spills).
inline std::uint32_t MixChannels(std::uint32_t a, std::uint32_t b, std::int32_t w) {
  const std::uint32_t iw = 128 - static_cast<std::uint32_t>(w);
  const std::uint32_t uw = static_cast<std::uint32_t>(w);
  const std::uint32_t even =
      (((a & 0x00FF00FFu) * iw + (b & 0x00FF00FFu) * uw + 0x00400040u) >> 7) & 0x00FF00FFu;
  const std::uint32_t odd =
      ((((a >> 8) & 0x00FF00FFu) * iw + ((b >> 8) & 0x00FF00FFu) * uw + 0x00400040u) >> 7) &
      0x00FF00FFu;
  return even | (odd << 8);
}

// 32-bit pixels: the four bytes as they are.
struct Pixel8888 {
  static std::uint32_t Load(const std::uint8_t* row, std::int32_t x) {
    std::uint32_t v;
    std::memcpy(&v, row + std::intptr_t(x) * 4, 4);
    return v;
  }
  static void Store(std::uint8_t* row, std::int32_t x, std::uint32_t v) {
    std::memcpy(row + std::intptr_t(x) * 4, &v, 4);
  }
};

// 16-bit pixels with a 5-bit red and blue and a G-bit green (5: 555, 6: 565), widened to
// 8-bit channels in the bytes of a word (blue low, then green, then red) and narrowed back.
template <int G>
struct Pixel16 {
  static std::uint32_t Widen(std::uint32_t p) {
    const std::uint32_t b = p & 31, g = (p >> 5) & ((1u << G) - 1), r = (p >> (5 + G)) & 31;
    const std::uint32_t g8 = G == 6 ? (g << 2 | g >> 4) : (g << 3 | g >> 2);
    return (b << 3 | b >> 2) | g8 << 8 | (r << 3 | r >> 2) << 16;
  }
  static std::uint16_t Narrow(std::uint32_t v) {
    const std::uint32_t b = (v & 255) >> 3, g = ((v >> 8) & 255) >> (8 - G),
                        r = ((v >> 16) & 255) >> 3;
    return static_cast<std::uint16_t>(b | g << 5 | r << (5 + G));
  }
  static std::uint32_t Load(const std::uint8_t* row, std::int32_t x) {
    std::uint16_t v;
    std::memcpy(&v, row + std::intptr_t(x) * 2, 2);
    return Widen(v);
  }
  static void Store(std::uint8_t* row, std::int32_t x, std::uint32_t v) {
    const std::uint16_t p = Narrow(v);
    std::memcpy(row + std::intptr_t(x) * 2, &p, 2);
  }
};
