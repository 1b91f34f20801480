// SSE2 form of AlphaRleBlit32Mmx. Called only after CpuHasSse2(); gives exactly the results
// of the portable form (rle_blit.cpp, MixAlphaMmx32), which the tests check.
//
// A span goes in blocks of sixteen pixels, then groups of four, each sorted by its mask
// bytes: all 0 costs one test, all 255 takes the short opaque form; in any other block each
// group of four is sorted the same way, and groups with mixed mask bytes blend all four
// pixels (the blend leaves d unchanged at a = 0 and is exact at 255, so no pixel needs a
// test of its own). The length need not be a multiple of four: the last group is the one
// that ends with the span, computed from the untouched destination before the rest runs
// and stored after it, so where it overlaps the group before it writes the same values
// again. Only spans under four pixels go pixel by pixel.
//
// All loads and stores are unaligned (the spans start anywhere). Mirrored spans write each
// group of four right to left: the destination group is loaded, reversed into source
// order, blended, reversed back.
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "pixel/rle_simd.h"
#include "pixel/rle_walk.h"

namespace {

inline __m128i Load128(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store128(std::uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline __m128i Load32(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return _mm_cvtsi32_si128(v);
}
inline void Store32(std::uint8_t* p, __m128i v) {
  const std::int32_t w = _mm_cvtsi128_si32(v);
  std::memcpy(p, &w, 4);
}
inline __m128i Reverse32x4(__m128i v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)); }

// ((256 - a) d + a s + round) >> 8 on eight 16-bit lanes (two pixels), written as
// (256 d + round + a (s - d)) >> 8 with dr = 256 d + round: the exact sum lies in
// [0, 255 * 256 + 128], so lanes that compute it modulo 2^16 hold it exactly.
inline __m128i Mix2(__m128i s, __m128i d, __m128i dr, __m128i a) {
  return _mm_srli_epi16(_mm_add_epi16(dr, _mm_mullo_epi16(_mm_sub_epi16(s, d), a)), 8);
}

// Four pixels in source order; alo and ahi hold the alpha of each pixel in its four 16-bit
// lanes, for the first two pixels and the last two. The colour bytes round, the fourth does
// not: dr interleaves d with bytes 128, 128, 128, 0.
inline __m128i Mix4(__m128i s, __m128i d, __m128i alo, __m128i ahi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i round = _mm_set1_epi32(0x00808080);
  const __m128i lo = Mix2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero),
                          _mm_unpacklo_epi8(round, d), alo);
  const __m128i hi = Mix2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero),
                          _mm_unpackhi_epi8(round, d), ahi);
  return _mm_packus_epi16(lo, hi);
}

// Four pixels of alpha 255. A colour byte is (d + 255 s + 128) >> 8 = s + 1 when
// d - s >= 128, s - 1 when d - s <= -129, else s; the fourth byte (d + 255 s) >> 8 is s - 1
// when d - s <= -1, else s. t = avg(d, 255 - s) = (d - s + 256) >> 1 tells them apart:
// t >= 192, t <= 63 and t <= 127. Compared signed, t - 128 against 63, -64 and 0.
inline __m128i Opaque4(__m128i s, __m128i d) {
  const __m128i flip = _mm_set1_epi8(-128);
  const __m128i t = _mm_xor_si128(_mm_avg_epu8(d, _mm_xor_si128(s, _mm_set1_epi8(-1))), flip);
  const __m128i up = _mm_cmpgt_epi8(t, _mm_set1_epi32(0x7F3F3F3F));  // never on the fourth
  const __m128i down = _mm_cmpgt_epi8(_mm_set1_epi32(0x00C0C0C0), t);
  return _mm_add_epi8(_mm_sub_epi8(s, up), down);  // the masks are -1 where they hold
}

// Group j (source pixels 4j to 4j + 3) of a block whose first pixel goes to d.
template <bool kMirror>
inline std::uint8_t* GroupAt(std::uint8_t* d, int j) {
  return kMirror ? d - 16 * j - 12 : d + 16 * j;
}
template <bool kMirror>
inline __m128i LoadGroup(std::uint8_t* d, int j) {
  const __m128i v = Load128(GroupAt<kMirror>(d, j));
  return kMirror ? Reverse32x4(v) : v;
}
template <bool kMirror>
inline void StoreGroup(std::uint8_t* d, int j, __m128i v) {
  Store128(GroupAt<kMirror>(d, j), kMirror ? Reverse32x4(v) : v);
}

// The mask bytes of a block of G = 4 groups of four pixels, or of one group (G = 1).
template <int G>
struct MaskWords {
  std::uint64_t lo, hi;

  explicit MaskWords(const std::uint8_t* m) {
    if (G == 1) {
      std::uint32_t v;
      std::memcpy(&v, m, 4);
      lo = hi = v;
    } else {
      std::memcpy(&lo, m, 8);
      std::memcpy(&hi, m + 8, 8);
    }
  }
  bool Full() const {
    constexpr std::uint64_t kFull = G == 1 ? 0xFFFFFFFFu : ~std::uint64_t(0);
    return (lo & hi) == kFull;
  }
  bool Zero() const { return (lo | hi) == 0; }
};

// Group j (pixels 4j to 4j + 3) of a block of mixed mask bytes m, from the destination at
// d: by the group's own mask bytes, all 255 takes the opaque form, all 0 keeps d.
template <bool kMirror>
inline __m128i MixedGroup(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m,
                          int j) {
  std::uint32_t part;
  std::memcpy(&part, m + 4 * j, 4);
  const __m128i dv = LoadGroup<kMirror>(d, j), sv = Load128(s + 16 * j);
  if (part == 0xFFFFFFFFu) return Opaque4(sv, dv);
  if (part == 0) return dv;
  // Alphas a0 to a3 as 16-bit lanes a0 a0 a1 a1 a2 a2 a3 a3, then four lanes per pixel.
  __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(std::int32_t(part)), _mm_setzero_si128());
  a = _mm_unpacklo_epi16(a, a);
  return Mix4(sv, dv, _mm_shuffle_epi32(a, _MM_SHUFFLE(1, 1, 0, 0)),
              _mm_shuffle_epi32(a, _MM_SHUFFLE(3, 3, 2, 2)));
}

// A block of G groups whose first pixel goes to d, written at once.
template <bool kMirror, int G>
inline void DrawBlock(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m) {
  const MaskWords<G> mask(m);
  if (mask.Full()) {
    for (int j = 0; j < G; ++j)
      StoreGroup<kMirror>(d, j, Opaque4(Load128(s + 16 * j), LoadGroup<kMirror>(d, j)));
  } else if (!mask.Zero()) {
    for (int j = 0; j < G; ++j) StoreGroup<kMirror>(d, j, MixedGroup<kMirror>(d, s, m, j));
  }
}

inline void Prefetch(const std::uint8_t* p) {
  _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
}

// n >= 4 pixels (see the top). The destination rows lie far apart in memory: each block
// fetches the same columns `ahead` bytes on (a later row) into the cache, so that they are
// there when that row is drawn.
template <bool kMirror>
void Groups(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::int32_t n,
            std::ptrdiff_t ahead) {
  const std::ptrdiff_t step = kMirror ? -4 : 4;
  const std::int32_t lastAt = n - 4;
  std::uint8_t* const lastD = d + lastAt * step;
  Prefetch(lastD + ahead);
  Prefetch(lastD + 3 * step + ahead);
  std::uint32_t lastPart;
  std::memcpy(&lastPart, m + lastAt, 4);
  const __m128i last = MixedGroup<kMirror>(lastD, s + 4 * lastAt, m + lastAt, 0);
  for (std::int32_t blocks = n >> 4; blocks > 0; --blocks, d += 16 * step, s += 64, m += 16) {
    Prefetch(d + ahead);
    DrawBlock<kMirror, 4>(d, s, m);
  }
  // Then groups of four up to the last one (which they may overlap).
  for (std::int32_t groups = ((n & 15) + 3) / 4 - 1; groups > 0;
       --groups, d += 4 * step, s += 16, m += 4)
    DrawBlock<kMirror, 1>(d, s, m);
  if (lastPart) StoreGroup<kMirror>(lastD, 0, last);
}

// One pixel with alpha a.
inline void Mix1(std::uint8_t* d, const std::uint8_t* s, std::uint32_t a) {
  const __m128i alpha = _mm_set1_epi16(std::int16_t(a));
  Store32(d, Mix4(Load32(s), Load32(d), alpha, alpha));
}

template <bool kMirror>
void Span(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::int32_t n,
          std::ptrdiff_t ahead) {
  if (n >= 4) return Groups<kMirror>(d, s, m, n, ahead);
  const std::ptrdiff_t step = kMirror ? -4 : 4;
  for (std::int32_t k = 0; k < n; ++k, d += step)
    if (m[k]) Mix1(d, s + 4 * k, m[k]);
}

// `ahead`: from a destination row to the row after next.
struct MaskMmx32Sse2Span {
  std::ptrdiff_t ahead;

  void Run(std::uint8_t* d, std::ptrdiff_t step, const std::uint8_t* s, const std::uint8_t* m,
           std::int32_t n, std::int32_t, std::int32_t) const {
    if (step > 0) {
      Span<false>(d, s, m, n, ahead);
    } else {
      Span<true>(d, s, m, n, ahead);
    }
  }
};

}  // namespace

TW_SIMD_ENTRY TW_ALPHA_RLE_BLIT(AlphaRleBlit32MmxSse2) {
  MaskMmx32Sse2Span span;
  span.ahead = 2 * std::ptrdiff_t(flags & BLIT_FLIP ? -dstPitch : dstPitch);
  AlphaRleRows<4>(dst, dstPitch, dx, dy, width, height, sprite, mask, sx, sy, flags, span);
}
