// SSE2 forms of the "MMX" mix kernels: sixteen bytes per step, unaligned loads
// and stores. Gains are laid out per 16-bit lane, left on even lanes, right on
// odd ones, which matches both 8-bit samples widened to lanes and 16-bit ones.
#include <emmintrin.h>

#include "sound/mix_kernel_simd.h"

static inline __m128i Load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
static inline void Store(std::uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
static inline __m128i Gains(std::int32_t left, std::int32_t right) {
  return _mm_set1_epi32(std::int32_t(std::uint32_t(right) << 16 | (std::uint32_t(left) & 0xFFFF)));
}

static inline __m128i Scale8(__m128i v, __m128i gains) {
  const __m128i zero = _mm_setzero_si128();
  // Each byte in the high half of its lane is s x 256.
  __m128i lo = _mm_mulhi_epi16(_mm_unpacklo_epi8(zero, v), gains);
  __m128i hi = _mm_mulhi_epi16(_mm_unpackhi_epi8(zero, v), gains);
  return _mm_packs_epi16(_mm_srai_epi16(lo, 8), _mm_srai_epi16(hi, 8));
}

std::uint32_t AccumulateMix8Sse2(std::uint8_t* mix, const std::uint8_t* samples,
                                 std::uint32_t bytes, std::int32_t gainLeft,
                                 std::int32_t gainRight, bool scale) {
  const __m128i bit7 = _mm_set1_epi8(char(0x80));
  const __m128i gains = Gains(gainLeft, gainRight);
  std::uint32_t i = 0;
  if (scale) {
    for (; i + 16 <= bytes; i += 16) {
      const __m128i v = Scale8(_mm_xor_si128(Load(samples + i), bit7), gains);
      Store(mix + i, _mm_adds_epi8(Load(mix + i), v));
    }
  } else {
    for (; i + 16 <= bytes; i += 16)
      Store(mix + i, _mm_adds_epi8(Load(mix + i), _mm_xor_si128(Load(samples + i), bit7)));
  }
  return i;
}

std::uint32_t AccumulateMix16Sse2(std::uint8_t* mix, const std::uint8_t* samples,
                                  std::uint32_t bytes, std::int32_t gainLeft,
                                  std::int32_t gainRight, bool scale) {
  const __m128i gains = Gains(gainLeft, gainRight);
  std::uint32_t i = 0;
  if (scale) {
    for (; i + 16 <= bytes; i += 16) {
      const __m128i v = _mm_mulhi_epi16(Load(samples + i), gains);
      Store(mix + i, _mm_adds_epi16(Load(mix + i), v));
    }
  } else {
    for (; i + 16 <= bytes; i += 16)
      Store(mix + i, _mm_adds_epi16(Load(mix + i), Load(samples + i)));
  }
  return i;
}

std::uint32_t FinishMix8Sse2(std::uint8_t* mix, std::uint32_t bytes) {
  const __m128i bit7 = _mm_set1_epi8(char(0x80));
  std::uint32_t i = 0;
  for (; i + 16 <= bytes; i += 16) Store(mix + i, _mm_xor_si128(Load(mix + i), bit7));
  return i;
}
