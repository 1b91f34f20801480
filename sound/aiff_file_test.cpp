#include "sound/aiff_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "sound/sound_status.h"

namespace {

TEST(AiffFileTest, RatesOfTheTableAndOthersRoundTrip) {
  struct Known {
    std::uint32_t rate;
    std::uint16_t exponent, mantissa;
  };
  const Known table[] = {{8000, 0x400B, 0xFA00},  {11025, 0x400C, 0xAC44},
                         {16000, 0x400C, 0xFA00}, {22050, 0x400D, 0xAC44},
                         {32000, 0x400D, 0xFA00}, {32075, 0x400D, 0xFA96},
                         {44100, 0x400E, 0xAC44}, {48000, 0x400E, 0xBB80}};
  for (const Known& k : table) {
    std::uint16_t e, m;
    AiffRateToExtended(k.rate, &e, &m);
    EXPECT_EQ(e, k.exponent) << k.rate;
    EXPECT_EQ(m, k.mantissa) << k.rate;
    EXPECT_EQ(AiffRateFromExtended(k.exponent, k.mantissa), k.rate);
  }
  for (std::uint32_t rate : {1024u, 12000u, 24000u, 96000u, 192000u}) {
    std::uint16_t e, m;
    AiffRateToExtended(rate, &e, &m);
    EXPECT_EQ(AiffRateFromExtended(e, m), rate);
  }
  EXPECT_EQ(AiffRateFromExtended(0x4009, 0xFA00), 0xFA00u >> 5);
  EXPECT_EQ(AiffRateFromExtended(0x4011, 0x8000), 0x8000u << 3);
  EXPECT_EQ(AiffRateFromExtended(0x4008, 0xFA00), 0u);
  EXPECT_EQ(AiffRateFromExtended(0x4012, 0xFA00), 0u);
}

std::vector<std::uint8_t> AiffImage(std::uint32_t channels, std::uint32_t bits,
                                    std::uint32_t rate, std::uint32_t frames) {
  std::vector<std::uint8_t> v(kAiffHeaderSize);
  WriteAiffHeader(channels, bits, rate, frames, v.data());
  v.resize(kAiffHeaderSize + frames * channels * bits / 8, 0x22);
  return v;
}

TEST(AiffFileTest, WrittenHeadersReadBack) {
  for (std::uint32_t bits : {8u, 16u}) {
    const auto image = AiffImage(2, bits, 22050, 100);
    AiffInfo info;
    ASSERT_EQ(ParseAiff(image.data(), image.size(), &info), SOUND_OK);
    EXPECT_EQ(info.rate, 22050u);
    EXPECT_EQ(info.channels, 2u);
    EXPECT_EQ(info.bits, bits);
    EXPECT_EQ(info.frames, 100u);
    EXPECT_EQ(info.dataOffset, kAiffHeaderSize);
  }
  auto image = AiffImage(1, 16, 8000, 4);
  image[27] = 24;  // any size but 8 reads as 16 bits
  AiffInfo info;
  ASSERT_EQ(ParseAiff(image.data(), image.size(), &info), SOUND_OK);
  EXPECT_EQ(info.bits, 16u);
}

TEST(AiffFileTest, ChunksAreFoundPastOthersAndBadFilesAreRefused) {
  // A comment chunk of odd size (with its pad byte) in front of COMM.
  auto plain = AiffImage(1, 8, 11025, 6);
  std::vector<std::uint8_t> image(plain.begin(), plain.begin() + 12);
  const std::uint8_t anno[] = {'A', 'N', 'N', 'O', 0, 0, 0, 3, 'h', 'i', '!', 0};
  image.insert(image.end(), anno, anno + sizeof anno);
  image.insert(image.end(), plain.begin() + 12, plain.end());
  image[7] += sizeof anno;
  AiffInfo info;
  ASSERT_EQ(ParseAiff(image.data(), image.size(), &info), SOUND_OK);
  EXPECT_EQ(info.frames, 6u);
  EXPECT_EQ(info.dataOffset, kAiffHeaderSize + sizeof anno);

  auto bad = plain;
  bad[28] = 0x40, bad[29] = 0x20;  // unknown exponent
  EXPECT_EQ(ParseAiff(bad.data(), bad.size(), &info), SOUND_BAD_HEADER);
  bad = plain;
  bad[8] = 'X';  // not AIFF
  EXPECT_EQ(ParseAiff(bad.data(), bad.size(), &info), SOUND_BAD_HEADER);
  bad = plain;
  bad.pop_back();  // samples past the end
  EXPECT_EQ(ParseAiff(bad.data(), bad.size(), &info), SOUND_BAD_HEADER);
  bad = plain;
  bad[49] = 0x40;  // SSND offset field points far away
  EXPECT_EQ(ParseAiff(bad.data(), bad.size(), &info), SOUND_BAD_HEADER);
  bad = plain;
  bad[21] = 0;  // no channels
  EXPECT_EQ(ParseAiff(bad.data(), bad.size(), &info), SOUND_BAD_HEADER);
  bad = plain;
  bad[45] = 4;  // SSND shorter than its own fields
  EXPECT_EQ(ParseAiff(bad.data(), bad.size(), &info), SOUND_BAD_HEADER);
  bad = plain;
  bad[19] = 17;  // COMM too short
  EXPECT_EQ(ParseAiff(bad.data(), bad.size(), &info), SOUND_BAD_HEADER);
  EXPECT_EQ(ParseAiff(plain.data(), 30, &info), SOUND_BAD_HEADER);
}

void SetBe32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (24 - 8 * i));
}

// Every prefix in a buffer of exactly its size: refused until the last
// sample is there.
TEST(AiffFileTest, TruncatedFilesAreRefusedUntilWhole) {
  const auto whole = AiffImage(2, 16, 44100, 5);
  for (std::size_t n = 0; n <= whole.size(); ++n) {
    const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + std::ptrdiff_t(n));
    AiffInfo info;
    EXPECT_EQ(ParseAiff(prefix.data(), n, &info), n == whole.size() ? SOUND_OK : SOUND_BAD_HEADER)
        << n;
  }
}

TEST(AiffFileTest, ChunkSizesThatLieAreRefused) {
  const auto plain = AiffImage(1, 16, 8000, 6);
  AiffInfo info;
  auto parse = [&](const std::vector<std::uint8_t>& v) { return ParseAiff(v.data(), v.size(), &info); };
  auto bad = plain;
  SetBe32(bad, 16, 0xFFFFFFF0u);  // COMM claims past the end: SSND is never reached
  EXPECT_EQ(parse(bad), SOUND_BAD_HEADER);
  bad = plain;
  SetBe32(bad, 42, 0xFFFFFFFFu);  // SSND claims past the end
  EXPECT_EQ(parse(bad), SOUND_BAD_HEADER);
  bad = plain;
  SetBe32(bad, 46, 0xFFFFFFFCu);  // SSND offset wraps in 32 bits
  EXPECT_EQ(parse(bad), SOUND_BAD_HEADER);
  bad = plain;
  SetBe32(bad, 4, 30);  // FORM ends inside COMM: SSND lies outside it
  EXPECT_EQ(parse(bad), SOUND_BAD_HEADER);
  bad = plain;
  bad[21] = 3;  // three channels
  EXPECT_EQ(parse(bad), SOUND_BAD_HEADER);
  EXPECT_EQ(info.frames, 0u);  // a refused file leaves nothing behind

  // A COMM of odd size (19) with its pad byte: SSND is found behind it.
  std::vector<std::uint8_t> odd(plain.begin(), plain.begin() + 38);
  odd.insert(odd.end(), {0, 0});
  odd.insert(odd.end(), plain.begin() + 38, plain.end());
  SetBe32(odd, 16, 19);
  SetBe32(odd, 4, std::uint32_t(odd.size() - 8));
  ASSERT_EQ(parse(odd), SOUND_OK);
  EXPECT_EQ(info.frames, 6u);
  EXPECT_EQ(info.dataOffset, kAiffHeaderSize + 2);
}

}  // namespace
