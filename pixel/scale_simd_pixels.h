// The SSE2 pixel pieces shared by the SSE2 and SSSE3 scaling kernels (scale_sse2.cpp,
// scale_ssse3.cpp): unaligned loads and stores, 16-bit rows widened to 8888 words and
// 8888 words narrowed back. G is the green width of a 16-bit layout (5: 555, 6: 565),
// 0 for 32-bit pixels. Include only from files compiled for SSE2.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "pixel/scale_pixels.h"

inline __m128i Load128(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store128(std::uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

template <int G>
constexpr int PixelBytes() {
  return G == 0 ? 4 : 2;
}

// The three channels of eight 16-bit pixels, widened to 8 bits in 16-bit lanes.
template <int G>
inline void Widen16(__m128i p, __m128i& b, __m128i& g, __m128i& r) {
  const __m128i low5 = _mm_set1_epi16(31);
  b = _mm_and_si128(p, low5);
  b = _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2));
  g = _mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16((1 << G) - 1));
  g = G == 6 ? _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4))
             : _mm_or_si128(_mm_slli_epi16(g, 3), _mm_srli_epi16(g, 2));
  r = _mm_and_si128(_mm_srli_epi16(p, 5 + G), low5);
  r = _mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2));
}

// A 16-bit source row's columns [0, count) as 8888 words, and one more word (0) after them.
template <int G>
void WidenRow16(std::uint32_t* words, const std::uint8_t* row, std::int32_t count) {
  auto* out = reinterpret_cast<std::uint8_t*>(words);
  std::int32_t x = 0;
  for (; x + 8 <= count; x += 8) {
    __m128i b, g, r;
    Widen16<G>(Load128(row + x * 2), b, g, r);
    const __m128i bg = _mm_or_si128(b, _mm_slli_epi16(g, 8));  // bytes b, g
    Store128(out + x * 4, _mm_unpacklo_epi16(bg, r));
    Store128(out + x * 4 + 16, _mm_unpackhi_epi16(bg, r));
  }
  for (; x < count; ++x) words[x] = Pixel16<G>::Load(row, x);
  words[count] = 0;
}

// Four 8888 words narrowed to 16-bit pixels (in the low 8 bytes).
template <int G>
inline __m128i Narrow4(__m128i v) {
  const __m128i b = _mm_and_si128(_mm_srli_epi32(v, 3), _mm_set1_epi32(0x1F));
  const __m128i g = _mm_and_si128(_mm_srli_epi32(v, 11 - G), _mm_set1_epi32(((1 << G) - 1) << 5));
  const __m128i r = _mm_and_si128(_mm_srli_epi32(v, 14 - G), _mm_set1_epi32(0x1F << (5 + G)));
  // Signed saturation keeps 0..32767 only: shift the range down and back.
  const __m128i p = _mm_sub_epi32(_mm_or_si128(_mm_or_si128(b, g), r), _mm_set1_epi32(0x8000));
  return _mm_xor_si128(_mm_packs_epi32(p, p), _mm_set1_epi16(static_cast<short>(0x8000)));
}

// Four 8888 words stored as four destination pixels.
template <int G>
inline void StorePixels4(std::uint8_t* out, __m128i four) {
  if (G == 0) {
    Store128(out, four);
    return;
  }
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), Narrow4<G == 0 ? 5 : G>(four));
}
