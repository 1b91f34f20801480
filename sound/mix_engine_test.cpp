#include "sound/mix_engine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sound/mix_voice.h"
#include "sound/sound.h"
#include "sound/sound_test_support.h"
#include "sound/wave_format.h"

namespace {

// Runs the output for about ms milliseconds (the recording runs faster).
void Play(DWORD ms) { Sleep(ms); }

TEST(MixEngineTest, StartsOnceRefusesChangesWhileActiveAndKeepsPlayingSilence) {
  ASSERT_GT(waveOutGetNumDevs(), 0u) << "no wave device: run through sound-exec.sh";
  const WAVEFORMATEX f = Pcm(22050, 8, 1);
  MixEngine engine(&f, GetModuleHandleA(nullptr), nullptr, MIX_KERNELS_MMX);
  EXPECT_EQ(engine.FortyFiveMsBytes(), 992u);
  EXPECT_EQ(engine.SetActive(false), 0);  // inactive already: nothing
  ASSERT_EQ(engine.SetActive(true), 0);
  EXPECT_TRUE(engine.IsActive());
  EXPECT_EQ(engine.BufferBytes(), 992u);
  char name[32] = {};
  ASSERT_NE(engine.MixWindow(), nullptr);
  GetClassNameA(engine.MixWindow(), name, sizeof name);
  EXPECT_STREQ(name, "WAVEMIXWND");
  EXPECT_EQ(engine.SetActive(true), 0);
  const WAVEFORMATEX other = Pcm(44100, 16, 2);
  EXPECT_EQ(engine.SetFormat(&other), 3);
  EXPECT_EQ(engine.SetDevice(0), 1);
  Play(400);
  EXPECT_EQ(engine.SetActive(false), 0);
  EXPECT_FALSE(engine.IsActive());
  const auto played = ReadCapture(22050, 1, 8);
  // Five primed buffers of 0x7F, then silence refilled: far more than five buffers.
  ASSERT_GT(played.size(), 10u * 992);
  EXPECT_EQ(std::count(played.begin(), played.begin() + 5 * 992, 0x7F), 5 * 992);
  EXPECT_EQ(std::count(played.begin() + 5 * 992, played.end(), 0x80),
            std::int64_t(played.size() - 5 * 992));
  // A tag-only change is no change; the engine starts again afterwards.
  WAVEFORMATEX tagged = f;
  tagged.wFormatTag = 3;
  EXPECT_EQ(engine.SetFormat(&tagged), 0);
  EXPECT_EQ(engine.OutputFormat().wFormatTag, 1);
  ASSERT_EQ(engine.SetActive(true), 0);
  EXPECT_EQ(engine.SetActive(false), 0);
}

// A sound in another format is converted by the voice's chain and played from
// its start frame; the voice stops at its end.
TEST(MixEngineTest, AVoicePlaysItsSoundConvertedAndStopsAtTheEnd) {
  const WAVEFORMATEX out = Pcm(22050, 8, 1), in = Pcm(22050, 16, 1);
  MixEngine engine(&out, GetModuleHandleA(nullptr), nullptr, MIX_KERNELS_PORTABLE);
  std::vector<std::uint8_t> samples = Sine16(6000, 1, 345, 22050, 25000);
  auto* sound = new Sound(false, nullptr);
  ASSERT_TRUE(sound->ShareSamples(&in, samples.data(), std::uint32_t(samples.size())));
  auto* voice = new MixVoice(sound, true, &engine);
  EXPECT_EQ(voice->Start(0, false), 0);  // before the device: the scratch is empty
  voice->Stop();
  ASSERT_EQ(engine.SetActive(true), 0);
  EXPECT_EQ(voice->Start(6000, false), 1);  // past the end
  EXPECT_FALSE(voice->IsPlaying());
  ASSERT_EQ(voice->Start(1000, false), 0);
  EXPECT_TRUE(voice->IsPlaying());
  for (int i = 0; i < 100 && voice->IsPlaying(); ++i) Sleep(20);
  EXPECT_FALSE(voice->IsPlaying());
  Play(300);  // the buffers already mixed are still queued: let them play
  EXPECT_EQ(engine.SetActive(false), 0);
  std::vector<std::uint8_t> expected;
  for (std::size_t i = 1000; i < 6000; ++i) expected.push_back(std::uint8_t(samples[2 * i + 1] ^ 0x80));
  const auto played = ReadCapture(22050, 1, 8);
  const std::int64_t at = FindBytes(played, expected);
  ASSERT_GE(at, 0);
  // After the end the voice's buffer holds -1 (0x7F) for what was left of it.
  EXPECT_EQ(played[at + expected.size()], 0x7F);
  delete voice;
  EXPECT_EQ(engine.VoiceCount(), 0u);
}

TEST(MixEngineTest, ALoopingVoiceWrapsWithoutAGapAndStopsWhenTheDeviceCloses) {
  const WAVEFORMATEX out = Pcm(22050, 8, 1);
  MixEngine engine(&out, GetModuleHandleA(nullptr), nullptr, MIX_KERNELS_MMX);
  std::vector<std::uint8_t> loop = Sine8(301, 1, 880, 22050);  // wraps inside every buffer
  auto* sound = new Sound(false, nullptr);
  ASSERT_TRUE(sound->ShareSamples(&out, loop.data(), std::uint32_t(loop.size())));
  auto* voice = new MixVoice(sound, true, &engine);
  ASSERT_EQ(engine.SetActive(true), 0);
  ASSERT_EQ(voice->Start(0, true), 0);
  Play(300);
  EXPECT_TRUE(voice->IsPlaying());
  EXPECT_EQ(engine.SetActive(false), 0);
  EXPECT_FALSE(voice->IsPlaying());
  std::vector<std::uint8_t> thrice;
  for (int i = 0; i < 3; ++i) thrice.insert(thrice.end(), loop.begin(), loop.end());
  EXPECT_GE(FindBytes(ReadCapture(22050, 1, 8), thrice), 0);
  // The engine destroys the voices still bound to it.
}

}  // namespace
