// mpadec.dll through its exports, as a program that loads it by name sees it.
#include "mpadec/mpadec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "mpadec/mpadec_exports.h"
#include "mpadec/mpeg_test_files.h"
#include "sound/riff_wave.h"
#include "sound/sound_test_support.h"
#include "sound/wave_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class MpadecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA("mpadec.dll");
    ASSERT_NE(module_, nullptr);
    ASSERT_TRUE(dll_.Find(module_));
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  std::uint32_t Info(std::uint32_t handle, std::uint32_t at) {
    std::uint8_t record[mpadec::kInfoSize] = {mpadec::kInfoSize};
    EXPECT_EQ(dll_.info(handle, record), 1u);
    std::uint32_t value;
    std::memcpy(&value, record + at, 4);
    return value;
  }

  HMODULE module_ = nullptr;
  MpadecExports dll_;
};

TEST_F(MpadecTest, ExportsOnlyUndecoratedNames) {
  EXPECT_EQ(GetProcAddress(module_, "MPADecodeOpen@8"), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "_MPADecodeOpen@8"), nullptr);
  EXPECT_EQ(GetProcAddress(module_, "_MPADecodeRead@12"), nullptr);
}

// Every rate, channel count and layer decodes to what the host's mpg123 makes
// of the same file, read in odd pieces.
TEST_F(MpadecTest, DecodesLikeTheHostDecoder) {
  for (const MpegTestFile& file : MpegTestFiles()) {
    SCOPED_TRACE(file.name);
    std::uint32_t rate = 0, channels = 0;
    const std::vector<std::int16_t> reference = ReferenceSamples(file.name, &rate, &channels);
    ASSERT_FALSE(reference.empty());
    ASSERT_EQ(rate, file.rate);
    ASSERT_EQ(channels, file.channels);
    Bytes image = ReadWholeFile(MpegTestPath(file.name).c_str());
    const std::uint32_t h = dll_.open(image.data(), std::uint32_t(image.size()));
    ASSERT_NE(h, 0u);
    EXPECT_EQ(Info(h, mpadec::INFO_RATE), file.rate);
    EXPECT_EQ(Info(h, mpadec::INFO_CHANNELS), file.channels);
    EXPECT_EQ(Info(h, mpadec::INFO_LAYER), file.layer);
    EXPECT_EQ(Info(h, mpadec::INFO_VERSION), file.rate < 32000 ? 2u : 1u);
    EXPECT_EQ(Info(h, mpadec::INFO_BITS), 16u);
    EXPECT_EQ(Info(h, mpadec::INFO_MODE), file.channels == 1 ? 3u : 1u);
    EXPECT_EQ(Info(h, mpadec::INFO_BYTES), reference.size() * 2);
    EXPECT_EQ(Info(h, mpadec::INFO_FRAMES), reference.size() / file.channels);
    ASSERT_EQ(dll_.size(h), reference.size() * 2);

    Bytes pcm(dll_.size(h) + 5000);
    std::uint32_t got = 0;
    for (std::uint32_t n; (n = dll_.read(h, pcm.data() + got, 4093)) > 0;) got += n;
    EXPECT_EQ(got, dll_.size(h));
    EXPECT_EQ(dll_.eof(h), 1u);
    EXPECT_LE(LargestDifference(pcm.data(), got, reference, 0), 2);
    EXPECT_EQ(dll_.read(h, pcm.data(), 100), 0u);
    dll_.close(h);
  }
}

TEST_F(MpadecTest, SeeksInDecodedBytes) {
  for (const char* name : {"44100_2.mp3", "22050_1.mp2"}) {
    SCOPED_TRACE(name);
    std::uint32_t rate, channels;
    const std::vector<std::int16_t> reference = ReferenceSamples(name, &rate, &channels);
    Bytes image = ReadWholeFile(MpegTestPath(name).c_str());
    const std::uint32_t h = dll_.open(image.data(), std::uint32_t(image.size()));
    ASSERT_NE(h, 0u);
    const std::uint32_t length = dll_.size(h), align = channels * 2;
    // A position inside a frame is rounded down to it.
    const std::uint32_t middle = length / 2 / align * align;
    EXPECT_EQ(dll_.seek(h, std::int32_t(middle + 1), 0), middle);
    EXPECT_EQ(dll_.eof(h), 0u);
    Bytes pcm(4000);
    ASSERT_EQ(dll_.read(h, pcm.data(), 4000), 4000u);
    EXPECT_LE(LargestDifference(pcm.data(), 4000, reference, middle / 2), 2);
    EXPECT_EQ(dll_.seek(h, 0, 1), middle + 4000);
    EXPECT_EQ(dll_.seek(h, -std::int32_t(align), 2), length - align);
    EXPECT_EQ(dll_.read(h, pcm.data(), 4000), align);
    EXPECT_EQ(dll_.eof(h), 1u);
    EXPECT_EQ(dll_.seek(h, -10, 0), 0u);
    EXPECT_EQ(dll_.eof(h), 0u);
    EXPECT_EQ(dll_.seek(h, std::int32_t(length) + 10, 0), length);
    EXPECT_EQ(dll_.seek(h, 0, 7), length);  // an unknown origin only tells the position
    EXPECT_EQ(dll_.seek(h, 0, 0), 0u);
    ASSERT_EQ(dll_.read(h, pcm.data(), 4000), 4000u);
    EXPECT_LE(LargestDifference(pcm.data(), 4000, reference, 0), 2);
    dll_.close(h);
  }
}

// Bytes that are not MPEG audio open nothing; handle 0 and a record that
// says it is too small are refused.
TEST_F(MpadecTest, RefusesWhatIsNotMpegAudio) {
  std::mt19937 rng(7);
  for (std::size_t size : {1u, 4u, 417u, 4096u, 100000u}) {
    Bytes noise(size);
    for (auto& b : noise) b = std::uint8_t(rng());
    EXPECT_EQ(dll_.open(noise.data(), std::uint32_t(size)), 0u) << size;
  }
  const Bytes mp3 = ReadWholeFile(MpegTestPath("44100_2.mp3").c_str());
  ASSERT_GT(mp3.size(), 2000u);
  // A lone header and a truncated first frame.
  EXPECT_EQ(dll_.open(mp3.data(), 4), 0u);
  EXPECT_EQ(dll_.open(mp3.data(), 100), 0u);
  const WAVEFORMATEX f = [] {
    WAVEFORMATEX w;
    MakePcmFormat(&w, 22050, 16, 1);
    return w;
  }();
  Bytes samples = Sine16(20000, 1, 440, 22050, 30000);
  const Bytes wave = WriteRiffWave(f, samples.data(), std::uint32_t(samples.size()), nullptr);
  EXPECT_EQ(dll_.open(wave.data(), std::uint32_t(wave.size())), 0u);
  EXPECT_EQ(dll_.open(nullptr, 1000), 0u);
  EXPECT_EQ(dll_.open(mp3.data(), 0), 0u);

  std::uint8_t record[mpadec::kInfoSize] = {mpadec::kInfoSize};
  EXPECT_EQ(dll_.read(0, record, 4), 0u);
  EXPECT_EQ(dll_.seek(0, 10, 0), 0u);
  EXPECT_EQ(dll_.eof(0), 0u);
  EXPECT_EQ(dll_.size(0), 0u);
  EXPECT_EQ(dll_.info(0, record), 0u);
  EXPECT_EQ(dll_.close(0), 0u);
  const std::uint32_t h = dll_.open(mp3.data(), std::uint32_t(mp3.size()));
  ASSERT_NE(h, 0u);
  Bytes small(mpadec::kInfoSize, 0xAB);
  small[0] = mpadec::kInfoSize - 1;
  small[1] = small[2] = small[3] = 0;
  EXPECT_EQ(dll_.info(h, small.data()), 0u);
  EXPECT_EQ(small[4], 0xAB);
  dll_.close(h);
}

}  // namespace
