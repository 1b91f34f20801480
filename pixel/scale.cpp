#include "pixel/scale.h"

#include <cassert>
#include <cstring>
#include <vector>

#include "pixel/pixel_format.h"
#include "pixel/scale_pixels.h"
#include "pixel/scale_simd.h"

namespace {

// The tap of source position u128 (in 1/128 steps) in a picture s pixels wide.
ScaleTap TapAt(std::int64_t u128, std::int32_t s) {
  if (u128 < 0) return {0, 0, 0};
  const auto first = static_cast<std::int32_t>(u128 >> 7);
  if (first >= s - 1) return {s - 1, s - 1, 0};
  return {first, first + 1, static_cast<std::int32_t>(u128 & 127)};
}

}  // namespace

ScaleTap ScaleTapAt(std::int32_t d, std::int32_t s, std::int32_t n) {
  return TapAt((std::int64_t(2 * d + 1) * s * 64) / n - 64, s);
}

namespace {

// The destination span [lo, hi) along one axis whose taps touch source span [a, b).
void DirtySpan(std::int32_t a, std::int32_t b, std::int32_t s, std::int32_t n,
               std::int32_t& lo, std::int32_t& hi) {
  // A first guess from the inverse mapping, then walked to the exact ends (the taps
  // only grow with d).
  lo = static_cast<std::int32_t>(std::int64_t(a - 1) * n / s) - 1;
  if (lo < 0) lo = 0;
  while (lo > 0 && ScaleTapAt(lo - 1, s, n).second >= a) --lo;
  while (lo < n && ScaleTapAt(lo, s, n).second < a) ++lo;
  hi = static_cast<std::int32_t>(std::int64_t(b + 1) * n / s) + 1;
  if (hi > n) hi = n;
  if (hi < lo) hi = lo;
  while (hi < n && ScaleTapAt(hi, s, n).first < b) ++hi;
  while (hi > lo && ScaleTapAt(hi - 1, s, n).first >= b) --hi;
}

}  // namespace

ScaleRect ScaledDirtyRect(const ScaleGeometry& g, const ScaleRect& r) {
  std::int32_t x0 = r.x < 0 ? 0 : r.x;
  std::int32_t y0 = r.y < 0 ? 0 : r.y;
  std::int32_t x1 = r.x + r.width > g.srcWidth ? g.srcWidth : r.x + r.width;
  std::int32_t y1 = r.y + r.height > g.srcHeight ? g.srcHeight : r.y + r.height;
  if (x1 <= x0 || y1 <= y0) return {0, 0, 0, 0};
  std::int32_t left, right, top, bottom;
  DirtySpan(x0, x1, g.srcWidth, g.dstWidth, left, right);
  DirtySpan(y0, y1, g.srcHeight, g.dstHeight, top, bottom);
  if (right <= left || bottom <= top) return {0, 0, 0, 0};
  return {left, top, right - left, bottom - top};
}

// ScaleTapAt column by column without a division each: the numerator
// (2d + 1) * s * 64 grows by 128 * s a column, its quotient and remainder by n
// with it.
std::vector<ScaleTap> ScaleColumnTaps(const ScaleGeometry& g, const ScaleRect& r) {
  std::vector<ScaleTap> taps(static_cast<std::size_t>(r.width));
  const std::int64_t s = g.srcWidth, n = g.dstWidth, step = 128 * s;
  const std::int64_t start = (2 * std::int64_t(r.x) + 1) * s * 64;
  std::int64_t quotient = start / n, remainder = start % n;
  const std::int64_t stepQuotient = step / n, stepRemainder = step % n;
  for (std::int32_t i = 0; i < r.width; ++i) {
    taps[i] = TapAt(quotient - 64, g.srcWidth);
    quotient += stepQuotient;
    remainder += stepRemainder;
    if (remainder >= n) {
      remainder -= n;
      ++quotient;
    }
  }
  return taps;
}

namespace {

template <class Pixel>
void BilinearRows(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                  std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  assert(r.width > 0 && r.height > 0);
  const std::vector<ScaleTap> columns = ScaleColumnTaps(g, r);
  for (std::int32_t j = 0; j < r.height; ++j) {
    const ScaleTap row = ScaleTapAt(r.y + j, g.srcHeight, g.dstHeight);
    const std::uint8_t* a = src + std::intptr_t(row.first) * srcPitch;
    const std::uint8_t* c = src + std::intptr_t(row.second) * srcPitch;
    std::uint8_t* out = dst + std::intptr_t(r.y + j) * dstPitch;
    for (std::int32_t i = 0; i < r.width; ++i) {
      const ScaleTap& t = columns[i];
      const std::uint32_t top = MixChannels(Pixel::Load(a, t.first), Pixel::Load(a, t.second),
                                            t.weight);
      const std::uint32_t bottom = MixChannels(Pixel::Load(c, t.first), Pixel::Load(c, t.second),
                                               t.weight);
      Pixel::Store(out, r.x + i, MixChannels(top, bottom, row.weight));
    }
  }
}

template <class T>
void NearestRows(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                 std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  assert(r.width > 0 && r.height > 0);
  const std::vector<ScaleTap> columns = ScaleColumnTaps(g, r);
  for (std::int32_t j = 0; j < r.height; ++j) {
    const ScaleTap row = ScaleTapAt(r.y + j, g.srcHeight, g.dstHeight);
    const std::uint8_t* in = src + std::intptr_t(NearestIndex(row)) * srcPitch;
    std::uint8_t* out = dst + std::intptr_t(r.y + j) * dstPitch;
    for (std::int32_t i = 0; i < r.width; ++i)
      std::memcpy(out + std::intptr_t(r.x + i) * sizeof(T),
                  in + std::intptr_t(NearestIndex(columns[i])) * sizeof(T), sizeof(T));
  }
}

}  // namespace

void ScaleBilinear32(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                     std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  BilinearRows<Pixel8888>(dst, dstPitch, src, srcPitch, g, r);
}
void ScaleBilinear555(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                      std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  BilinearRows<Pixel16<5>>(dst, dstPitch, src, srcPitch, g, r);
}
void ScaleBilinear565(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                      std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  BilinearRows<Pixel16<6>>(dst, dstPitch, src, srcPitch, g, r);
}
void ScaleNearest8(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                   std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  NearestRows<std::uint8_t>(dst, dstPitch, src, srcPitch, g, r);
}
void ScaleNearest16(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                    std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  NearestRows<std::uint16_t>(dst, dstPitch, src, srcPitch, g, r);
}
void ScaleNearest32(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                    std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r) {
  NearestRows<std::uint32_t>(dst, dstPitch, src, srcPitch, g, r);
}

// ---- Choosing a kernel --------------------------------------------------------------------

namespace {

enum ScaleRowLayout : std::uint8_t { ANY_LAYOUT, ONLY_555, ONLY_565 };
enum ScaleRowFilter : std::uint8_t { EITHER, SMOOTH, NEAREST };

struct ScaleRow {
  std::uint8_t depth;
  ScaleRowLayout layout;
  ScaleRowFilter filter;
  ScaleChoice portable;
  ScaleChoice sse2;
  ScaleChoice ssse3;
};

#define TW_S(k) ScaleChoice{k, #k}

const ScaleRow kScaleRows[] = {
    {8, ANY_LAYOUT, EITHER, TW_S(ScaleNearest8), TW_S(ScaleNearest8), TW_S(ScaleNearest8)},
    {16, ONLY_555, SMOOTH, TW_S(ScaleBilinear555), TW_S(ScaleBilinear555Sse2),
     TW_S(ScaleBilinear555Ssse3)},
    {16, ONLY_565, SMOOTH, TW_S(ScaleBilinear565), TW_S(ScaleBilinear565Sse2),
     TW_S(ScaleBilinear565Ssse3)},
    {16, ANY_LAYOUT, NEAREST, TW_S(ScaleNearest16), TW_S(ScaleNearest16), TW_S(ScaleNearest16)},
    {32, ANY_LAYOUT, SMOOTH, TW_S(ScaleBilinear32), TW_S(ScaleBilinear32Sse2),
     TW_S(ScaleBilinear32Ssse3)},
    {32, ANY_LAYOUT, NEAREST, TW_S(ScaleNearest32), TW_S(ScaleNearest32), TW_S(ScaleNearest32)},
};

#undef TW_S

bool RowMatches(const ScaleRow& row, std::uint32_t depth, bool is565, bool smooth) {
  if (row.depth != depth) return false;
  if (row.layout == ONLY_555 && is565) return false;
  if (row.layout == ONLY_565 && !is565) return false;
  return row.filter == EITHER || (row.filter == SMOOTH) == smooth;
}

}  // namespace

ScaleChoice SelectScaleKernel(const ScaleRequest& request) {
  const std::uint32_t depth = PixelDepth(request.type);
  const bool is565 = IsPixel565(request.type);
  for (const ScaleRow& row : kScaleRows)
    if (RowMatches(row, depth, is565, request.smooth))
      return request.ssse3 ? row.ssse3 : request.sse2 ? row.sse2 : row.portable;
  return {nullptr, "none"};
}
