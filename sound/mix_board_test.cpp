#include "sound/mix_board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "sound/mix_test_voice.h"

namespace {

std::vector<std::uint8_t> Mix(const MixKernel& k, std::uint32_t bytes, MixBoard& board) {
  std::vector<std::uint8_t> out(bytes + 8, 0xEE);
  EXPECT_EQ(board.Mix(k, out.data(), bytes), bytes & ~7u);
  return out;
}

const MixKernel k8 = SelectMixKernel(1, MIX_KERNELS_PORTABLE);
const MixKernel k16 = SelectMixKernel(3, MIX_KERNELS_MMX);

TEST(MixBoardTest, GainsFollowVolumeAndPan) {
  EXPECT_TRUE(ComputeMixGains(0, 0, 1).full);
  MixGains g = ComputeMixGains(-1, 0, 1);
  EXPECT_FALSE(g.full);
  EXPECT_EQ(g.left, 32744);
  EXPECT_EQ(ComputeMixGains(-1000, 0, 1).left, 16383);
  EXPECT_EQ(ComputeMixGains(-10000, 0, 1).left, 31);
  EXPECT_EQ(ComputeMixGains(-20000, 0, 1).left, 31);  // clamped
  EXPECT_EQ(ComputeMixGains(5, 0, 1).left, 32767);
  g = ComputeMixGains(0, 1000, 2);  // pan right: the left channel is lowered
  EXPECT_EQ(g.left, 16383);
  EXPECT_EQ(g.right, 32767);
  g = ComputeMixGains(0, -2000, 2);
  EXPECT_EQ(g.left, 32767);
  EXPECT_EQ(g.right, 8191);
  EXPECT_TRUE(ComputeMixGains(0, 3000, 1).full);  // mono ignores pan
}

TEST(MixBoardTest, AVoicesGainsFollowItsLevelsAndTheChannels) {
  MixBoard board(2);
  MixTestVoice v(&board, {0x80}, true);
  EXPECT_TRUE(board.VoiceGains(&v).full);
  board.SetVoicePan(&v, 20000);
  EXPECT_EQ(board.VoicePan(&v), 10000);
  EXPECT_EQ(board.VoiceGains(&v).left, 31);
  board.SetChannels(1);
  EXPECT_TRUE(board.VoiceGains(&v).full);
  board.SetVoiceVolume(&v, -1000);
  board.SetVoicePan(&v, 0);
  EXPECT_EQ(board.VoiceGains(&v).left, 16383);
  board.SetVoiceVolume(&v, 1);
  EXPECT_EQ(board.VoiceVolume(&v), 0);
  EXPECT_TRUE(board.VoiceGains(&v).full);
  board.SetVoiceLevels(&v, -20000, -20000);
  EXPECT_EQ(board.VoiceVolume(&v), -10000);
  EXPECT_EQ(board.VoicePan(&v), -10000);
}

TEST(MixBoardTest, NoVoicesGiveSilenceInWholeStepsOfEight) {
  MixBoard board(1);
  auto out = Mix(k8, 997, board);
  for (int i = 0; i < 992; ++i) ASSERT_EQ(out[i], 0x80);
  EXPECT_EQ(out[992], 0xEE);
  out = Mix(k16, 16, board);
  for (int i = 0; i < 16; ++i) ASSERT_EQ(out[i], 0);
  std::uint8_t none[8];
  EXPECT_EQ(board.Mix(k8, none, 7), 0u);
  EXPECT_EQ(board.Fill(k8, none, 8, 992), 8u);
}

TEST(MixBoardTest, ALoopingVoiceWrapsInsideOneBuffer) {
  MixBoard board(1);
  MixTestVoice v(&board, {0x90, 0xA0, 0xB0}, true);
  auto out = Mix(k8, 16, board);
  const std::uint8_t cycle[3] = {0x90, 0xA0, 0xB0};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], cycle[i % 3]) << i;
  EXPECT_TRUE(v.Playing());
  out = Mix(k8, 8, board);  // goes on where the last buffer stopped: 16 = 5 x 3 + 1
  EXPECT_EQ(out[0], 0xA0);
}

TEST(MixBoardTest, AVoiceEndingMidBufferLeavesMinusOneAndStops) {
  MixBoard board(1);
  MixTestVoice v(&board, std::vector<std::uint8_t>(5, 0xC0), false);
  auto out = Mix(k8, 16, board);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], 0xC0);
  for (int i = 5; i < 16; ++i) EXPECT_EQ(out[i], 0x7F) << i;  // the 0x7F fill
  EXPECT_FALSE(v.Playing());
  EXPECT_EQ(board.PlayingCount(), 0u);

  MixBoard board16(1);
  MixTestVoice w(&board16, {0x10, 0x00, 0x20, 0x00}, false);
  auto out16 = Mix(k16, 8, board16);
  EXPECT_EQ(out16, (std::vector<std::uint8_t>{0x10, 0, 0x20, 0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE,
                                              0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_FALSE(w.Playing());
}

TEST(MixBoardTest, AnEmptyLoopingVoiceStopsAndIsSilent) {
  MixBoard board(1);
  MixTestVoice v(&board, {}, true);
  auto out = Mix(k8, 8, board);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], 0x80);
  EXPECT_FALSE(v.Playing());
}

TEST(MixBoardTest, FullScaleVoicesClipAndLevelsScale) {
  for (std::uint32_t set : {MIX_KERNELS_PORTABLE, MIX_KERNELS_MMX}) {
    const MixKernel k = SelectMixKernel(1, set);
    MixBoard board(1);
    MixTestVoice a(&board, {0xF0, 0x10}, true), b(&board, {0xF0, 0x10}, true);
    auto out = Mix(k, 8, board);
    EXPECT_EQ(out[0], 0xFF);  // 112 + 112 clips at 127
    EXPECT_EQ(out[1], 0x00);  // -112 - 112 clips at -128
    board.SetVoiceVolume(&a, -1), board.SetVoiceVolume(&b, -1);  // about half each
    out = Mix(k, 8, board);
    EXPECT_EQ(out[0], 0x80 + 55 + 55);
    EXPECT_EQ(out[1], 0x80 - 56 - 56);
    board.SetVoiceVolume(&a, -10000), board.SetVoiceVolume(&b, -10000);  // G = 31: silent in 8 bits
    out = Mix(k, 8, board);
    EXPECT_EQ(out[0], 0x80);
    EXPECT_EQ(out[1], set == MIX_KERNELS_MMX ? 0x80 - 2 : 0x80);  // floor of tiny negatives
  }
  MixBoard board16(1);
  MixTestVoice c(&board16, {0x00, 0x70, 0x00, 0x90}, true), d(&board16, {0x00, 0x70, 0x00, 0x90}, true);
  auto out = Mix(k16, 8, board16);
  EXPECT_EQ(out[1], 0x7F);  // 0x7000 + 0x7000 clips at 0x7FFF
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[3], 0x80);  // clips at -0x8000
  EXPECT_EQ(out[2], 0x00);
  board16.SetVoiceVolume(&c, -10000), board16.SetVoiceVolume(&d, -10000);  // 16 bits keep about 1/2114
  out = Mix(k16, 8, board16);
  EXPECT_EQ(std::int16_t(out[0] | out[1] << 8), 2 * ((0x7000 * 31) >> 16));
}

TEST(MixBoardTest, FillingACapacityTakesWholeKernelCalls) {
  MixBoard board(1);
  MixTestVoice v(&board, std::vector<std::uint8_t>(3000, 0x81), true);
  std::vector<std::uint8_t> out(2000, 0);
  EXPECT_EQ(board.Fill(k8, out.data(), 1999, 992), 1992u);
  EXPECT_EQ(out[1991], 0x81);
  EXPECT_EQ(out[1992], 0);
}

std::int32_t Sample16(const std::vector<std::uint8_t>& out, std::size_t i) {
  return std::int16_t(out[2 * i] | out[2 * i + 1] << 8);
}

// A fade out moves in a straight line, frame by frame and across buffers, to
// silence, and stops the voice in the buffer where it ends.
TEST(MixBoardFadeTest, AFadeOutFallsInAStraightLineToSilenceAndStops) {
  MixBoard board(1);
  MixTestVoice v(&board, std::vector<std::uint8_t>(64, 0xC0), true);  // +64 each
  board.SetVoiceFade(&v, MakeMixFade(kFadeUnity, 0, 100, true));
  std::vector<std::uint8_t> played;
  for (int i = 0; i < 4; ++i) {
    const auto out = Mix(k8, 64, board);
    played.insert(played.end(), out.begin(), out.begin() + 64);
  }
  EXPECT_EQ(played[0], 0xC0);  // the first frame at the level's own amplitude
  for (std::size_t i = 1; i < 100; ++i) {
    ASSERT_LE(played[i], played[i - 1]) << i;
    ASSERT_LE(played[i - 1] - played[i], 1) << i;  // no step beyond the fade's own
    // 64 x (1 - i/100), floored, within the fixed point's rounding.
    ASSERT_NEAR(played[i] - 0x80, 64.0 * (100 - double(i)) / 100, 1.0) << i;
  }
  for (std::size_t i = 100; i < 128; ++i) ASSERT_EQ(played[i], 0x80) << i;
  EXPECT_FALSE(v.Playing());  // stopped in the buffer where the fade ended
  for (std::size_t i = 128; i < played.size(); ++i) ASSERT_EQ(played[i], 0x80) << i;
}

// Two voices crossfading over the same frames keep the sum of their
// amplitudes: no dip and no jump at either end, in 8 and 16 bits.
TEST(MixBoardFadeTest, ACrossfadeKeepsTheSumWithoutAStepAtEitherEnd) {
  MixBoard board(1);
  MixTestVoice out(&board, std::vector<std::uint8_t>(64, 0xC0), true);
  board.SetVoiceFade(&out, MakeMixFade(kFadeUnity, 0, 300, true));
  MixTestVoice in(&board, std::vector<std::uint8_t>(64, 0xC0), true);
  board.SetVoiceFade(&in, MakeMixFade(0, kFadeUnity, 300, false));
  for (int buffer = 0; buffer < 8; ++buffer) {
    const auto mixed = Mix(k8, 64, board);
    for (int i = 0; i < 64; ++i) ASSERT_NEAR(mixed[i], 0xC0, 1) << buffer << " " << i;
  }
  EXPECT_FALSE(out.Playing());
  EXPECT_TRUE(in.Playing());
  EXPECT_EQ(board.VoiceFadeAmplitude(&in), kFadeUnity);

  MixBoard board16(2);
  std::vector<std::uint8_t> frames;
  for (int i = 0; i < 32; ++i) frames.insert(frames.end(), {0x00, 0x40, 0x00, 0xC0});
  MixTestVoice a(&board16, frames, true), b(&board16, frames, true);
  board16.SetVoiceFade(&a, MakeMixFade(kFadeUnity, 0, 200, true));
  board16.SetVoiceFade(&b, MakeMixFade(0, kFadeUnity, 200, false));
  const MixKernel k = SelectMixKernel(4, MIX_KERNELS_MMX);
  for (int buffer = 0; buffer < 6; ++buffer) {
    const auto mixed = Mix(k, 256, board16);
    for (std::size_t f = 0; f < 64; ++f) {
      ASSERT_NEAR(Sample16(mixed, 2 * f), 0x4000, 2) << buffer << " " << f;
      ASSERT_NEAR(Sample16(mixed, 2 * f + 1), -0x4000, 2) << buffer << " " << f;
    }
  }
  EXPECT_FALSE(a.Playing());
}

// A fade in from silence that has ended mixes exactly as no fade at all, and
// a fade held at 0 without stopping keeps the voice playing silently.
TEST(MixBoardFadeTest, AFinishedFadeInIsExactAndAHeldFadeIsSilent) {
  MixBoard board(1);
  MixTestVoice v(&board, {0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0, 0xFF}, true);
  board.SetVoiceFade(&v, MakeMixFade(0, kFadeUnity, 8, false));
  auto out = Mix(k8, 8, board);
  EXPECT_EQ(out[0], 0x80);  // starts from silence
  out = Mix(k8, 8, board);
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + 8),
            (std::vector<std::uint8_t>{0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0, 0xFF}));
  board.SetVoiceFade(&v, MakeMixFade(kFadeUnity, 0, 0, false));
  out = Mix(k8, 8, board);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], 0x80);
  EXPECT_TRUE(v.Playing());
  // A fade from the amplitude now: from the held 0 back up.
  board.FadeVoiceTo(&v, kFadeUnity, 16, false);
  out = Mix(k8, 8, board);
  EXPECT_EQ(out[0], 0x80);
  EXPECT_GT(out[7], 0x80);
  // Amplitudes outside 0 ... 1.0 are clamped.
  EXPECT_EQ(MakeMixFade(-5, 2 * kFadeUnity, 0, false).amplitude, kFadeUnity);
}

// The output thread mixes while the caller's thread changes a voice's levels
// as fast as it can: every buffer must be mixed, all through, with the gains
// of one whole setting. Consecutive settings differ in both gains and in
// whether they scale at all, so a buffer mixed from half of one setting and
// half of the next (or with a stale "full" flag) shows as a pair of samples
// no setting gives.
TEST(MixBoardStressTest, EveryBufferIsMixedWithTheGainsOfOneWholeSetting) {
  constexpr std::int16_t kSample = 0x4000;
  MixBoard board(2);
  std::vector<std::uint8_t> frames;
  for (int i = 0; i < 2 * 64; ++i) frames.insert(frames.end(), {0x00, 0x40});
  MixTestVoice voice(&board, frames, true);
  const MixKernel kernel = SelectMixKernel(4, MIX_KERNELS_PORTABLE);
  const std::pair<std::int32_t, std::int32_t> settings[] = {
      {0, 0}, {-1000, 3000}, {0, 0}, {-3000, -2000}, {-200, 0}, {0, 0}, {-500, 7000}};
  std::vector<std::pair<std::int32_t, std::int32_t>> allowed;
  for (const auto& [volume, pan] : settings) {
    const MixGains g = ComputeMixGains(volume, pan, 2);
    allowed.emplace_back(g.full ? kSample : (kSample * g.left) >> 16,
                         g.full ? kSample : (kSample * g.right) >> 16);
  }

  std::atomic<bool> stop{false};
  std::thread setter([&] {
    for (std::size_t i = 0; !stop.load(std::memory_order_relaxed); ++i)
      board.SetVoiceLevels(&voice, settings[i % std::size(settings)].first,
                           settings[i % std::size(settings)].second);
  });
  int buffers = 0, wrong = 0;
  std::vector<std::uint8_t> out(64);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < end) {
    ASSERT_EQ(board.Mix(kernel, out.data(), std::uint32_t(out.size())), out.size());
    const auto sample = [&](std::size_t i) {
      return std::int32_t(std::int16_t(out[2 * i] | out[2 * i + 1] << 8));
    };
    const std::pair<std::int32_t, std::int32_t> first(sample(0), sample(1));
    bool ok = std::find(allowed.begin(), allowed.end(), first) != allowed.end();
    for (std::size_t f = 1; f < out.size() / 4 && ok; ++f)
      ok = sample(2 * f) == first.first && sample(2 * f + 1) == first.second;
    wrong += !ok;
    ++buffers;
  }
  stop = true;
  setter.join();
  EXPECT_EQ(wrong, 0) << "of " << buffers << " buffers";
  EXPECT_GT(buffers, 1000);
}

}  // namespace
