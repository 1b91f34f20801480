#include "sound/mix_kernel.h"

#include <cstring>

#include "pixel/cpu_features.h"
#include "sound/mix_kernel_simd.h"

namespace {

std::int32_t GainOf(std::uint32_t sample, std::int32_t gainLeft, std::int32_t gainRight) {
  return (sample & 1) ? gainRight : gainLeft;
}

std::uint8_t Saturate8(std::int32_t v) { return std::uint8_t(v < -128 ? -128 : v > 127 ? 127 : v); }
std::int16_t Saturate16(std::int32_t v) {
  return std::int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// The plain forms, from byte `from` on. kHighGain: the "MMX" 8-bit scaling.
template <bool kHighGain>
void Accumulate8From(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t from,
                     std::uint32_t bytes, std::int32_t gl, std::int32_t gr, bool scale) {
  for (std::uint32_t i = from; i < bytes; ++i) {
    std::int32_t s = std::int8_t(samples[i] ^ 0x80);
    if (scale && kHighGain) s = (s * GainOf(i, gl, gr)) >> 16;
    if (scale && !kHighGain) s = std::int16_t(s * (GainOf(i, gl, gr) >> 8)) >> 8;
    mix[i] = Saturate8(std::int8_t(mix[i]) + s);
  }
}

void Accumulate16From(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t from,
                      std::uint32_t bytes, std::int32_t gl, std::int32_t gr, bool scale) {
  for (std::uint32_t i = from; i + 2 <= bytes; i += 2) {
    std::int16_t s, m;
    std::memcpy(&s, samples + i, 2);
    std::memcpy(&m, mix + i, 2);
    std::int32_t v = s;
    if (scale) v = (v * GainOf(i / 2, gl, gr)) >> 16;
    const std::int16_t sum = Saturate16(m + v);
    std::memcpy(mix + i, &sum, 2);
  }
}

void Finish8From(std::uint8_t* mix, std::uint32_t from, std::uint32_t bytes) {
  for (std::uint32_t i = from; i < bytes; ++i) mix[i] ^= 0x80;
}

struct MixRow {
  std::uint32_t code;
  MixKernel portable;
  MixKernel mmx;
};

const MixRow kMixRows[] = {
    {1, {"Mix8", 8, 1, AccumulateMix8, FinishMix8},
     {"Mix8Mmx", 8, 1, AccumulateMix8Mmx, FinishMix8Mmx}},
    {2, {"Mix8", 8, 2, AccumulateMix8, FinishMix8},
     {"Mix8Mmx", 8, 2, AccumulateMix8Mmx, FinishMix8Mmx}},
    {3, {"Mix16", 16, 1, AccumulateMix16, nullptr},
     {"Mix16Mmx", 16, 1, AccumulateMix16Mmx, nullptr}},
    {4, {"Mix16", 16, 2, AccumulateMix16, nullptr},
     {"Mix16Mmx", 16, 2, AccumulateMix16Mmx, nullptr}},
};

}  // namespace

MixKernel SelectMixKernel(std::uint32_t code, std::uint32_t set) {
  for (const MixRow& row : kMixRows) {
    if (row.code == code) return set == MIX_KERNELS_MMX ? row.mmx : row.portable;
  }
  return {"none", 0, 0, nullptr, nullptr};
}

void AccumulateMix8(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                    std::int32_t gainLeft, std::int32_t gainRight, bool scale) {
  Accumulate8From<false>(mix, samples, 0, bytes, gainLeft, gainRight, scale);
}

void AccumulateMix16(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                     std::int32_t gainLeft, std::int32_t gainRight, bool scale) {
  Accumulate16From(mix, samples, 0, bytes, gainLeft, gainRight, scale);
}

void FinishMix8(std::uint8_t* mix, std::uint32_t bytes) { Finish8From(mix, 0, bytes); }

void AccumulateMix8Mmx(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                       std::int32_t gainLeft, std::int32_t gainRight, bool scale) {
  const std::uint32_t done =
      CpuHasSse2() ? AccumulateMix8Sse2(mix, samples, bytes, gainLeft, gainRight, scale) : 0;
  Accumulate8From<true>(mix, samples, done, bytes, gainLeft, gainRight, scale);
}

void AccumulateMix16Mmx(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                        std::int32_t gainLeft, std::int32_t gainRight, bool scale) {
  const std::uint32_t done =
      CpuHasSse2() ? AccumulateMix16Sse2(mix, samples, bytes, gainLeft, gainRight, scale) : 0;
  Accumulate16From(mix, samples, done, bytes, gainLeft, gainRight, scale);
}

void FinishMix8Mmx(std::uint8_t* mix, std::uint32_t bytes) {
  Finish8From(mix, CpuHasSse2() ? FinishMix8Sse2(mix, bytes) : 0, bytes);
}
