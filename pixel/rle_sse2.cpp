// SSE2 form of AlphaRleBlit32Mmx. Called only after CpuHasSse2(); gives exactly the results
// of the portable form (rle_blit.cpp, MixAlphaMmx32), which the tests check.
//
// Per span: eight pixels per step, then four, then single pixels, all with unaligned
// loads and stores (the spans start anywhere, and an alignment head of single pixels costs
// more than it saves). Mirrored spans write each block of four right to left, so the
// destination block is loaded, reversed into source order, blended, reversed back.
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
// (256 d + a (s - d) + round) >> 8: the exact sum lies in [0, 255 * 256 + 128], so lanes
// that compute it modulo 2^16 hold it exactly.
inline __m128i Mix2(__m128i s, __m128i d, __m128i a, __m128i round) {
  const __m128i sum = _mm_add_epi16(
      _mm_add_epi16(_mm_slli_epi16(d, 8), _mm_mullo_epi16(_mm_sub_epi16(s, d), a)), round);
  return _mm_srli_epi16(sum, 8);
}

// Four pixels of alpha 255, on bytes: a colour byte is (d + 255 s + 128) >> 8, which is
// s + 1 when d - s >= 128, s - 1 when s - d >= 129, else s; the fourth byte
// (d + 255 s) >> 8 is s - 1 when s > d, else s.
inline __m128i Opaque4(__m128i s, __m128i d) {
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  const __m128i downFrom = _mm_set1_epi32(0x01818181);
  const __m128i ds = _mm_subs_epu8(d, s), sd = _mm_subs_epu8(s, d);
  const __m128i up = _mm_and_si128(colour, _mm_cmplt_epi8(ds, _mm_setzero_si128()));
  const __m128i down = _mm_cmpeq_epi8(_mm_max_epu8(sd, downFrom), sd);
  return _mm_add_epi8(_mm_sub_epi8(s, up), down);  // the masks are -1 where they hold
}

// Four pixels in source order with their four mask bytes.
inline __m128i Mix4(__m128i s, __m128i d, std::uint32_t mask4) {
  const __m128i zero = _mm_setzero_si128();
  // The colour bytes round, the fourth byte does not.
  const __m128i round = _mm_set_epi16(0, 128, 128, 128, 0, 128, 128, 128);
  __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(std::int32_t(mask4)), zero);
  a = _mm_unpacklo_epi16(a, a);  // a0 a0 a1 a1 a2 a2 a3 a3
  const __m128i alo = _mm_unpacklo_epi32(a, a);
  const __m128i ahi = _mm_unpackhi_epi32(a, a);
  const __m128i lo =
      Mix2(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), alo, round);
  const __m128i hi =
      Mix2(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), ahi, round);
  return _mm_packus_epi16(lo, hi);
}

// One pixel with alpha a.
inline void Mix1(std::uint8_t* d, const std::uint8_t* s, std::uint32_t a) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i round = _mm_set_epi16(0, 128, 128, 128, 0, 128, 128, 128);
  const __m128i out = Mix2(_mm_unpacklo_epi8(Load32(s), zero), _mm_unpacklo_epi8(Load32(d), zero),
                           _mm_set1_epi16(std::int16_t(a)), round);
  Store32(d, _mm_packus_epi16(out, out));
}

// Four pixels whose first (in source order) goes to d; mirrored, the block of four ends at
// d and is reversed.
template <bool kMirror>
inline void Group4(std::uint8_t* d, const std::uint8_t* s, std::uint32_t mask4) {
  if (mask4 == 0) return;
  std::uint8_t* block = kMirror ? d - 12 : d;
  __m128i dv = Load128(block);
  if (kMirror) dv = Reverse32x4(dv);
  const __m128i sv = Load128(s);
  __m128i out = mask4 == 0xFFFFFFFFu ? Opaque4(sv, dv) : Mix4(sv, dv, mask4);
  if (kMirror) out = Reverse32x4(out);
  Store128(block, out);
}

// Eight pixels of alpha 255.
template <bool kMirror>
inline void Opaque8(std::uint8_t* d, const std::uint8_t* s) {
  std::uint8_t* first = kMirror ? d - 12 : d;
  std::uint8_t* second = kMirror ? d - 28 : d + 16;
  __m128i d0 = Load128(first), d1 = Load128(second);
  if (kMirror) d0 = Reverse32x4(d0), d1 = Reverse32x4(d1);
  __m128i out0 = Opaque4(Load128(s), d0), out1 = Opaque4(Load128(s + 16), d1);
  if (kMirror) out0 = Reverse32x4(out0), out1 = Reverse32x4(out1);
  Store128(first, out0);
  Store128(second, out1);
}

// n pixels: eight per step while they last (a fully transparent eight costs one test),
// then four, then one by one.
template <bool kMirror>
void Span(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::int32_t n) {
  const std::ptrdiff_t step = kMirror ? -4 : 4;
  std::int32_t k = 0;
  for (; k + 8 <= n; k += 8, d += 8 * step) {
    std::uint64_t mask8;
    std::memcpy(&mask8, m + k, 8);
    if (mask8 == 0) continue;
    if (mask8 == ~std::uint64_t(0)) {
      Opaque8<kMirror>(d, s + 4 * k);
      continue;
    }
    // x86 is little-endian: the low half holds the first four mask bytes.
    Group4<kMirror>(d, s + 4 * k, std::uint32_t(mask8));
    Group4<kMirror>(d + 4 * step, s + 4 * k + 16, std::uint32_t(mask8 >> 32));
  }
  if (k + 4 <= n) {
    std::uint32_t mask4;
    std::memcpy(&mask4, m + k, 4);
    Group4<kMirror>(d, s + 4 * k, mask4);
    k += 4;
    d += 4 * step;
  }
  for (; k < n; ++k, d += step)
    if (m[k]) Mix1(d, s + 4 * k, m[k]);
}

struct MaskMmx32Sse2Span {
  void Run(std::uint8_t* d, std::ptrdiff_t step, const std::uint8_t* s, const std::uint8_t* m,
           std::int32_t n, std::int32_t, std::int32_t) const {
    if (step > 0) {
      Span<false>(d, s, m, n);
    } else {
      Span<true>(d, s, m, n);
    }
  }
};

}  // namespace

TW_SIMD_ENTRY TW_ALPHA_RLE_BLIT(AlphaRleBlit32MmxSse2) {
  MaskMmx32Sse2Span span;
  AlphaRleRows<4>(dst, dstPitch, dx, dy, width, height, sprite, mask, sx, sy, flags, span);
}
