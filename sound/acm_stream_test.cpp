#include "sound/acm_stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "gfx/wrapped_memory_block.h"
#include "sound/format_chain.h"
#include "sound/memory_stream.h"
#include "sound/sound_test_support.h"
#include "sound/wave_format.h"

namespace {

MemoryStream* Over(std::vector<std::uint8_t>& bytes) {
  return new MemoryStream(
      new WrappedMemoryBlock(bytes.data(), std::uint32_t(bytes.size()), false, true), true);
}

std::vector<std::uint8_t> ReadAll(SampleStream& s, std::uint32_t piece = 4000) {
  std::vector<std::uint8_t> out, buffer(piece);
  for (std::uint32_t n; (n = s.Read(buffer.data(), piece)) > 0;)
    out.insert(out.end(), buffer.begin(), buffer.begin() + n);
  return out;
}

// Wine's PCM converter: 8 -> 16 bits is (b - 128) << 8, exactly, across
// quarter-second pieces and reads of any size.
TEST(AcmStreamTest, ConvertsPcmWidthExactlyInPieces) {
  WAVEFORMATEX from, to;
  MakePcmFormat(&from, 22050, 8, 1);
  MakePcmFormat(&to, 22050, 16, 1);
  std::vector<std::uint8_t> bytes = Sine8(30000, 1, 440, 22050);
  AcmStream s(&from, &to, Over(bytes));
  ASSERT_TRUE(s.IsOpen());
  EXPECT_EQ(s.SourceBufferSize(), 22050u / 4);
  EXPECT_EQ(s.Length(), 60000u);
  EXPECT_FALSE(s.IsEof());
  const auto out = ReadAll(s, 997);
  ASSERT_EQ(out.size(), 60000u);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto v = std::int16_t(out[2 * i] | out[2 * i + 1] << 8);
    ASSERT_EQ(v, (bytes[i] - 128) * 256) << i;
  }
  EXPECT_TRUE(s.IsEof());
  EXPECT_EQ(s.Read(nullptr, 10), 0u);
}

TEST(AcmStreamTest, SeeksInTargetBytesAndClamps) {
  WAVEFORMATEX from, to;
  MakePcmFormat(&from, 22050, 8, 1);
  MakePcmFormat(&to, 22050, 16, 1);
  std::vector<std::uint8_t> bytes = Sine8(10000, 1, 300, 22050);
  AcmStream s(&from, &to, Over(bytes));
  EXPECT_EQ(s.Seek(2000, SEEK_FROM_START), 2000);
  std::uint8_t two[2];
  ASSERT_EQ(s.Read(two, 2), 2u);
  EXPECT_EQ(std::int16_t(two[0] | two[1] << 8), (bytes[1000] - 128) * 256);
  EXPECT_EQ(s.Seek(-5, SEEK_FROM_START), 0);
  EXPECT_EQ(s.Seek(10, SEEK_FROM_END), 20000);
  EXPECT_EQ(s.Seek(0, 9), 20000);
  EXPECT_EQ(s.Read(two, 2), 0u);
}

TEST(AcmStreamTest, ImpossibleConversionsStayClosedAndDeliverNothing) {
  WAVEFORMATEX from, to;
  MakePcmFormat(&from, 8000, 8, 1);
  MakePcmFormat(&to, 8000, 8, 1);
  to.wFormatTag = 7;  // mu-law from 8-bit PCM: codecs take 16-bit PCM only
  std::vector<std::uint8_t> bytes(800, 0x80);
  AcmStream s(&from, &to, Over(bytes));
  EXPECT_FALSE(s.IsOpen());
  EXPECT_TRUE(s.IsEof());
  EXPECT_EQ(s.Length(), 0u);
  std::uint8_t b[4];
  EXPECT_EQ(s.Read(b, 4), 0u);
  EXPECT_EQ(s.Seek(0, SEEK_FROM_START), 0);
  from.nBlockAlign = 0;  // refused before the compression manager sees it
  AcmStream zero(&from, &from, Over(bytes));
  EXPECT_FALSE(zero.IsOpen());
}

// Companding is the same at every rate, also at rates the platform's G.711
// codec does not list: 16000 Hz mono and 48000 Hz stereo give the bytes of
// 8000 Hz, both ways.
TEST(AcmStreamTest, CompandingWorksAtEveryRate) {
  std::vector<std::uint8_t> pcm = Sine16(4000, 2, 300, 8000, 30000);
  for (WORD tag : {WORD(6), WORD(7)}) {
    std::vector<std::uint8_t> reference;
    for (std::uint32_t rate : {8000u, 16000u, 48000u}) {
      for (WORD channels : {WORD(1), WORD(2)}) {
        WAVEFORMATEX linear, companded;
        MakePcmFormat(&linear, rate, 16, channels);
        MakePcmFormat(&companded, rate, 8, channels);
        companded.wFormatTag = tag;
        AcmStream encode(&linear, &companded, Over(pcm));
        ASSERT_TRUE(encode.IsOpen()) << tag << " " << rate << " " << channels;
        std::vector<std::uint8_t> bytes = ReadAll(encode);
        ASSERT_EQ(bytes.size(), pcm.size() / 2);
        if (reference.empty()) reference = bytes;
        EXPECT_EQ(bytes, reference) << tag << " " << rate << " " << channels;
        AcmStream decode(&companded, &linear, Over(bytes));
        ASSERT_TRUE(decode.IsOpen());
        EXPECT_EQ(decode.Length(), pcm.size());
        const std::vector<std::uint8_t> back = ReadAll(decode);
        ASSERT_EQ(back.size(), pcm.size());
        for (std::size_t i = 0; i < pcm.size(); i += 2) {
          const int want = std::int16_t(pcm[i] | pcm[i + 1] << 8);
          const int got = std::int16_t(back[i] | back[i + 1] << 8);
          ASSERT_NEAR(got, want, std::abs(want) / 16 + 16) << i;
        }
      }
    }
  }
}

TEST(FormatChainTest, StagesFollowTheFormats) {
  WAVEFORMATEX pcm8, pcm16, stereo16k, ima;
  MakePcmFormat(&pcm8, 22050, 8, 1);
  MakePcmFormat(&pcm16, 22050, 16, 1);
  MakePcmFormat(&stereo16k, 16000, 16, 2);
  std::vector<std::uint8_t> bytes = Sine16(16000, 2, 500, 16000, 12000);
  FormatChain same(&pcm8, &pcm8, Over(bytes));
  EXPECT_EQ(same.StageCount(), 0);
  EXPECT_EQ(same.Length(), bytes.size());
  FormatChain down(&stereo16k, &pcm8, Over(bytes));  // channels (16-bit), then to 8-bit
  EXPECT_EQ(down.StageCount(), 2);
  const auto out = ReadAll(down);
  EXPECT_NEAR(double(out.size()), 22050.0, 40.0);  // a sample of drift per quarter second
  FormatChain widen(&pcm8, &pcm16, Over(bytes));
  EXPECT_EQ(widen.StageCount(), 2);  // to 16-bit at the target rate, then the (same) target

  // IMA ADPCM made by the compression manager itself, then brought back.
  std::vector<std::uint8_t> mono = Sine16(22050, 1, 440, 22050, 12000);
  std::vector<std::uint8_t> imaFormat(20, 0);
  ima = pcm16;
  ima.wFormatTag = 0x11;
  ima.wBitsPerSample = 4;
  ima.nBlockAlign = 512;
  ima.nAvgBytesPerSec = 22050 * 512 / 1017;
  ima.cbSize = 2;
  std::memcpy(imaFormat.data(), &ima, 18);
  imaFormat[18] = 0xF9;  // 1017 samples per block
  imaFormat[19] = 0x03;
  FormatChain encode(&pcm16, AsFormat(imaFormat), Over(mono));
  std::vector<std::uint8_t> encoded = ReadAll(encode);
  ASSERT_GT(encoded.size(), 10000u);
  FormatChain decode(AsFormat(imaFormat), &pcm8, Over(encoded));
  EXPECT_EQ(decode.StageCount(), 2);  // to PCM 16-bit, then to 8-bit
  const auto back = ReadAll(decode);
  ASSERT_GT(back.size(), 20000u);
  int close = 0;
  for (std::size_t i = 0; i < 20000; ++i) {
    const int want = 128 + (std::int16_t(mono[2 * i] | mono[2 * i + 1] << 8) >> 8);
    close += std::abs(int(back[i]) - want) <= 4;
  }
  EXPECT_GT(close, 19000);
}

}  // namespace
