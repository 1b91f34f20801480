#include "sound/mix_kernel.h"

#include <cstring>

#include "pixel/cpu_features.h"
#include "sound/mix_kernel_simd.h"

namespace {

std::int32_t GainOf(std::uint32_t sample, std::int32_t gainLeft, std::int32_t gainRight) {
  return (sample & 1) ? gainRight : gainLeft;
}

std::int8_t Clamp8(std::int32_t v) { return std::int8_t(v < -128 ? -128 : v > 127 ? 127 : v); }
std::int16_t Clamp16(std::int32_t v) {
  return std::int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// The plain forms, from byte `from` on.
void Flip8From(std::uint8_t* s, std::uint32_t from, std::uint32_t bytes) {
  for (std::uint32_t i = from; i < bytes; ++i) s[i] ^= 0x80;
}

void Scale8HighFrom(std::uint8_t* s, std::uint32_t from, std::uint32_t bytes, std::int32_t gl,
                    std::int32_t gr) {
  for (std::uint32_t i = from; i < bytes; ++i) {
    const std::int32_t v = std::int8_t(s[i]);
    s[i] = std::uint8_t((v * GainOf(i, gl, gr)) >> 16);
  }
}

void Scale16From(std::uint8_t* s, std::uint32_t from, std::uint32_t bytes, std::int32_t gl,
                 std::int32_t gr) {
  for (std::uint32_t i = from; i + 2 <= bytes; i += 2) {
    std::int16_t v;
    std::memcpy(&v, s + i, 2);
    v = std::int16_t((std::int32_t(v) * GainOf(i / 2, gl, gr)) >> 16);
    std::memcpy(s + i, &v, 2);
  }
}

void Add8From(std::uint8_t* mix, const std::uint8_t* s, std::uint32_t from, std::uint32_t bytes) {
  for (std::uint32_t i = from; i < bytes; ++i)
    mix[i] = std::uint8_t(Clamp8(std::int8_t(mix[i]) + std::int8_t(s[i])));
}

void Add16From(std::uint8_t* mix, const std::uint8_t* s, std::uint32_t from, std::uint32_t bytes) {
  for (std::uint32_t i = from; i + 2 <= bytes; i += 2) {
    std::int16_t a, b;
    std::memcpy(&a, mix + i, 2);
    std::memcpy(&b, s + i, 2);
    const std::int16_t sum = Clamp16(std::int32_t(a) + b);
    std::memcpy(mix + i, &sum, 2);
  }
}

struct MixRow {
  std::uint32_t code;
  MixKernel portable;
  MixKernel mmx;
};

#define TW_MIX(name, bits, channels, flip, scale, add) {name, bits, channels, flip, scale, add}

const MixRow kMixRows[] = {
    {1, TW_MIX("Mix8", 8, 1, FlipMix8, ScaleMix8, AddMix8),
     TW_MIX("Mix8Mmx", 8, 1, FlipMix8Mmx, ScaleMix8Mmx, AddMix8Mmx)},
    {2, TW_MIX("Mix8", 8, 2, FlipMix8, ScaleMix8, AddMix8),
     TW_MIX("Mix8Mmx", 8, 2, FlipMix8Mmx, ScaleMix8Mmx, AddMix8Mmx)},
    {3, TW_MIX("Mix16", 16, 1, nullptr, ScaleMix16, AddMix16),
     TW_MIX("Mix16Mmx", 16, 1, nullptr, ScaleMix16Mmx, AddMix16Mmx)},
    {4, TW_MIX("Mix16", 16, 2, nullptr, ScaleMix16, AddMix16),
     TW_MIX("Mix16Mmx", 16, 2, nullptr, ScaleMix16Mmx, AddMix16Mmx)},
};

#undef TW_MIX

}  // namespace

MixKernel SelectMixKernel(std::uint32_t code, std::uint32_t set) {
  for (const MixRow& row : kMixRows) {
    if (row.code == code) return set == MIX_KERNELS_MMX ? row.mmx : row.portable;
  }
  return {"none", 0, 0, nullptr, nullptr, nullptr};
}

void FlipMix8(std::uint8_t* samples, std::uint32_t bytes) { Flip8From(samples, 0, bytes); }

void ScaleMix8(std::uint8_t* samples, std::uint32_t bytes, std::int32_t gainLeft,
               std::int32_t gainRight) {
  for (std::uint32_t i = 0; i < bytes; ++i) {
    const std::int32_t v = std::int8_t(samples[i]);
    const std::int32_t g = std::int32_t(std::uint32_t(GainOf(i, gainLeft, gainRight)) >> 8);
    samples[i] = std::uint8_t(std::int16_t(v * g) >> 8);
  }
}

void ScaleMix16(std::uint8_t* samples, std::uint32_t bytes, std::int32_t gainLeft,
                std::int32_t gainRight) {
  Scale16From(samples, 0, bytes, gainLeft, gainRight);
}

void AddMix8(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes) {
  Add8From(mix, samples, 0, bytes);
}

void AddMix16(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes) {
  Add16From(mix, samples, 0, bytes);
}

void FlipMix8Mmx(std::uint8_t* samples, std::uint32_t bytes) {
  Flip8From(samples, CpuHasSse2() ? FlipMix8Sse2(samples, bytes) : 0, bytes);
}

void ScaleMix8Mmx(std::uint8_t* samples, std::uint32_t bytes, std::int32_t gainLeft,
                  std::int32_t gainRight) {
  const std::uint32_t done =
      CpuHasSse2() ? ScaleMix8Sse2(samples, bytes, gainLeft, gainRight) : 0;
  Scale8HighFrom(samples, done, bytes, gainLeft, gainRight);
}

void ScaleMix16Mmx(std::uint8_t* samples, std::uint32_t bytes, std::int32_t gainLeft,
                   std::int32_t gainRight) {
  const std::uint32_t done =
      CpuHasSse2() ? ScaleMix16Sse2(samples, bytes, gainLeft, gainRight) : 0;
  Scale16From(samples, done, bytes, gainLeft, gainRight);
}

void AddMix8Mmx(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes) {
  Add8From(mix, samples, CpuHasSse2() ? AddMix8Sse2(mix, samples, bytes) : 0, bytes);
}

void AddMix16Mmx(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes) {
  Add16From(mix, samples, CpuHasSse2() ? AddMix16Sse2(mix, samples, bytes) : 0, bytes);
}
