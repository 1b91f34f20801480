// MpegStream and Sound's MPEG reading over our mpadec.dll, with files made by
// the host's encoders and checked against the host's decoder.
#include "mpadec/mpadec.h"
#include "sound/mpeg_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "gfx/global_memory_block.h"
#include "mpadec/mpeg_test_files.h"
#include "sound/riff_wave.h"
#include "sound/sound.h"
#include "sound/sound_status.h"
#include "sound/sound_test_support.h"
#include "sound/wave_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

MemoryBlock* BlockOf(const Bytes& bytes) {
  auto* block = new GlobalMemoryBlock(std::uint32_t(bytes.size()), true);
  if (!bytes.empty()) std::memcpy(block->Pointer(), bytes.data(), bytes.size());
  return block;
}

bool DecoderLoaded() { return GetModuleHandleA("mpadec.dll") != nullptr; }

// Sound reads every test file as a stream of 16-bit PCM in the file's rate and
// channel count, as long as and equal to the host decoder's reading.
TEST(MpegStreamTest, SoundStreamsMp3AndMp2) {
  for (const MpegTestFile& file : MpegTestFiles()) {
    SCOPED_TRACE(file.name);
    std::uint32_t rate, channels;
    const std::vector<std::int16_t> reference = ReferenceSamples(file.name, &rate, &channels);
    ASSERT_FALSE(reference.empty());
    Sound s(false, nullptr);
    ASSERT_EQ(s.Load(MpegTestPath(file.name).c_str(), 0, nullptr, nullptr), SOUND_OK);
    EXPECT_EQ(s.Kind(), SOUND_STREAMED);
    ASSERT_NE(s.Format(), nullptr);
    EXPECT_EQ(s.Format()->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(s.Format()->nSamplesPerSec, file.rate);
    EXPECT_EQ(s.Format()->nChannels, file.channels);
    EXPECT_EQ(s.Format()->wBitsPerSample, 16);
    MpegStream* stream = s.Stream();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Capabilities(), 5u);
    ASSERT_EQ(stream->Length(), reference.size() * 2);
    Bytes pcm(stream->Length());
    EXPECT_EQ(stream->Read(pcm.data(), std::uint32_t(pcm.size())), pcm.size());
    EXPECT_TRUE(stream->IsEof());
    EXPECT_LE(LargestDifference(pcm.data(), pcm.size(), reference, 0), 2);
    EXPECT_EQ(MpegStream::OpenCount(), 1);
  }
  EXPECT_EQ(MpegStream::OpenCount(), 0);
  EXPECT_FALSE(DecoderLoaded());
}

// The other ways in: a private copy, the format alone, and decoding to a
// temporary file that becomes the samples.
TEST(MpegStreamTest, SoundCopiesReadsHeadersAndDecodesWhole) {
  const char* name = "32000_2.mp3";
  std::uint32_t rate, channels;
  const std::vector<std::int16_t> reference = ReferenceSamples(name, &rate, &channels);
  const std::string path = MpegTestPath(name);
  {
    Sound s(false, nullptr);
    ASSERT_EQ(s.Load(path.c_str(), SOUND_IN_MEMORY, nullptr, nullptr), SOUND_OK);
    EXPECT_EQ(s.Stream()->Length(), reference.size() * 2);
    Sound header(false, nullptr);
    ASSERT_EQ(header.Load(path.c_str(), SOUND_HEADER, nullptr, nullptr), SOUND_OK);
    EXPECT_EQ(header.Kind(), SOUND_HEADER_ONLY);
    EXPECT_EQ(header.Stream(), nullptr);
    EXPECT_EQ(header.Format()->nSamplesPerSec, 32000u);
    EXPECT_EQ(MpegStream::OpenCount(), 1);
  }
  EXPECT_EQ(MpegStream::OpenCount(), 0);
  Sound s(false, nullptr);
  ASSERT_EQ(s.Load(path.c_str(), SOUND_DECODE, nullptr, nullptr), SOUND_OK);
  EXPECT_EQ(s.Kind(), SOUND_SAMPLES);
  EXPECT_EQ(s.Stream(), nullptr);
  ASSERT_EQ(s.DataSize(), reference.size() * 2);
  EXPECT_LE(LargestDifference(s.Data(), s.DataSize(), reference, 0), 2);
  EXPECT_EQ(MpegStream::OpenCount(), 0);
  EXPECT_FALSE(DecoderLoaded());
}

// Streams share the library; the last open one to go frees it, and a later
// one loads it again.
TEST(MpegStreamTest, StreamsShareOneLibrary) {
  const Bytes mp2 = ReadWholeFile(MpegTestPath("16000_1.mp2").c_str());
  auto* first = new MpegStream(BlockOf(mp2));
  auto* second = new MpegStream(BlockOf(mp2));
  ASSERT_TRUE(first->IsOpen());
  ASSERT_TRUE(second->IsOpen());
  EXPECT_EQ(MpegStream::OpenCount(), 2);
  EXPECT_TRUE(DecoderLoaded());
  std::uint8_t info[mpadec::kInfoSize];
  ASSERT_TRUE(first->GetInfo(info));
  std::uint32_t rate;
  std::memcpy(&rate, info + 16, 4);
  EXPECT_EQ(rate, 16000u);
  // A stream that did not open takes no share: the library stays for the others.
  delete new MpegStream(BlockOf(Bytes(3000, 0x55)));
  EXPECT_EQ(MpegStream::OpenCount(), 2);
  EXPECT_TRUE(DecoderLoaded());
  delete first;
  EXPECT_EQ(MpegStream::OpenCount(), 1);
  EXPECT_TRUE(DecoderLoaded());
  EXPECT_GT(second->Read(info, sizeof info), 0u);
  delete second;
  EXPECT_EQ(MpegStream::OpenCount(), 0);
  EXPECT_FALSE(DecoderLoaded());
  MpegStream again(BlockOf(mp2));
  EXPECT_TRUE(again.IsOpen());
  EXPECT_EQ(MpegStream::OpenCount(), 1);
}

// "MPEG" files that are not: noise, a truncated frame, a RIFF WAVE named .mp3.
// Each gives result code 9 and leaves no stream and no library behind.
TEST(MpegStreamTest, FilesThatAreNotMpegGetTheirCode) {
  std::mt19937 rng(3);
  Bytes noise(30000);
  for (auto& b : noise) b = std::uint8_t(rng());
  const Bytes mp3 = ReadWholeFile(MpegTestPath("22050_2.mp3").c_str());
  const Bytes truncated(mp3.begin(), mp3.begin() + 60);
  WAVEFORMATEX f;
  MakePcmFormat(&f, 44100, 16, 2);
  Bytes samples = Sine16(30000, 2, 1000, 44100, 32000);
  const Bytes riff = WriteRiffWave(f, samples.data(), std::uint32_t(samples.size()), nullptr);
  const Bytes* const cases[] = {&noise, &truncated, &riff};
  for (const Bytes* bytes : cases) {
    TempPath path("mp3");
    ASSERT_TRUE(WriteWholeFile(path.c_str(), *bytes));
    Sound s(false, nullptr);
    EXPECT_EQ(s.Load(path.c_str(), 0, nullptr, nullptr), SOUND_WAVE_WRITE_FAILED);
    EXPECT_EQ(s.Kind(), SOUND_EMPTY);
    EXPECT_EQ(MpegStream::OpenCount(), 0);
    EXPECT_FALSE(DecoderLoaded());
  }
  MpegStream empty(BlockOf(Bytes()));
  EXPECT_FALSE(empty.IsOpen());
  EXPECT_EQ(empty.Read(samples.data(), 10), 0u);
  EXPECT_TRUE(empty.IsEof());
  EXPECT_EQ(empty.Length(), 0u);
}

}  // namespace
