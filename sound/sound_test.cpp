#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <random>

#include "gfx/global_memory_block.h"
#include "gfx/wrapped_memory_block.h"
#include "sound/au_file.h"
#include "sound/riff_wave.h"
#include "sound/sample_frames.h"
#include "sound/sound_status.h"
#include "sound/sound_test_support.h"
#include "sound/wave_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

MemoryBlock* Wrap(Bytes& bytes) {
  return new WrappedMemoryBlock(bytes.data(), std::uint32_t(bytes.size()), false, true);
}

// The multimedia file interface finds what the byte parser finds.
TEST(SoundTest, ParseWaveThroughMmioAgreesWithTheByteParser) {
  const WAVEFORMATEX f = Pcm(11025, 16, 2);
  Bytes samples = Sine16(301, 2, 440, 11025, 9000);
  std::string info[kInfoTagCount];
  info[InfoTagIndex("INAM")] = "Kelp";
  info[InfoTagIndex("ICOP")] = "ours, odd";
  Bytes image = WriteRiffWave(f, samples.data(), std::uint32_t(samples.size()), info);
  RiffWaveImage parsed;
  ASSERT_TRUE(ParseRiffWave(image.data(), image.size(), &parsed));
  Sound s(false, nullptr);
  ASSERT_TRUE(s.ParseWave(Wrap(image), true));
  EXPECT_EQ(s.Kind(), SOUND_SAMPLES);
  EXPECT_EQ(s.FormatCode(), 4u);
  EXPECT_EQ(s.Data(), image.data() + parsed.dataOffset);
  EXPECT_EQ(s.DataSize(), parsed.dataSize);
  EXPECT_EQ(s.FrameCount(), 301u);
  EXPECT_STREQ(s.GetInfo("INAM"), "Kelp");
  EXPECT_STREQ(s.GetInfo("ICOP"), "ours, odd");
  EXPECT_EQ(s.GetInfo("IART"), nullptr);
  EXPECT_EQ(s.GetFrame(1), GetSampleFrame(4, samples.data(), 1));
  EXPECT_EQ(s.GetFrame(301), 0u);  // past the end

  // A 16-byte "fmt " chunk: 18 bytes with no extra size.
  image[16] = 16;
  Bytes shortFmt(image.begin(), image.begin() + 36);
  shortFmt.insert(shortFmt.end(), image.begin() + 38, image.end());
  shortFmt[4] -= 2;
  ASSERT_TRUE(s.ParseWave(Wrap(shortFmt), true));
  EXPECT_EQ(s.Format()->cbSize, 0);
  EXPECT_EQ(s.Format()->nSamplesPerSec, 11025u);

  // A "data" chunk claiming more than the image holds.
  Bytes lying = WriteRiffWave(f, samples.data(), std::uint32_t(samples.size()), nullptr);
  lying[40] += 2;
  EXPECT_FALSE(s.ParseWave(Wrap(lying), true));
  EXPECT_NE(s.Kind(), SOUND_SAMPLES);
  Bytes junk = {'R', 'I', 'F', 'F', 1, 2};
  EXPECT_FALSE(s.ParseWave(Wrap(junk), true));
  EXPECT_FALSE(s.ParseWave(nullptr, false));
}

TEST(SoundTest, SamplesSharedAndOwnedAndFrameAccess) {
  const WAVEFORMATEX f = Pcm(8000, 8, 1);
  Sound s(false, nullptr);
  auto* block = new GlobalMemoryBlock(4, true);
  std::memset(block->Pointer(), 0x80, 4);
  ASSERT_TRUE(s.SetSamples(&f, block, true));
  s.SetFrame(2, PackFrame(256 * 20, 256 * 20));
  EXPECT_EQ(s.Data()[2], 148);
  EXPECT_EQ(s.GetFrame(2), PackFrame(20 * 256, 20 * 256));
  Sound shared(false, nullptr);
  ASSERT_TRUE(shared.ShareSamples(&f, s.Data(), s.DataSize()));
  shared.SetFrame(2, 0);  // shared bytes are not written
  EXPECT_EQ(s.Data()[2], 148);
  EXPECT_FALSE(shared.ShareSamples(&f, nullptr, 4));
  EXPECT_FALSE(s.SetSamples(&f, new GlobalMemoryBlock(0, true), true));
  s.SetInfo("INAM", "x");
  s.SetInfo("INAM", "");
  EXPECT_EQ(s.GetInfo("INAM"), nullptr);
  s.SetInfo("NOPE", "x");
  EXPECT_EQ(s.GetInfo("NOPE"), nullptr);
}

TEST(SoundTest, WaveFilesKeepTextsAndTakeTheirTitle) {
  const WAVEFORMATEX f = Pcm(22050, 8, 1);
  Bytes samples = Sine8(5000, 1, 300, 22050);
  Sound s(false, nullptr);
  ASSERT_TRUE(s.SetSamples(&f, Wrap(samples), false));
  s.SetInfo("ICMT", "a comment");
  TempPath path("wav");
  int calls = 0;
  auto count = [](void* datum, int, int) { ++*static_cast<int*>(datum); };
  ASSERT_EQ(s.Save(path.c_str(), 0, nullptr, count, &calls), SOUND_OK);
  EXPECT_GT(calls, 0);
  for (std::uint32_t flags : {SOUND_IN_MEMORY, SOUND_ON_DISK, SOUND_HEADER}) {
    Sound back(false, nullptr);
    ASSERT_EQ(back.Load(path.c_str(), flags, nullptr, nullptr), SOUND_OK) << flags;
    EXPECT_STREQ(back.GetInfo("ICMT"), "a comment");
    ASSERT_NE(back.GetInfo("INAM"), nullptr);
    EXPECT_EQ(std::string(back.GetInfo("INAM")).find('.'), std::string::npos);
    if (flags == SOUND_HEADER) {
      EXPECT_EQ(back.Kind(), SOUND_HEADER_ONLY);
      continue;
    }
    ASSERT_EQ(back.DataSize(), samples.size());
    EXPECT_EQ(std::memcmp(back.Data(), samples.data(), samples.size()), 0);
  }
  // Saved with a target format: converted on the way.
  const WAVEFORMATEX wide = Pcm(22050, 16, 1);
  ASSERT_EQ(s.Save(path.c_str(), SOUND_TYPE_WAVE, &wide, nullptr, nullptr), SOUND_OK);
  Sound back(true, nullptr);
  ASSERT_EQ(back.Load(path.c_str(), 0, nullptr, nullptr), SOUND_OK);
  EXPECT_EQ(back.FrameCount(), 5000u);
  EXPECT_EQ(back.GetFrame(7), s.GetFrame(7));
}

TEST(SoundTest, AuAndAiffRoundTripLinearSamples) {
  for (std::uint16_t bits : {8, 16}) {
    for (std::uint16_t channels : {1, 2}) {
      const WAVEFORMATEX f = Pcm(22050, bits, channels);
      Bytes samples = bits == 8 ? Sine8(700, channels, 200, 22050)
                                : Sine16(700, channels, 200, 22050, 30000);
      samples[0] = 0;  // -128 in 8 bits survives
      Sound s(false, nullptr);
      ASSERT_TRUE(s.SetSamples(&f, Wrap(samples), false));
      for (const char* extension : {"au", "aiff"}) {
        TempPath path(extension);
        ASSERT_EQ(s.Save(path.c_str(), 0, nullptr, nullptr, nullptr), SOUND_OK) << extension;
        for (bool disk : {false, true}) {
          Sound back(disk, nullptr);
          ASSERT_EQ(back.Load(path.c_str(), 0, nullptr, nullptr), SOUND_OK) << extension;
          EXPECT_EQ(back.Format()->nSamplesPerSec, 22050u);
          EXPECT_EQ(back.Format()->wBitsPerSample, bits);
          ASSERT_EQ(back.DataSize(), samples.size()) << extension;
          EXPECT_EQ(std::memcmp(back.Data(), samples.data(), samples.size()), 0) << extension;
        }
      }
    }
  }
}

TEST(SoundTest, CompandedAuGoesThroughTheCodecs) {
  const WAVEFORMATEX f = Pcm(8000, 16, 1);
  Bytes samples = Sine16(4000, 1, 250, 8000, 20000);
  Sound s(false, nullptr);
  ASSERT_TRUE(s.SetSamples(&f, Wrap(samples), false));
  for (std::uint32_t target : {AU_TARGET_MULAW, AU_TARGET_ALAW}) {
    TempPath path("snd");
    ASSERT_EQ(s.Save(path.c_str(), 0, reinterpret_cast<void*>(std::uintptr_t(target)), nullptr,
                     nullptr),
              SOUND_OK);
    const Bytes file = ReadWholeFile(path.c_str());
    EXPECT_EQ(file.size(), kAuHeaderSize + 4000u);
    Sound back(false, nullptr);
    ASSERT_EQ(back.Load(path.c_str(), 0, nullptr, nullptr), SOUND_OK);
    EXPECT_EQ(back.FormatCode(), 3u);
    ASSERT_EQ(back.FrameCount(), 4000u);
    for (std::uint32_t i = 0; i < 4000; i += 37) {
      const int want = FrameLeft(s.GetFrame(i)), got = FrameLeft(back.GetFrame(i));
      EXPECT_NEAR(got, want, 700) << i;  // companding keeps about 1/30 of the level
    }
    Sound header(false, nullptr);
    ASSERT_EQ(header.Load(path.c_str(), SOUND_HEADER, nullptr, nullptr), SOUND_OK);
    EXPECT_EQ(header.Format()->wFormatTag, target == AU_TARGET_MULAW ? 7 : 6);
  }
  TempPath bad("au");
  Bytes file(kAuHeaderSize + 10, 0);
  WriteAuHeader(AU_LINEAR_8, 8000, 1, 10, file.data());
  file[15] = 5;
  ASSERT_TRUE(WriteWholeFile(bad.c_str(), file));
  Sound s5(false, nullptr);
  EXPECT_EQ(s5.Load(bad.c_str(), 0, nullptr, nullptr), SOUND_UNSUPPORTED_ENCODING);
  EXPECT_EQ(s.Save(bad.c_str(), 0, reinterpret_cast<void*>(std::uintptr_t(9)), nullptr, nullptr),
            SOUND_WRITE_UNSUPPORTED);
}

TEST(SoundTest, TypesAndFailures) {
  Sound s(false, nullptr);
  EXPECT_EQ(s.Load("x.ogg", 0, nullptr, nullptr), SOUND_READ_UNKNOWN_TYPE);
  EXPECT_EQ(s.Load("C:\\no\\such\\file.WAV", 0, nullptr, nullptr), SOUND_NOT_READABLE);
  EXPECT_EQ(s.Save("x.wav", 0, nullptr, nullptr, nullptr), SOUND_NO_SAMPLES);
  EXPECT_EQ(s.Save("x.ogg", 0, nullptr, nullptr, nullptr), SOUND_WRITE_UNSUPPORTED);
  EXPECT_EQ(s.ConvertTo(nullptr), SOUND_NO_SAMPLES);
  EXPECT_EQ(s.DecodeToFile(nullptr, nullptr), SOUND_NOT_STREAMED);
  TempPath notWave("wav");
  ASSERT_TRUE(WriteWholeFile(notWave.c_str(), Bytes(100, 'x')));
  EXPECT_EQ(s.Load(notWave.c_str(), 0, nullptr, nullptr), SOUND_BAD_WAVE);
  EXPECT_EQ(s.Load(notWave.c_str(), SOUND_TYPE_AIFF, nullptr, nullptr), SOUND_BAD_HEADER);
  char name[MAX_PATH];
  ASSERT_TRUE(s.MakeTempName(name, sizeof name));
  DeleteFileA(name);
}

TEST(SoundTest, ConvertToInMemoryAndThroughFiles) {
  for (bool disk : {false, true}) {
    const WAVEFORMATEX from = Pcm(16000, 16, 2), to = Pcm(22050, 8, 1);
    Bytes samples = Sine16(8000, 2, 300, 16000, 16000);
    Sound s(disk, nullptr);
    ASSERT_TRUE(s.SetSamples(&from, Wrap(samples), false));
    s.SetInfo("ISFT", "tidewater");
    ASSERT_EQ(s.ConvertTo(&to), SOUND_OK) << disk;
    EXPECT_EQ(s.FormatCode(), 1u);
    EXPECT_NEAR(double(s.FrameCount()), 11025.0, 10.0);
    EXPECT_STREQ(s.GetInfo("ISFT"), "tidewater");
    EXPECT_EQ(s.ConvertTo(&to), SOUND_OK);  // nothing left to do
  }
}

// Mutated WAVE images through mmio: whatever parses points inside the image.
// TW_SOUND_MUTATIONS sets the number of cases (a few thousand by default).
TEST(SoundTest, ParseWaveSurvivesMutatedImages) {
  const char* wanted = std::getenv("TW_SOUND_MUTATIONS");
  const int cases = wanted ? std::atoi(wanted) : 3000;
  const WAVEFORMATEX f = Pcm(8000, 8, 1);
  Bytes samples = Sine8(50, 1, 100, 8000);
  std::string info[kInfoTagCount];
  info[0] = "an archive";
  info[InfoTagIndex("INAM")] = "name";
  const Bytes seed = WriteRiffWave(f, samples.data(), 50, info);
  std::mt19937 rng(99);
  int parsed = 0;
  for (int n = 0; n < cases; ++n) {
    Bytes image = seed;
    for (int edits = 1 + int(rng() % 4); edits > 0; --edits) {
      const std::size_t at = rng() % image.size();
      switch (rng() % 4) {
        case 0: image[at] = std::uint8_t(rng()); break;
        case 1:  // a size field's worth of random bits
          for (std::size_t k = at; k < image.size() && k < at + 4; ++k) image[k] = std::uint8_t(rng());
          break;
        case 2: image.resize(std::max<std::size_t>(1, at)); break;
        default: image.insert(image.begin() + at, std::uint8_t(rng() % 3));
      }
    }
    // An exact-size block, so that a read past the end leaves the image.
    auto* block = new GlobalMemoryBlock(std::uint32_t(image.size()), true);
    std::memcpy(block->Pointer(), image.data(), image.size());
    const auto* begin = static_cast<const std::uint8_t*>(block->Pointer());
    Sound s(false, nullptr);
    if (!s.ParseWave(block, true)) continue;
    ++parsed;
    ASSERT_GE(s.Data(), begin);
    ASSERT_LE(std::uint64_t(s.Data() - begin) + s.DataSize(), image.size());
    ASSERT_NE(s.Format(), nullptr);
    ASSERT_NE(s.Format()->nBlockAlign, 0);
    (void)s.FrameCount();
    (void)s.GetFrame(s.FrameCount() ? s.FrameCount() - 1 : 0);
  }
  EXPECT_GT(parsed, cases / 20);  // the mutations keep some images whole
}

}  // namespace
