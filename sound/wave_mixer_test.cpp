#include "sound/wave_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "sound/mix_engine.h"
#include "sound/mix_voice.h"
#include "sound/sound.h"
#include "sound/sound_test_support.h"
#include "sound/wave_format.h"

namespace {

HMODULE Self() { return GetModuleHandleA(nullptr); }

TEST(WaveMixerTest, SlotsAreHandedOutAndFreed) {
  WaveMixer mixer;
  for (int i = 0; i < WaveMixer::kSlots; ++i) EXPECT_EQ(mixer.AllocSlot(), i);
  EXPECT_EQ(mixer.AllocSlot(), -1);
  mixer.FreeSlot(17);
  EXPECT_EQ(mixer.AllocSlot(), 17);
  EXPECT_EQ(mixer.VoiceCount(17), 0);
  // Without Open: loads answer 6, queries 0.
  EXPECT_EQ(mixer.LoadResource(0, Self(), MAKEINTRESOURCEA(233), 1, 0), 6);
  EXPECT_EQ(mixer.LoadResource(60, Self(), MAKEINTRESOURCEA(233), 1, 0), 1);
  EXPECT_FALSE(mixer.IsActive());
  EXPECT_EQ(mixer.GetSampleRate(0), 0u);
}

TEST(WaveMixerTest, LoadsFromResourcesMemoryAndFiles) {
  WaveMixer mixer;
  const WAVEFORMATEX out = Pcm(22050, 8, 1);
  mixer.Open(Self(), nullptr, &out, 0);
  const std::int32_t slot = mixer.AllocSlot();
  EXPECT_EQ(mixer.LoadResource(slot, Self(), MAKEINTRESOURCEA(299), 1, 0), 4);
  EXPECT_EQ(mixer.LoadResource(slot, Self(), MAKEINTRESOURCEA(234), 1, 0), 2);
  EXPECT_EQ(mixer.VoiceCount(slot), 0);  // a failed load leaves the slot reserved
  ASSERT_EQ(mixer.LoadResource(slot, Self(), MAKEINTRESOURCEA(233), 1, WAVEMIX_COPY), 0);
  EXPECT_EQ(mixer.GetSampleRate(slot), 22050u);
  EXPECT_EQ(mixer.GetBitsPerSample(slot), 8u);
  EXPECT_EQ(mixer.GetChannels(slot), 1u);
  EXPECT_EQ(mixer.GetDataSize(slot), 8u);
  EXPECT_EQ(mixer.GetLength(slot), 8u);
  EXPECT_EQ(mixer.GetBytesPerFrame(slot), 1u);
  EXPECT_EQ(mixer.VoiceCount(slot), 1);

  const WAVEFORMATEX wide = Pcm(11025, 16, 2);
  std::vector<std::uint8_t> samples = Sine16(1000, 2, 100, 11025, 1000);
  EXPECT_EQ(mixer.LoadMemory(slot, 0, &wide, nullptr, 10, 0, 0), 1);
  ASSERT_EQ(mixer.LoadMemory(slot, 0, &wide, samples.data(), 4000, 0, WAVEMIX_CONVERT), 0);
  EXPECT_EQ(mixer.GetSampleRate(slot), 22050u);  // converted at load
  EXPECT_EQ(mixer.GetBitsPerSample(slot), 8u);
  EXPECT_NEAR(double(mixer.GetLength(slot)), 2000.0, 4.0);
  // A copy larger than any block the heap can give is out of memory, not
  // "not a sound", and leaves the slot reserved and empty.
  EXPECT_EQ(mixer.LoadMemory(slot, 0, &wide, samples.data(), 0xFFFFFFF0u, 0, WAVEMIX_COPY),
            WAVEMIX_NO_MEMORY);
  EXPECT_EQ(mixer.VoiceCount(slot), 0);

  TempPath path("wav");
  Sound sound(false, nullptr);
  ASSERT_TRUE(sound.ShareSamples(&wide, samples.data(), 4000));
  ASSERT_EQ(sound.Save(path.c_str(), 0, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(mixer.LoadFile(slot, path.c_str(), 0, 9, WAVEMIX_COPY), 0);
  EXPECT_EQ(mixer.VoiceCount(slot), 4);  // clamped
  EXPECT_EQ(mixer.GetDataSize(slot), 4000u);
  EXPECT_EQ(mixer.LoadFile(slot, "C:\\missing.wav", 0, 1, 0), 2);
}

TEST(WaveMixerTest, PlayHandsOutTheVoicesInTurnOnceActive) {
  ASSERT_GT(waveOutGetNumDevs(), 0u) << "no wave device: run through sound-exec.sh";
  WaveMixer mixer;
  const WAVEFORMATEX out = Pcm(22050, 8, 1);
  mixer.Open(Self(), nullptr, &out, 1);
  const std::int32_t slot = mixer.AllocSlot();
  std::vector<std::uint8_t> samples = Sine8(22050, 1, 200, 22050);
  ASSERT_EQ(mixer.LoadMemory(slot, 0, &out, samples.data(), 22050, 0, 0), 0);
  mixer.Play(slot, 0, 0, 0, 0, true);  // not active yet: nothing
  EXPECT_FALSE(mixer.IsPlaying(slot));
  mixer.Activate(true);
  ASSERT_TRUE(mixer.IsActive());
  mixer.Play(slot, 0, 0, 0, 0, true);
  EXPECT_TRUE(mixer.IsPlaying(slot));
  mixer.Stop(slot);
  EXPECT_FALSE(mixer.IsPlaying(slot));

  // Three voices: 0, 1, 2, then 0 again, each started anew.
  const std::int32_t trio = mixer.AllocSlot();
  ASSERT_EQ(mixer.LoadResource(trio, Self(), MAKEINTRESOURCEA(233), 3, 0), 0);
  for (int turn = 0; turn < 4; ++turn) {
    mixer.Play(trio, 0, -500 * turn, -100, 0, true);
    EXPECT_TRUE(mixer.Voice(trio, turn % 3)->IsPlaying()) << turn;
  }
  EXPECT_EQ(mixer.Voice(trio, 0)->Pan(), -1500);  // the fourth Play took voice 0 again
  EXPECT_EQ(mixer.Voice(trio, 1)->Pan(), -500);
  mixer.Play(trio, 0, kKeepPanAndVolume, 0, 0, true);  // voice 1, levels kept
  EXPECT_EQ(mixer.Voice(trio, 1)->Pan(), -500);
  EXPECT_EQ(mixer.Voice(trio, 1)->Volume(), -100);
  mixer.SetVolume(trio, -20000);
  EXPECT_EQ(mixer.GetVolume(trio), -10000);
  mixer.SetPan(trio, 30000);
  EXPECT_EQ(mixer.GetPan(trio), 10000);
  mixer.StopAll();
  EXPECT_FALSE(mixer.IsPlaying(trio));
  EXPECT_GT(mixer.GetDeviceCount(), 0u);
  EXPECT_NE(mixer.GetDeviceCaps() & 0x10000000u, 0u);
  EXPECT_FALSE(mixer.GetDeviceName(0).IsEmpty());
  EXPECT_TRUE(mixer.GetDeviceName(99).IsEmpty());
  mixer.Activate(false);
  EXPECT_FALSE(mixer.IsActive());
}

// The scene's sequence: one looping voice from frame 0, full level, centre.
TEST(WaveMixerTest, TheScenesSequencePlaysOneLoopAtFullLevel) {
  WaveMixer mixer;
  const WAVEFORMATEX out = Pcm(22050, 8, 1);
  mixer.Open(Self(), nullptr, &out, 0);
  mixer.Activate(false);
  mixer.Activate(true);
  ASSERT_EQ(mixer.LoadResource(mixer.AllocSlot(), Self(), MAKEINTRESOURCEA(233), 1, WAVEMIX_COPY),
            0);
  mixer.Play(0, 0, kKeepPanAndVolume, kKeepPanAndVolume, kKeepPanAndVolume, true);
  ASSERT_TRUE(mixer.IsPlaying(0));
  EXPECT_EQ(mixer.GetVolume(0), 0);
  EXPECT_EQ(mixer.GetPan(0), 0);
  EXPECT_EQ(mixer.Engine()->PlayingCount(), 1u);
  Sleep(300);
  mixer.Activate(false);
  const std::vector<std::uint8_t> loop = {0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xB0, 0xA0, 0x90};
  std::vector<std::uint8_t> many;
  for (int i = 0; i < 200; ++i) many.insert(many.end(), loop.begin(), loop.end());
  EXPECT_GE(FindBytes(ReadCapture(22050, 1, 8), many), 0);
}

// A crossfade on the device: one slot fades out while another fades in over
// 100 ms; the recording goes from the first sound to the second without a
// gap or a jump, and the first voice stops at the end of its fade.
TEST(WaveMixerTest, ACrossfadeGoesFromOneSoundToTheNextWithoutAStep) {
  WaveMixer mixer;
  const WAVEFORMATEX out = Pcm(22050, 8, 1);
  mixer.Open(Self(), nullptr, &out, 0);
  mixer.Activate(true);
  ASSERT_TRUE(mixer.IsActive());
  const std::vector<std::uint8_t> high(2205, 0xC0), low(2205, 0x40);
  const std::int32_t first = mixer.AllocSlot(), second = mixer.AllocSlot();
  ASSERT_EQ(mixer.LoadMemory(first, 0, &out, high.data(), 2205, 0, WAVEMIX_COPY), 0);
  ASSERT_EQ(mixer.LoadMemory(second, 0, &out, low.data(), 2205, 0, WAVEMIX_COPY), 0);
  mixer.Play(first, 0, kKeepPanAndVolume, 0, 0, true);
  Sleep(100);
  mixer.FadeOut(first, 100);
  mixer.FadeIn(second, 100);
  mixer.Play(second, 0, kKeepPanAndVolume, 0, 0, true);
  for (int i = 0; i < 100 && mixer.IsPlaying(first); ++i) Sleep(20);
  EXPECT_FALSE(mixer.IsPlaying(first));
  EXPECT_TRUE(mixer.IsPlaying(second));
  Sleep(300);
  mixer.Activate(false);
  const auto played = ReadCapture(22050, 1, 8);
  const auto high_start = std::find(played.begin(), played.end(), 0xC0);
  ASSERT_NE(high_start, played.end());
  const auto to = std::find(high_start, played.end(), 0x40);
  ASSERT_NE(to, played.end());
  // The fade begins where the first sound was last at its own level.
  const auto from = std::find(std::make_reverse_iterator(to), played.rend(), 0xC0).base() - 1;
  // In between, the sum of the two falls in a straight line, a step of at
  // most two at a time (each voice rounds on its own), over about the fade's
  // 2205 frames (the second voice may start a buffer after the first fades).
  for (auto p = from + 1; p <= to; ++p) ASSERT_LE(std::abs(int(*p) - int(*(p - 1))), 2);
  EXPECT_NEAR(double(to - from), 2205.0, 2 * 992.0);
}

}  // namespace
