#include "sound/riff_wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "sound/wave_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}
void Chunk(Bytes& v, const char* id, const Bytes& body, std::uint32_t claimed) {
  v.insert(v.end(), id, id + 4);
  Put32(v, claimed);
  v.insert(v.end(), body.begin(), body.end());
}
void Chunk(Bytes& v, const char* id, const Bytes& body) {
  Chunk(v, id, body, std::uint32_t(body.size()));
  if (body.size() & 1) v.push_back(0);
}
Bytes Riff(const Bytes& body) {
  Bytes form = {'W', 'A', 'V', 'E'};
  form.insert(form.end(), body.begin(), body.end());
  Bytes image;
  Chunk(image, "RIFF", form);
  return image;
}
Bytes Fmt16(std::uint16_t align = 1) {
  WAVEFORMATEX f;
  MakePcmFormat(&f, 11025, 8, 1);
  f.nBlockAlign = align;
  Bytes b(16);
  std::memcpy(b.data(), &f, 16);
  return b;
}

TEST(RiffWaveTest, WrittenImageReadsBackWithItsTexts) {
  WAVEFORMATEX f;
  MakePcmFormat(&f, 22050, 16, 2);
  const Bytes samples = {1, 2, 3, 4, 5, 6, 7, 8};
  std::string info[kInfoTagCount];
  info[InfoTagIndex("INAM")] = "Surf";
  info[InfoTagIndex("ICMT")] = "odd length";  // 11 bytes with its NUL: padded
  info[InfoTagIndex("ITCH")] = "x";
  const Bytes image = WriteRiffWave(f, samples.data(), 8, info);
  RiffWaveImage w;
  ASSERT_TRUE(ParseRiffWave(image.data(), image.size(), &w));
  EXPECT_EQ(w.format.size(), 18u);
  EXPECT_EQ(std::memcmp(&w.Format(), &f, 18), 0);
  EXPECT_EQ(w.dataSize, 8u);
  EXPECT_EQ(std::memcmp(image.data() + w.dataOffset, samples.data(), 8), 0);
  for (int i = 0; i < kInfoTagCount; ++i) EXPECT_EQ(w.info[i], info[i]) << kInfoTags[i];
  EXPECT_EQ(InfoTagIndex("IXXX"), -1);
  EXPECT_EQ(InfoTagIndex(nullptr), -1);
}

TEST(RiffWaveTest, ShortFormatIsWidenedAndChunksAreWalkedWithPadBytes) {
  Bytes body;
  Chunk(body, "junk", {9, 9, 9});  // odd: one pad byte
  Chunk(body, "fmt ", Fmt16());
  Chunk(body, "cue ", {1});
  Chunk(body, "data", {0x80, 0x90, 0xA0});
  Bytes list = {'I', 'N', 'F', 'O'};
  Chunk(list, "IART", {'a', 'b'});  // no NUL: the chunk's bytes are the text
  Chunk(body, "LIST", list);
  const Bytes image = Riff(body);
  RiffWaveImage w;
  ASSERT_TRUE(ParseRiffWave(image.data(), image.size(), &w));
  EXPECT_EQ(w.format.size(), 18u);
  EXPECT_EQ(w.Format().cbSize, 0);
  EXPECT_EQ(w.Format().nSamplesPerSec, 11025u);
  EXPECT_EQ(w.dataSize, 3u);
  EXPECT_EQ(image[w.dataOffset], 0x80);
  EXPECT_EQ(w.info[InfoTagIndex("IART")], "ab");
}

TEST(RiffWaveTest, RejectsLyingAndMalformedImages) {
  RiffWaveImage w;
  auto parses = [&](const Bytes& image) { return ParseRiffWave(image.data(), image.size(), &w); };
  {  // "data" claims more than the image holds
    Bytes body;
    Chunk(body, "fmt ", Fmt16());
    Chunk(body, "data", {1, 2, 3, 4}, 5);
    EXPECT_FALSE(parses(Riff(body)));
    Bytes huge;
    Chunk(huge, "fmt ", Fmt16());
    Chunk(huge, "data", {1, 2, 3, 4}, 0xFFFFFFF0u);
    EXPECT_FALSE(parses(Riff(huge)));
  }
  {  // block align 0
    Bytes body;
    Chunk(body, "fmt ", Fmt16(0));
    Chunk(body, "data", {1, 2});
    EXPECT_FALSE(parses(Riff(body)));
  }
  {  // "data" only before "fmt "
    Bytes body;
    Chunk(body, "data", {1, 2});
    Chunk(body, "fmt ", Fmt16());
    EXPECT_FALSE(parses(Riff(body)));
  }
  {  // a compressed format whose extra bytes are not there
    Bytes fmt = Fmt16();
    fmt[0] = 0x11;
    fmt.push_back(40);  // cbSize 40, nothing behind it
    fmt.push_back(0);
    Bytes body;
    Chunk(body, "fmt ", fmt);
    Chunk(body, "data", {1, 2});
    EXPECT_FALSE(parses(Riff(body)));
  }
  {  // a chunk size that would walk past the end, and a short format
    Bytes body;
    Chunk(body, "junk", {}, 0xFFFFFFFFu);
    Chunk(body, "fmt ", Fmt16());
    EXPECT_FALSE(parses(Riff(body)));
    Bytes shortFmt;
    Chunk(shortFmt, "fmt ", {1, 0, 1, 0});
    EXPECT_FALSE(parses(Riff(shortFmt)));
  }
  EXPECT_FALSE(parses({}));
  EXPECT_FALSE(parses({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}));
  EXPECT_FALSE(ParseRiffWave(nullptr, 100, &w));
}

TEST(RiffWaveTest, ARiffSizeLargerThanTheImageIsCutToTheImage) {
  Bytes body;
  Chunk(body, "fmt ", Fmt16());
  Chunk(body, "data", {1, 2, 3});
  Bytes image = Riff(body);
  image[4] = 0xFF;
  image[5] = 0xFF;
  RiffWaveImage w;
  ASSERT_TRUE(ParseRiffWave(image.data(), image.size(), &w));
  EXPECT_EQ(w.dataSize, 3u);
}

}  // namespace

// Every prefix of a whole image, each in a buffer of exactly its size: the
// image parses once its samples are complete, and then the texts are those of
// the whole image cut where the prefix ends.
TEST(RiffWaveTest, TruncatedImagesParseOnlyOnceTheirSamplesAreWhole) {
  WAVEFORMATEX f;
  MakePcmFormat(&f, 8000, 8, 1);
  const Bytes samples = {1, 2, 3, 4, 5};  // odd: a pad byte follows
  std::string info[kInfoTagCount];
  info[InfoTagIndex("IART")] = "Reef";
  info[InfoTagIndex("ISFT")] = "Tidewater tools";
  const Bytes whole = WriteRiffWave(f, samples.data(), 5, info);
  RiffWaveImage full;
  ASSERT_TRUE(ParseRiffWave(whole.data(), whole.size(), &full));
  for (std::size_t n = 0; n <= whole.size(); ++n) {
    const Bytes prefix(whole.begin(), whole.begin() + std::ptrdiff_t(n));
    RiffWaveImage w;
    const bool parsed = ParseRiffWave(prefix.data(), n, &w);
    ASSERT_EQ(parsed, n >= full.dataOffset + full.dataSize) << n;
    if (!parsed) continue;
    EXPECT_EQ(w.dataSize, 5u);
    for (int i = 0; i < kInfoTagCount; ++i) {
      EXPECT_EQ(w.info[i], full.info[i].substr(0, w.info[i].size())) << n << kInfoTags[i];
    }
  }
}

TEST(RiffWaveTest, LyingSizesInsideTheFormatAndTheTexts) {
  RiffWaveImage w;
  auto parses = [&](const Bytes& image) { return ParseRiffWave(image.data(), image.size(), &w); };
  {  // "fmt " claims more than the image holds
    Bytes body;
    Chunk(body, "fmt ", Fmt16(), 1000);
    EXPECT_FALSE(parses(Riff(body)));
  }
  for (int field : {2, 8}) {  // no channels, no byte rate
    Bytes fmt = Fmt16();
    std::fill(fmt.begin() + field, fmt.begin() + field + (field == 2 ? 2 : 4), 0);
    Bytes body;
    Chunk(body, "fmt ", fmt);
    Chunk(body, "data", {1, 2});
    EXPECT_FALSE(parses(Riff(body))) << field;
  }
  {  // a text claiming more than its list, a list claiming more than the image
    Bytes list = {'I', 'N', 'F', 'O'};
    Chunk(list, "INAM", {'a', 'b', 'c'}, 40);
    Bytes body;
    Chunk(body, "fmt ", Fmt16());
    Chunk(body, "data", {1, 2});
    Chunk(body, "LIST", list, 400);
    ASSERT_TRUE(parses(Riff(body)));
    EXPECT_EQ(w.info[InfoTagIndex("INAM")], "abc");
  }
  {  // an odd "data" chunk without its pad byte: the list behind it is lost, the sound is not
    Bytes body;
    Chunk(body, "fmt ", Fmt16());
    Chunk(body, "data", {1, 2, 3}, 3);
    Bytes list = {'I', 'N', 'F', 'O'};
    Chunk(list, "INAM", {'x', 0});
    Chunk(body, "LIST", list);
    ASSERT_TRUE(parses(Riff(body)));
    EXPECT_EQ(w.dataSize, 3u);
    EXPECT_EQ(w.info[InfoTagIndex("INAM")], "");
  }
}
