#include "sound/voice_mix.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gfx/wrapped_memory_block.h"
#include "sound/memory_stream.h"
#include "sound/mix_input.h"

namespace {

// A voice over bytes already in the output format, in its own playing list.
class TestVoice : public MixInput {
 public:
  TestVoice(List* playing, std::vector<std::uint8_t> bytes, bool loop)
      : bytes_(std::move(bytes)),
        stream_(new WrappedMemoryBlock(bytes_.data(), std::uint32_t(bytes_.size()), false, true),
                true),
        loop_(loop),
        scratch_(4096),
        playing_(playing) {
    node_ = playing->PushBack(static_cast<MixInput*>(this));
  }
  SampleStream* Stream() override { return &stream_; }
  bool Loops() const override { return loop_; }
  std::uint8_t* Scratch() override { return scratch_.data(); }
  void StopWhileMixing() override {
    if (node_) playing_->Remove(node_);
    node_ = nullptr;
  }
  bool Playing() const { return node_ != nullptr; }

 private:
  std::vector<std::uint8_t> bytes_;
  MemoryStream stream_;
  bool loop_;
  std::vector<std::uint8_t> scratch_;
  List* playing_;
  ListNode* node_;
};

std::vector<std::uint8_t> Mix(const MixKernel& k, std::uint32_t bytes, const List& playing) {
  std::vector<std::uint8_t> out(bytes + 8, 0xEE);
  EXPECT_EQ(MixVoices(k, out.data(), bytes, playing), bytes & ~7u);
  return out;
}

const MixKernel k8 = SelectMixKernel(1, MIX_KERNELS_PORTABLE);
const MixKernel k16 = SelectMixKernel(3, MIX_KERNELS_MMX);

TEST(VoiceMixTest, GainsFollowVolumeAndPan) {
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

TEST(VoiceMixTest, AVoiceKeepsItsGainsUntilALevelOrTheChannelsChange) {
  List playing;
  TestVoice v(&playing, {0x80}, true);
  EXPECT_TRUE(v.Gains(2).full);
  v.SetPan(20000);
  EXPECT_EQ(v.Pan(), 10000);
  EXPECT_EQ(v.Gains(2).left, 31);
  EXPECT_TRUE(v.Gains(1).full);
  v.SetVolume(-1000);
  v.SetPan(0);
  EXPECT_EQ(v.Gains(1).left, 16383);
  v.SetVolume(1);
  EXPECT_EQ(v.Volume(), 0);
  EXPECT_TRUE(v.Gains(1).full);
}

TEST(VoiceMixTest, NoVoicesGiveSilenceInWholeStepsOfEight) {
  List playing;
  auto out = Mix(k8, 997, playing);
  for (int i = 0; i < 992; ++i) ASSERT_EQ(out[i], 0x80);
  EXPECT_EQ(out[992], 0xEE);
  out = Mix(k16, 16, playing);
  for (int i = 0; i < 16; ++i) ASSERT_EQ(out[i], 0);
  std::uint8_t none[8];
  EXPECT_EQ(MixVoices(k8, none, 7, playing), 0u);
  EXPECT_EQ(FillMixBuffer(k8, none, 8, 992, playing), 8u);
}

TEST(VoiceMixTest, ALoopingVoiceWrapsInsideOneBuffer) {
  List playing;
  TestVoice v(&playing, {0x90, 0xA0, 0xB0}, true);
  auto out = Mix(k8, 16, playing);
  const std::uint8_t cycle[3] = {0x90, 0xA0, 0xB0};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], cycle[i % 3]) << i;
  EXPECT_TRUE(v.Playing());
  out = Mix(k8, 8, playing);  // goes on where the last buffer stopped: 16 = 5 x 3 + 1
  EXPECT_EQ(out[0], 0xA0);
}

TEST(VoiceMixTest, AVoiceEndingMidBufferLeavesMinusOneAndStops) {
  List playing;
  TestVoice v(&playing, std::vector<std::uint8_t>(5, 0xC0), false);
  auto out = Mix(k8, 16, playing);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], 0xC0);
  for (int i = 5; i < 16; ++i) EXPECT_EQ(out[i], 0x7F) << i;  // the 0x7F fill
  EXPECT_FALSE(v.Playing());
  EXPECT_EQ(playing.Count(), 0u);

  List playing16;
  TestVoice w(&playing16, {0x10, 0x00, 0x20, 0x00}, false);
  auto out16 = Mix(k16, 8, playing16);
  EXPECT_EQ(out16, (std::vector<std::uint8_t>{0x10, 0, 0x20, 0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE,
                                              0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_FALSE(w.Playing());
}

TEST(VoiceMixTest, AnEmptyLoopingVoiceStopsAndIsSilent) {
  List playing;
  TestVoice v(&playing, {}, true);
  auto out = Mix(k8, 8, playing);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], 0x80);
  EXPECT_FALSE(v.Playing());
}

TEST(VoiceMixTest, FullScaleVoicesClipAndLevelsScale) {
  for (std::uint32_t set : {MIX_KERNELS_PORTABLE, MIX_KERNELS_MMX}) {
    const MixKernel k = SelectMixKernel(1, set);
    List playing;
    TestVoice a(&playing, {0xF0, 0x10}, true), b(&playing, {0xF0, 0x10}, true);
    auto out = Mix(k, 8, playing);
    EXPECT_EQ(out[0], 0xFF);  // 112 + 112 clips at 127
    EXPECT_EQ(out[1], 0x00);  // -112 - 112 clips at -128
    a.SetVolume(-1), b.SetVolume(-1);  // about half each
    out = Mix(k, 8, playing);
    EXPECT_EQ(out[0], 0x80 + 55 + 55);
    EXPECT_EQ(out[1], 0x80 - 56 - 56);
    a.SetVolume(-10000), b.SetVolume(-10000);  // G = 31: silent in 8 bits
    out = Mix(k, 8, playing);
    EXPECT_EQ(out[0], 0x80);
    EXPECT_EQ(out[1], set == MIX_KERNELS_MMX ? 0x80 - 2 : 0x80);  // floor of tiny negatives
  }
  List playing16;
  TestVoice c(&playing16, {0x00, 0x70, 0x00, 0x90}, true), d(&playing16, {0x00, 0x70, 0x00, 0x90}, true);
  auto out = Mix(k16, 8, playing16);
  EXPECT_EQ(out[1], 0x7F);  // 0x7000 + 0x7000 clips at 0x7FFF
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[3], 0x80);  // clips at -0x8000
  EXPECT_EQ(out[2], 0x00);
  c.SetVolume(-10000), d.SetVolume(-10000);  // 16 bits keep about 1/2114
  out = Mix(k16, 8, playing16);
  EXPECT_EQ(std::int16_t(out[0] | out[1] << 8), 2 * ((0x7000 * 31) >> 16));
}

TEST(VoiceMixTest, FillingACapacityTakesWholeKernelCalls) {
  List playing;
  TestVoice v(&playing, std::vector<std::uint8_t>(3000, 0x81), true);
  std::vector<std::uint8_t> out(2000, 0);
  EXPECT_EQ(FillMixBuffer(k8, out.data(), 1999, 992, playing), 1992u);
  EXPECT_EQ(out[1991], 0x81);
  EXPECT_EQ(out[1992], 0);
}

}  // namespace
