// SSSE3 forms of the bilinear scaling kernels. Called only after CpuHasSsse3(); each
// gives exactly the results of its portable form (scale.cpp, scale_pixels.h), which the
// tests check.
//
// Across first: for two destination pixels at a time, the source pixels each reads are
// loaded as they lie in the row (when enlarging, the four columns from the pair's first
// at once; otherwise 8 bytes a pixel; never past the row's end), a byte shuffle of the
// pair's own pairs them channel by channel, and one unsigned-by-signed multiply-add with
// the pair's weights gives the eight sums. A scaled
// row is kept in 8-bit channels and serves every destination row that reads it. Then
// down: the two scaled rows of a destination row are interleaved byte by byte and mixed
// with one multiply-add, four pixels a step. Sums are rounded with pmulhrsw by 256, which
// is (s + 64) >> 7 exactly for the sums here (0..32640).
//
// A weight of 128 has no signed byte: a tap of weight 0 reads its first pixel twice with
// weights 64 and 64 instead, and a destination row of weight 0 copies its top row.
#include <tmmintrin.h>

#include <cassert>
#include <cstring>
#include <vector>

#include "pixel/scale_pixels.h"
#include "pixel/scale_simd.h"
#include "pixel/scale_simd_pixels.h"

namespace {

// (s + 64) >> 7 on sums 0..32767.
inline __m128i Round7(__m128i s) { return _mm_mulhrs_epi16(s, _mm_set1_epi16(256)); }

// Destination pixels 2k and 2k + 1: the shuffle that pairs the channels of what they
// load, and their weights.
struct PixelPair {
  std::int8_t shuffle[16];
  std::int8_t weight[16];
};

// The per-column work of one rectangle, prepared once.
struct ColumnPlan {
  // Per destination column, the byte offset in the widened row of the 8 bytes (two
  // source pixels) it loads. Wide plans (enlarging) load a pixel pair's 16 bytes at
  // once, from the offset of its first column.
  std::vector<std::int32_t> offsets;
  std::vector<PixelPair> pairs;       // per pixel pair of the first simdWidth columns
  std::vector<ScaleTap> taps;         // for the scalar tail
  std::int32_t first = 0, count = 0;  // the source columns the rows must hold
  std::int32_t simdWidth = 0;         // the columns done four at a time
  bool wide = false;
};

// The first column of the 8 bytes destination column tap t loads alone: its own, or the
// one before the last at the right edge.
std::int32_t NarrowStart(const ScaleTap& t, std::int32_t s) {
  return s >= 2 && t.first > s - 2 ? s - 2 : t.first;
}

// The first column of the 16 bytes a pixel pair loads together, or -1 when the four
// columns from there do not hold all that the pair reads (shrinking, tiny pictures).
std::int32_t WideStart(const ScaleTap& t0, const ScaleTap& t1, std::int32_t s) {
  if (s < 4) return -1;
  const std::int32_t start = t0.first > s - 4 ? s - 4 : t0.first;
  const std::int32_t end = t1.weight ? t1.second : t1.first;
  return end - start <= 3 && t0.first >= start ? start : -1;
}

// One pixel of a pair: where its source pixels lie in the pair's 16 bytes (slot p
// holds 8 bytes from column start) and its weights (64 and 64 for a weight of 0).
void PlanPixel(PixelPair& pair, int p, const ScaleTap& t, std::int32_t start) {
  const int a = p * 8 + (t.first - start) * 4;
  const int b = t.weight ? p * 8 + (t.second - start) * 4 : a;
  for (int c = 0; c < 4; ++c) {
    pair.shuffle[p * 8 + 2 * c] = static_cast<std::int8_t>(a + c);
    pair.shuffle[p * 8 + 2 * c + 1] = static_cast<std::int8_t>(b + c);
    pair.weight[p * 8 + 2 * c] = static_cast<std::int8_t>(t.weight ? 128 - t.weight : 64);
    pair.weight[p * 8 + 2 * c + 1] = static_cast<std::int8_t>(t.weight ? t.weight : 64);
  }
}

ColumnPlan PlanColumns(const ScaleGeometry& g, const ScaleRect& r) {
  ColumnPlan plan;
  plan.taps = ScaleColumnTaps(g, r);
  const std::vector<ScaleTap>& taps = plan.taps;
  const std::int32_t s = g.srcWidth, width = r.width;
  // A picture one column wide has no pair to load: all of it is the scalar tail.
  plan.simdWidth = s >= 2 ? width & ~3 : 0;
  const std::int32_t pairs = plan.simdWidth / 2;
  // The column each destination column's 8 bytes start at.
  std::vector<std::int32_t> starts(width);
  plan.wide = pairs > 0;
  for (std::int32_t k = 0; k < pairs && plan.wide; ++k) {
    const std::int32_t start = WideStart(taps[2 * k], taps[2 * k + 1], s);
    plan.wide = start >= 0;
    starts[2 * k] = start;
    starts[2 * k + 1] = start + 2;
  }
  for (std::int32_t i = plan.wide ? pairs * 2 : 0; i < width; ++i) starts[i] = NarrowStart(taps[i], s);
  // The rows hold every column loaded or read by the tail.
  plan.first = starts[0] < taps[0].first ? starts[0] : taps[0].first;
  std::int32_t last = taps.back().second;
  for (std::int32_t i = 0; i < width; ++i)
    if (starts[i] + 1 > last) last = starts[i] + 1;
  if (last > s - 1) last = s - 1;
  plan.count = last - plan.first + 1;
  plan.offsets.resize(width);
  for (std::int32_t i = 0; i < width; ++i) plan.offsets[i] = (starts[i] - plan.first) * 4;
  plan.pairs.resize(pairs);
  for (std::int32_t k = 0; k < pairs; ++k)
    for (int p = 0; p < 2; ++p) PlanPixel(plan.pairs[k], p, taps[2 * k + p], starts[2 * k + p]);
  return plan;
}

// The eight channel sums of a pixel pair from the two source pixels each reads.
inline __m128i Mix(__m128i pixels, const PixelPair& pair) {
  const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair.shuffle));
  const __m128i weight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair.weight));
  return _mm_maddubs_epi16(_mm_shuffle_epi8(pixels, shuffle), weight);
}

inline __m128i Load64(const std::uint8_t* p) {
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// One widened row (8888 words from the plan's first column) scaled across into out,
// four bytes a destination pixel.
void ScaleAcross(std::uint8_t* out, const std::uint8_t* words, const ColumnPlan& plan) {
  const std::int32_t width = static_cast<std::int32_t>(plan.offsets.size());
  const std::int32_t* at = plan.offsets.data();
  const PixelPair* pair = plan.pairs.data();
  std::int32_t i = 0;
  if (plan.wide) {
    for (; i < plan.simdWidth; i += 4, pair += 2) {
      const __m128i s01 = Mix(Load128(words + at[i]), pair[0]);
      const __m128i s23 = Mix(Load128(words + at[i + 2]), pair[1]);
      Store128(out + i * 4, _mm_packus_epi16(Round7(s01), Round7(s23)));
    }
  }
  for (; i < plan.simdWidth; i += 4, pair += 2) {
    const __m128i p01 = _mm_unpacklo_epi64(Load64(words + at[i]), Load64(words + at[i + 1]));
    const __m128i p23 = _mm_unpacklo_epi64(Load64(words + at[i + 2]), Load64(words + at[i + 3]));
    Store128(out + i * 4, _mm_packus_epi16(Round7(Mix(p01, pair[0])), Round7(Mix(p23, pair[1]))));
  }
  const std::uint8_t* column0 = words - std::intptr_t(plan.first) * 4;
  for (; i < width; ++i) {
    const ScaleTap& t = plan.taps[i];
    Pixel8888::Store(out, i, MixChannels(Pixel8888::Load(column0, t.first),
                                         Pixel8888::Load(column0, t.second), t.weight));
  }
}

// The rows of the source scaled across, kept for the destination rows that read them:
// two rows, the one not asked for last replaced first. Sixteen-bit rows are widened to
// 8888 words first; 32-bit rows are read where they lie.
class ScaledRows {
 public:
  using Widen = void (*)(std::uint32_t*, const std::uint8_t*, std::int32_t);

  ScaledRows(const std::uint8_t* src, std::int32_t srcPitch, int bytes, Widen widen,
             const ColumnPlan& plan)
      : src_(src), srcPitch_(srcPitch), bytes_(bytes), widen_(widen), plan_(plan) {
    if (widen_) words_.resize(std::size_t(plan.count) + 1);
    for (auto& row : rows_) row.resize(plan.offsets.size() * 4);
  }

  const std::uint8_t* Row(std::int32_t y) {
    for (int k = 0; k < 2; ++k)
      if (index_[k] == y) {
        last_ = k;
        return rows_[k].data();
      }
    const int k = 1 - last_;
    const std::uint8_t* row =
        src_ + std::intptr_t(y) * srcPitch_ + std::intptr_t(plan_.first) * bytes_;
    if (widen_) {
      widen_(words_.data(), row, plan_.count);
      row = reinterpret_cast<const std::uint8_t*>(words_.data());
    }
    ScaleAcross(rows_[k].data(), row, plan_);
    index_[k] = y;
    last_ = k;
    return rows_[k].data();
  }

 private:
  const std::uint8_t* src_;
  std::int32_t srcPitch_;
  int bytes_;
  Widen widen_;
  const ColumnPlan& plan_;
  std::vector<std::uint32_t> words_;
  std::vector<std::uint8_t> rows_[2];
  std::int32_t index_[2] = {-1, -1};
  int last_ = 1;
};

// Destination row from its two scaled rows (8888 bytes a pixel), down with weight w
// (1..127): four pixels a step, then the scalar tail.
template <class Pixel, int G>
void ScaleDown(std::uint8_t* out, const std::uint8_t* top, const std::uint8_t* bottom,
               std::int32_t width, std::int32_t w) {
  const __m128i weights = _mm_set1_epi16(static_cast<short>(w << 8 | (128 - w)));
  std::int32_t i = 0;
  for (; i + 4 <= width; i += 4) {
    const __m128i t = Load128(top + i * 4), b = Load128(bottom + i * 4);
    const __m128i lo = Round7(_mm_maddubs_epi16(_mm_unpacklo_epi8(t, b), weights));
    const __m128i hi = Round7(_mm_maddubs_epi16(_mm_unpackhi_epi8(t, b), weights));
    StorePixels4<G>(out + i * PixelBytes<G>(), _mm_packus_epi16(lo, hi));
  }
  for (; i < width; ++i)
    Pixel::Store(out, i, MixChannels(Pixel8888::Load(top, i), Pixel8888::Load(bottom, i), w));
}

// A destination row of weight 0: its top row as it is.
template <class Pixel, int G>
void CopyDown(std::uint8_t* out, const std::uint8_t* top, std::int32_t width) {
  std::int32_t i = 0;
  for (; i + 4 <= width; i += 4) StorePixels4<G>(out + i * PixelBytes<G>(), Load128(top + i * 4));
  for (; i < width; ++i) Pixel::Store(out, i, Pixel8888::Load(top, i));
}

template <class Pixel, int G>
void BilinearSsse3(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                   std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r,
                   ScaledRows::Widen widen) {
  assert(r.width > 0 && r.height > 0);
  const ColumnPlan plan = PlanColumns(g, r);
  constexpr int kBytes = PixelBytes<G>();
  ScaledRows rows(src, srcPitch, kBytes, widen, plan);
  for (std::int32_t j = 0; j < r.height; ++j) {
    const ScaleTap ty = ScaleTapAt(r.y + j, g.srcHeight, g.dstHeight);
    std::uint8_t* out = dst + std::intptr_t(r.y + j) * dstPitch + std::intptr_t(r.x) * kBytes;
    const std::uint8_t* top = rows.Row(ty.first);
    if (ty.weight == 0) {
      CopyDown<Pixel, G>(out, top, r.width);
      continue;
    }
    ScaleDown<Pixel, G>(out, top, rows.Row(ty.second), r.width, ty.weight);
  }
}

}  // namespace

TW_SIMD_ENTRY void ScaleBilinear32Ssse3(std::uint8_t* dst, std::int32_t dstPitch,
                                        const std::uint8_t* src, std::int32_t srcPitch,
                                        const ScaleGeometry& g, const ScaleRect& r) {
  BilinearSsse3<Pixel8888, 0>(dst, dstPitch, src, srcPitch, g, r, nullptr);
}
TW_SIMD_ENTRY void ScaleBilinear555Ssse3(std::uint8_t* dst, std::int32_t dstPitch,
                                         const std::uint8_t* src, std::int32_t srcPitch,
                                         const ScaleGeometry& g, const ScaleRect& r) {
  BilinearSsse3<Pixel16<5>, 5>(dst, dstPitch, src, srcPitch, g, r, WidenRow16<5>);
}
TW_SIMD_ENTRY void ScaleBilinear565Ssse3(std::uint8_t* dst, std::int32_t dstPitch,
                                         const std::uint8_t* src, std::int32_t srcPitch,
                                         const ScaleGeometry& g, const ScaleRect& r) {
  BilinearSsse3<Pixel16<6>, 6>(dst, dstPitch, src, srcPitch, g, r, WidenRow16<6>);
}
