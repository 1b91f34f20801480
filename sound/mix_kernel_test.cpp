#include "sound/mix_kernel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

// Slow references, straight from the arithmetic the kernels promise.
std::int32_t Gain(std::uint32_t sample, std::int32_t gl, std::int32_t gr) {
  return sample % 2 ? gr : gl;
}
std::int32_t Saturate(std::int32_t v, std::int32_t lo, std::int32_t hi) {
  return v < lo ? lo : v > hi ? hi : v;
}
std::int32_t FloorShift(std::int64_t v, int bits) {  // floor(v / 2^bits)
  const std::int64_t d = std::int64_t(1) << bits;
  return std::int32_t(v >= 0 ? v / d : -((-v + d - 1) / d));
}

void Reference8(bool mmx, std::vector<std::uint8_t>& mix, const std::vector<std::uint8_t>& in,
                std::int32_t gl, std::int32_t gr, bool scale) {
  for (std::uint32_t i = 0; i < in.size(); ++i) {
    std::int32_t s = std::int32_t(in[i]) - 128;  // unsigned sample to signed
    if (scale) {
      const std::int32_t g = Gain(i, gl, gr);
      s = mmx ? FloorShift(FloorShift(std::int64_t(s) * 256 * g, 16), 8)
              : FloorShift(std::int64_t(s) * (g >> 8), 8);
    }
    mix[i] = std::uint8_t(Saturate(std::int8_t(mix[i]) + s, -128, 127));
  }
}

void Reference16(std::vector<std::uint8_t>& mix, const std::vector<std::uint8_t>& in,
                 std::int32_t gl, std::int32_t gr, bool scale) {
  for (std::uint32_t i = 0; i + 1 < in.size(); i += 2) {
    std::int32_t s = std::int16_t(in[i] | in[i + 1] << 8);
    if (scale) s = FloorShift(std::int64_t(s) * Gain(i / 2, gl, gr), 16);
    const std::int32_t m = std::int16_t(mix[i] | mix[i + 1] << 8);
    const std::int32_t r = Saturate(m + s, -32768, 32767);
    mix[i] = std::uint8_t(r);
    mix[i + 1] = std::uint8_t(r >> 8);
  }
}

// Every code, both sets, lengths around the 16-byte steps, gains from the
// extremes to random ones, scaled and at full level; guard bytes after the mix
// must stay.
TEST(MixKernelTest, EveryKernelMatchesTheReference) {
  std::mt19937 rng(7);
  const std::int32_t gainPairs[][2] = {{0, 0}, {31, 31}, {255, 256}, {32744, 32767},
                                       {32767, 12000}, {16383, 1}};
  for (std::uint32_t code = 1; code <= 4; ++code) {
    for (std::uint32_t set : {MIX_KERNELS_PORTABLE, MIX_KERNELS_MMX}) {
      const MixKernel k = SelectMixKernel(code, set);
      ASSERT_TRUE(k.Valid());
      SCOPED_TRACE(std::string(k.name) + " code " + std::to_string(code));
      for (std::uint32_t bytes : {0u, 2u, 8u, 14u, 16u, 18u, 40u, 992u, 1000u}) {
        for (int g = 0; g < 8; ++g) {
          const std::int32_t gl = g < 6 ? gainPairs[g][0] : std::int32_t(rng() % 32768);
          const std::int32_t gr = g < 6 ? gainPairs[g][1] : std::int32_t(rng() % 32768);
          std::vector<std::uint8_t> in(bytes), mix(bytes);
          for (auto& b : in) b = std::uint8_t(rng() % 3 == 0 ? (rng() % 2 ? 0 : 255) : rng());
          for (auto& b : mix) b = std::uint8_t(rng());
          for (bool scale : {true, false}) {
            std::vector<std::uint8_t> want = mix;
            if (k.bits == 8) Reference8(set == MIX_KERNELS_MMX, want, in, gl, gr, scale);
            else Reference16(want, in, gl, gr, scale);
            if (k.finish) {
              for (auto& b : want) b ^= 0x80;
            }
            const std::vector<std::uint8_t> scratch = in;
            std::vector<std::uint8_t> got = mix;
            got.insert(got.end(), 16, 0x5A);
            k.accumulate(got.data(), scratch.data(), bytes, gl, gr, scale);
            if (k.finish) k.finish(got.data(), bytes);
            for (std::uint32_t i = 0; i < 16; ++i) ASSERT_EQ(got[bytes + i], 0x5A);
            got.resize(bytes);
            ASSERT_EQ(got, want) << "bytes " << bytes << " gains " << gl << "/" << gr
                                 << " scale " << scale;
          }
        }
      }
    }
  }
}

TEST(MixKernelTest, TableRowsAndTheFormatWithoutAKernel) {
  EXPECT_STREQ(SelectMixKernel(1, MIX_KERNELS_PORTABLE).name, "Mix8");
  EXPECT_STREQ(SelectMixKernel(2, MIX_KERNELS_MMX).name, "Mix8Mmx");
  EXPECT_STREQ(SelectMixKernel(3, MIX_KERNELS_PORTABLE).name, "Mix16");
  EXPECT_EQ(SelectMixKernel(4, MIX_KERNELS_MMX).channels, 2u);
  EXPECT_EQ(SelectMixKernel(3, MIX_KERNELS_MMX).finish, nullptr);
  EXPECT_FALSE(SelectMixKernel(0, MIX_KERNELS_MMX).Valid());
  EXPECT_FALSE(SelectMixKernel(5, MIX_KERNELS_PORTABLE).Valid());
}

// The two 8-bit sets differ where the portable one drops the gain's low byte.
TEST(MixKernelTest, EightBitSetsScaleDifferently) {
  auto scaled = [](MixAccumulateFn accumulate, std::int32_t s, std::int32_t gain) {
    std::uint8_t mix = 0;
    const std::uint8_t sample = std::uint8_t(s + 128);
    accumulate(&mix, &sample, 1, gain, gain, true);
    return std::int8_t(mix);
  };
  EXPECT_EQ(scaled(AccumulateMix8, -125, 16383), -31);     // (-125 x 63) >> 8
  EXPECT_EQ(scaled(AccumulateMix8Mmx, -125, 16383), -32);  // (-125 x 16383) >> 16
  EXPECT_EQ(scaled(AccumulateMix8, 100, 255), 0);          // 255 >> 8 = 0: silence
  EXPECT_EQ(scaled(AccumulateMix8Mmx, 100, 1000), 1);      // (100 x 1000) >> 16
}

}  // namespace
