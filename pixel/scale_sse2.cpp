// SSE2 forms of the bilinear scaling kernels. Called only after CpuHasSse2(); each gives
// exactly the results of its portable form (scale.cpp, scale_pixels.h), which the tests
// check.
//
// Across first: every source row the rectangle reads is widened to 8-bit channels (a
// 32-bit word a pixel), its neighbouring words paired up in 16-bit lanes, and each
// destination column takes its pair with one multiply-add; a scaled row serves every
// destination row that reads it. Then down: each destination row mixes its two scaled
// rows, four pixels a step. Scalar tails finish both with the portable formula.
#include <emmintrin.h>

#include <cassert>
#include <cstring>
#include <vector>

#include "pixel/scale_pixels.h"
#include "pixel/scale_simd.h"
#include "pixel/scale_simd_pixels.h"

namespace {

// (a * iw + b * w + 64) >> 7 on 16-bit lanes holding 0..255 (iw + w = 128: no lane
// exceeds 32704).
inline __m128i Mix16(__m128i a, __m128i b, __m128i iw, __m128i w) {
  const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, iw), _mm_mullo_epi16(b, w));
  return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(64)), 7);
}

// A source row's columns [0, count) as 8888 words, and one more word (0) after them.
void WidenRow32(std::uint32_t* words, const std::uint8_t* row, std::int32_t count) {
  std::memcpy(words, row, std::size_t(count) * 4);
  words[count] = 0;
}

// The words as pairs: entry c (eight 16-bit lanes) holds the channels of words c and
// c + 1 interleaved (c0 c+1_0 c1 c+1_1 ...), ready for one multiply-add per destination
// pixel. The words reach count + 1.
void PairUp(std::int16_t* pairs, const std::uint32_t* words, std::int32_t count) {
  const __m128i zero = _mm_setzero_si128();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(words);
  auto* out = reinterpret_cast<std::uint8_t*>(pairs);
  std::int32_t c = 0;
  for (; c + 4 <= count; c += 4) {
    const __m128i a = Load128(bytes + c * 4), b = Load128(bytes + c * 4 + 4);
    const __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
    Store128(out + c * 16, _mm_unpacklo_epi8(lo, zero));
    Store128(out + c * 16 + 16, _mm_unpackhi_epi8(lo, zero));
    Store128(out + c * 16 + 32, _mm_unpacklo_epi8(hi, zero));
    Store128(out + c * 16 + 48, _mm_unpackhi_epi8(hi, zero));
  }
  for (; c < count; ++c) {
    const __m128i a = _mm_cvtsi32_si128(static_cast<int>(words[c]));
    const __m128i b = _mm_cvtsi32_si128(static_cast<int>(words[c + 1]));
    Store128(out + c * 16, _mm_unpacklo_epi8(_mm_unpacklo_epi8(a, b), zero));
  }
}

// One destination pixel from its pair and its weights (128 - w, w in every 32-bit lane):
// its four channel sums, before rounding (at most 32640 each).
inline __m128i MixPair(const std::int16_t* pair, const std::int32_t* weights) {
  const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair));
  const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights));
  return _mm_madd_epi16(p, w);
}

// Two pixels' channel sums rounded to their channel values in 16-bit lanes.
inline __m128i RoundTwo(__m128i a, __m128i b) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_packs_epi32(a, b), _mm_set1_epi16(64)), 7);
}

// The rows of the source scaled across, kept for the destination rows that read them:
// two rows, the one not asked for last replaced first.
class ScaledRows {
 public:
  using Widen = void (*)(std::uint32_t*, const std::uint8_t*, std::int32_t);

  ScaledRows(const std::uint8_t* src, std::int32_t srcPitch, int bytes, Widen widen,
             const std::vector<ScaleTap>& taps)
      : src_(src), srcPitch_(srcPitch), bytes_(bytes), widen_(widen), taps_(taps),
        first_(taps.front().first), count_(taps.back().second - first_ + 1),
        words_(std::size_t(count_) + 1), pairs_(std::size_t(count_) * 8),
        weights_(taps.size() * 4) {
    for (std::size_t i = 0; i < taps.size(); ++i) {
      const std::int32_t w = taps[i].weight << 16 | (128 - taps[i].weight);
      for (int k = 0; k < 4; ++k) weights_[i * 4 + k] = w;
    }
    for (auto& row : rows_) row.assign(taps.size() * 2, 0);
  }

  // Source row y scaled across: a destination column's four channels in 16-bit lanes
  // (two words a column).
  const std::uint32_t* Row(std::int32_t y) {
    for (int k = 0; k < 2; ++k)
      if (index_[k] == y) {
        last_ = k;
        return rows_[k].data();
      }
    const int k = 1 - last_;
    Scale(y, rows_[k].data());
    index_[k] = y;
    last_ = k;
    return rows_[k].data();
  }

 private:
  void Scale(std::int32_t y, std::uint32_t* out) {
    widen_(words_.data(), src_ + std::intptr_t(y) * srcPitch_ + std::intptr_t(first_) * bytes_,
           count_);
    PairUp(pairs_.data(), words_.data(), count_);
    const std::int16_t* pair = pairs_.data() - std::intptr_t(first_) * 8;  // by source column
    const std::int32_t width = static_cast<std::int32_t>(taps_.size());
    std::int32_t i = 0;
    for (; i + 4 <= width; i += 4) {
      const ScaleTap* t = &taps_[i];
      const std::int32_t* w = &weights_[std::size_t(i) * 4];
      const __m128i p01 = RoundTwo(MixPair(pair + t[0].first * 8, w),
                                   MixPair(pair + t[1].first * 8, w + 4));
      const __m128i p23 = RoundTwo(MixPair(pair + t[2].first * 8, w + 8),
                                   MixPair(pair + t[3].first * 8, w + 12));
      Store128(reinterpret_cast<std::uint8_t*>(out + i * 2), p01);
      Store128(reinterpret_cast<std::uint8_t*>(out + i * 2 + 4), p23);
    }
    const std::uint32_t* word = words_.data() - first_;
    for (; i < width; ++i) {
      const std::uint32_t v =
          MixChannels(word[taps_[i].first], word[taps_[i].second], taps_[i].weight);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * 2),
                       _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(v)),
                                         _mm_setzero_si128()));
    }
  }

  const std::uint8_t* src_;
  std::int32_t srcPitch_;
  int bytes_;
  Widen widen_;
  const std::vector<ScaleTap>& taps_;
  std::int32_t first_, count_;
  std::vector<std::uint32_t> words_;
  std::vector<std::int16_t> pairs_;
  std::vector<std::int32_t> weights_;
  std::vector<std::uint32_t> rows_[2];
  std::int32_t index_[2] = {-1, -1};
  int last_ = 1;
};

// The row work shared by the bilinear kernels: every source row the rectangle reads is
// scaled across once (ScaledRows), and each destination row mixes its two, four pixels a
// step; Pixel is the portable pixel access for the scalar tail, G its green width (0 for
// 32-bit pixels).
template <class Pixel, int G>
void BilinearSse2(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                  std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r,
                  ScaledRows::Widen widen) {
  assert(r.width > 0 && r.height > 0);
  constexpr int kBytes = PixelBytes<G>();
  const std::vector<ScaleTap> taps = ScaleColumnTaps(g, r);
  ScaledRows rows(src, srcPitch, kBytes, widen, taps);
  for (std::int32_t j = 0; j < r.height; ++j) {
    const ScaleTap ty = ScaleTapAt(r.y + j, g.srcHeight, g.dstHeight);
    const auto* top = reinterpret_cast<const std::uint8_t*>(rows.Row(ty.first));
    const auto* bottom = reinterpret_cast<const std::uint8_t*>(rows.Row(ty.second));
    const __m128i w = _mm_set1_epi16(static_cast<short>(ty.weight));
    const __m128i iw = _mm_set1_epi16(static_cast<short>(128 - ty.weight));
    std::uint8_t* out = dst + std::intptr_t(r.y + j) * dstPitch + std::intptr_t(r.x) * kBytes;
    std::int32_t i = 0;
    for (; i + 4 <= r.width; i += 4) {
      const __m128i lo = Mix16(Load128(top + i * 8), Load128(bottom + i * 8), iw, w);
      const __m128i hi = Mix16(Load128(top + i * 8 + 16), Load128(bottom + i * 8 + 16), iw, w);
      StorePixels4<G>(out + i * kBytes, _mm_packus_epi16(lo, hi));
    }
    for (; i < r.width; ++i) {
      const __m128i one = Mix16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + i * 8)),
                                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom + i * 8)),
                                iw, w);
      Pixel::Store(out, i, static_cast<std::uint32_t>(
                               _mm_cvtsi128_si32(_mm_packus_epi16(one, _mm_setzero_si128()))));
    }
  }
}

}  // namespace

TW_SIMD_ENTRY void ScaleBilinear32Sse2(std::uint8_t* dst, std::int32_t dstPitch,
                                       const std::uint8_t* src, std::int32_t srcPitch,
                                       const ScaleGeometry& g, const ScaleRect& r) {
  BilinearSse2<Pixel8888, 0>(dst, dstPitch, src, srcPitch, g, r, WidenRow32);
}
TW_SIMD_ENTRY void ScaleBilinear555Sse2(std::uint8_t* dst, std::int32_t dstPitch,
                                        const std::uint8_t* src, std::int32_t srcPitch,
                                        const ScaleGeometry& g, const ScaleRect& r) {
  BilinearSse2<Pixel16<5>, 5>(dst, dstPitch, src, srcPitch, g, r, WidenRow16<5>);
}
TW_SIMD_ENTRY void ScaleBilinear565Sse2(std::uint8_t* dst, std::int32_t dstPitch,
                                        const std::uint8_t* src, std::int32_t srcPitch,
                                        const ScaleGeometry& g, const ScaleRect& r) {
  BilinearSse2<Pixel16<6>, 6>(dst, dstPitch, src, srcPitch, g, r, WidenRow16<6>);
}
