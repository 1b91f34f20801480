// Pixel access, the common blit walk and the per-pixel blend arithmetic, shared by the
// portable kernels and the SSE2 kernels (which use them for their scalar heads and tails).
//
// Everything here has internal linkage (static), so the copies compiled into the SIMD
// files, with their wider instruction set, can never be picked by the linker for the
// portable code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pixel/blit.h"
#include "pixel/pixel_format.h"

// Pixel values of B bytes (B = 1, 2, 3, 4); 24-bit pixels are their three bytes read
// little-endian.
template <int B>
static inline std::uint32_t LoadPixel(const std::uint8_t* p) {
  if (B == 1) return p[0];
  if (B == 3) return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
  if (B == 2) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

template <int B>
static inline void StorePixel(std::uint8_t* p, std::uint32_t v) {
  if (B == 1) {
    p[0] = std::uint8_t(v);
  } else if (B == 2) {
    const std::uint16_t w = std::uint16_t(v);
    std::memcpy(p, &w, 2);
  } else if (B == 3) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
  } else {
    std::memcpy(p, &v, 4);
  }
}

template <int B>
static constexpr std::uint32_t PixelValueMask() {
  return B == 4 ? 0xffffffffu : (1u << (8 * B)) - 1;
}

// Blend levels outside 0..256 are taken as the nearer end, so that no weight can index
// past BlendTable.
static inline std::int32_t ClampLevel(std::int32_t level) {
  return level < 0 ? 0 : level > kBlitOpaque ? kBlitOpaque : level;
}

// Where a kernel starts and how it steps: destination at (dx, dy); source at its first
// column and row after mirroring and flipping, moving by srcStep per pixel and srcPitch
// per row. The mask (1 byte per pixel, source coordinates) walks the same way.
struct BlitWalk {
  std::uint8_t* dst;
  std::ptrdiff_t dstPitch;
  const std::uint8_t* src;
  std::ptrdiff_t srcPitch;
  std::ptrdiff_t srcStep;
  const std::uint8_t* mask;
  std::ptrdiff_t maskPitch;
  std::ptrdiff_t maskStep;
};

static inline BlitWalk StartWalk(int bytes, std::uint8_t* dst, std::int32_t dstPitch,
                                 std::int32_t dx, std::int32_t dy, std::int32_t width,
                                 std::int32_t height, const std::uint8_t* src,
                                 std::int32_t srcPitch, std::int32_t sx, std::int32_t sy,
                                 std::uint32_t flags, const std::uint8_t* mask = nullptr,
                                 std::int32_t maskPitch = 0) {
  const bool mirror = (flags & BLIT_MIRROR) != 0;
  const bool flip = (flags & BLIT_FLIP) != 0;
  const std::ptrdiff_t col = mirror ? std::ptrdiff_t(sx) + width - 1 : sx;
  const std::ptrdiff_t row = flip ? std::ptrdiff_t(sy) + height - 1 : sy;
  BlitWalk w;
  w.dst = dst + std::ptrdiff_t(dy) * dstPitch + std::ptrdiff_t(dx) * bytes;
  w.dstPitch = dstPitch;
  w.src = src + row * srcPitch + col * bytes;
  w.srcPitch = flip ? -std::ptrdiff_t(srcPitch) : srcPitch;
  w.srcStep = mirror ? -bytes : bytes;
  w.mask = mask ? mask + row * maskPitch + col : nullptr;
  w.maskPitch = mask ? (flip ? -std::ptrdiff_t(maskPitch) : maskPitch) : 0;
  w.maskStep = mask ? (mirror ? -1 : 1) : 0;
  return w;
}

// The stipple pattern of one call: pattern[i][k] is 1 where row i, column k of the
// rectangle (both & 7) is drawn, i.e. (level >> 2) >= DitherMatrix8 at the destination.
struct StipplePattern {
  std::uint8_t rows[8][8];
};

static inline StipplePattern MakeStipplePattern(std::int32_t level, std::int32_t dx,
                                                std::int32_t dy) {
  StipplePattern p;
  const int threshold = level >> 2;
  for (int i = 0; i < 8; ++i)
    for (int k = 0; k < 8; ++k)
      p.rows[i][k] = threshold >= DitherMatrix8[(dy + i) & 7][(dx + k) & 7];
  return p;
}

// Mask dither: the row of DitherMatrix8 for rectangle row r, offset so that [c & 7] is
// the matrix value of rectangle column c.
static inline const std::uint8_t* DitherRow(std::int32_t dx, std::int32_t dy, int r) {
  return &DitherMatrix8[(dy + r) & 7][dx & 7];
}

static inline bool MaskDitherWrites(unsigned a, const std::uint8_t* ditherRow, int c) {
  return a > 3 && (a >> 2) + 1 >= ditherRow[c & 7];
}

// 16-bit channel layouts: red and green field shifts, blue at 0. The 565 green is used on
// its top five bits (shift 6), so blended 565 pixels have green bit 5 clear.
constexpr int kShiftR555 = 10, kShiftG555 = 5;
constexpr int kShiftR565 = 11, kShiftG565 = 6;

// Table blend of one 16-bit pixel with the BlendTable rows of the two weights.
template <int kR, int kG>
static inline std::uint32_t MixTable16(std::uint32_t s, std::uint32_t d, const std::int32_t* ts,
                                       const std::int32_t* td) {
  const std::uint32_t r = std::uint32_t(ts[(s >> kR) & 31] + td[(d >> kR) & 31]) >> 8;
  const std::uint32_t g = std::uint32_t(ts[(s >> kG) & 31] + td[(d >> kG) & 31]) >> 8;
  const std::uint32_t b = std::uint32_t(ts[s & 31] + td[d & 31]) >> 8;
  return r << kR | g << kG | b;
}

// Full-level blend of one 16-bit pixel: per channel (a * s + (256 - a) * d) >> 8.
template <int kR, int kG>
static inline std::uint32_t MixLevel16(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  const std::uint32_t ia = 256 - a;
  const std::uint32_t r = (a * ((s >> kR) & 31) + ia * ((d >> kR) & 31)) >> 8;
  const std::uint32_t g = (a * ((s >> kG) & 31) + ia * ((d >> kG) & 31)) >> 8;
  const std::uint32_t b = (a * (s & 31) + ia * (d & 31)) >> 8;
  return r << kR | g << kG | b;
}

// Table blend of a 24- or 32-bit pixel: the three colour bytes reduced to five bits,
// (ws * (s >> 3) + wd * (d >> 3)) >> 2 each; the fourth byte becomes 0.
static inline std::uint32_t MixTable24(std::uint32_t s, std::uint32_t d, const std::int32_t* ts,
                                       const std::int32_t* td) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c =
        std::uint32_t(ts[(s >> (shift + 3)) & 31] + td[(d >> (shift + 3)) & 31]) >> 5;
    out |= c << shift;
  }
  return out;
}

// Full-level blend of a 32-bit pixel, all four bytes.
static inline std::uint32_t MixLevel32(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  const std::uint32_t ia = 256 - a;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    out |= ((a * ((s >> shift) & 255) + ia * ((d >> shift) & 255)) >> 8) << shift;
  }
  return out;
}

// Columns of a row that the 16-bit full-level mask blends treat with the table rule: the
// head up to the next multiple of 4 of the destination x, and the last (width - head) % 4.
struct MaskGroups {
  std::int32_t head;       // columns [0, head) are head pixels
  std::int32_t tailStart;  // columns [tailStart, width) are tail pixels
};

static inline MaskGroups MaskGroupsOf(std::int32_t dx, std::int32_t width) {
  std::int32_t head = (4 - (dx & 3)) & 3;
  if (head > width) head = width;
  return {head, width - (width - head) % 4};
}
