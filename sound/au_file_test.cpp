#include "sound/au_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "sound/sound_status.h"

namespace {

std::vector<std::uint8_t> AuImage(std::uint32_t encoding, std::uint32_t channels,
                                  std::uint32_t frames, std::uint32_t extraBytes = 0) {
  std::vector<std::uint8_t> v(kAuHeaderSize);
  EXPECT_TRUE(WriteAuHeader(encoding, 8000, channels, frames, v.data()));
  const std::uint32_t bytes = frames * channels * (encoding == AU_LINEAR_16 ? 2 : 1);
  v.resize(kAuHeaderSize + bytes + extraBytes, 0x11);
  return v;
}

TEST(AuFileTest, TheFourEncodingsReadBackWithTheirFormats) {
  const std::uint32_t encodings[] = {AU_MULAW, AU_LINEAR_8, AU_LINEAR_16, AU_ALAW};
  for (std::uint32_t e : encodings) {
    const auto image = AuImage(e, 2, 10);
    EXPECT_EQ(std::string(image.begin() + 24, image.begin() + 28), "mood");
    AuHeader h;
    ASSERT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_OK) << e;
    EXPECT_EQ(h.frames, 10u);
    EXPECT_EQ(h.dataOffset, 28u);
    EXPECT_EQ(h.rate, 8000u);
    WAVEFORMATEX f;
    AuSoundFormat(h, &f);
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.wBitsPerSample, e == AU_LINEAR_8 ? 8 : 16);
    EXPECT_EQ(f.nChannels, 2);
  }
  AuHeader h;
  auto mulaw = AuImage(AU_MULAW, 1, 4);
  ASSERT_EQ(ParseAuHeader(mulaw.data(), mulaw.size(), &h), SOUND_OK);
  WAVEFORMATEX f;
  AuCompandedFormat(h, &f);
  EXPECT_EQ(f.wFormatTag, 7);
  EXPECT_EQ(f.wBitsPerSample, 8);
  auto alaw = AuImage(AU_ALAW, 1, 4);
  ASSERT_EQ(ParseAuHeader(alaw.data(), alaw.size(), &h), SOUND_OK);
  AuCompandedFormat(h, &f);
  EXPECT_EQ(f.wFormatTag, 6);
}

TEST(AuFileTest, BadHeadersAndUnknownEncodings) {
  AuHeader h;
  auto image = AuImage(AU_LINEAR_16, 1, 10);
  image[15] = 5;  // encoding 5
  EXPECT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_UNSUPPORTED_ENCODING);
  image = AuImage(AU_LINEAR_16, 1, 10);
  image[0] = 'X';
  EXPECT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_BAD_HEADER);
  image = AuImage(AU_LINEAR_16, 1, 10);
  image.pop_back();  // the last sample is cut short
  EXPECT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_BAD_HEADER);
  image = AuImage(AU_LINEAR_8, 1, 10);
  image[4] = 0xFF;  // data offset beyond the file
  EXPECT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_BAD_HEADER);
  image = AuImage(AU_LINEAR_8, 1, 10);
  image[23] = 0;  // no channels
  EXPECT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_BAD_HEADER);
  image = AuImage(AU_LINEAR_8, 1, 10);
  image[19] = 0, image[18] = 0;  // rate 0
  EXPECT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_BAD_HEADER);
  EXPECT_EQ(ParseAuHeader(image.data(), 20, &h), SOUND_BAD_HEADER);
  EXPECT_FALSE(WriteAuHeader(5, 8000, 1, 1, image.data()));
  // An odd data size for 16-bit stereo counts whole frames only.
  image = AuImage(AU_LINEAR_16, 2, 3, 3);
  image[11] = 15;
  ASSERT_EQ(ParseAuHeader(image.data(), image.size(), &h), SOUND_OK);
  EXPECT_EQ(h.frames, 3u);
}

void SetBe32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (24 - 8 * i));
}

// Every prefix in a buffer of exactly its size: refused until the last
// sample is there.
TEST(AuFileTest, TruncatedFilesAreRefusedUntilWhole) {
  const auto whole = AuImage(AU_LINEAR_16, 2, 5);
  for (std::size_t n = 0; n <= whole.size(); ++n) {
    const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + std::ptrdiff_t(n));
    AuHeader h;
    EXPECT_EQ(ParseAuHeader(prefix.data(), n, &h), n == whole.size() ? SOUND_OK : SOUND_BAD_HEADER)
        << n;
  }
}

TEST(AuFileTest, OffsetsAndSizesThatLieOrWrapAreRefused) {
  AuHeader h;
  auto parse = [&](const std::vector<std::uint8_t>& v) {
    return ParseAuHeader(v.data(), v.size(), &h);
  };
  auto image = AuImage(AU_LINEAR_8, 1, 10);
  SetBe32(image, 4, 24);  // a header without annotation is fine
  EXPECT_EQ(parse(image), SOUND_OK);
  EXPECT_EQ(h.dataOffset, 24u);
  SetBe32(image, 4, 23);  // the samples may not overlap the header
  EXPECT_EQ(parse(image), SOUND_BAD_HEADER);
  SetBe32(image, 4, 0xFFFFFFF8u);  // offset + size wraps in 32 bits
  EXPECT_EQ(parse(image), SOUND_BAD_HEADER);
  image = AuImage(AU_LINEAR_8, 1, 10);
  SetBe32(image, 8, 0xFFFFFFFFu);
  EXPECT_EQ(parse(image), SOUND_BAD_HEADER);
  image = AuImage(AU_LINEAR_16, 2, 10);
  SetBe32(image, 8, 0xFFFFFFFFu);  // whole frames of it still far past the end
  EXPECT_EQ(parse(image), SOUND_BAD_HEADER);
  image = AuImage(AU_MULAW, 1, 10);
  SetBe32(image, 20, 3);  // three channels
  EXPECT_EQ(parse(image), SOUND_BAD_HEADER);
  EXPECT_EQ(h.frames, 0u);  // a refused header leaves nothing behind
}

}  // namespace
