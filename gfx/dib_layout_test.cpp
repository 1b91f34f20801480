#include "gfx/dib_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "gfx/image_test_support.h"
#include "pixel/pixel_format.h"
#include "sprite/sprite_tags.h"

namespace {

BITMAPINFOHEADER& HeaderOf(std::vector<std::uint8_t>& dib, std::size_t offset = 0) {
  return *reinterpret_cast<BITMAPINFOHEADER*>(dib.data() + offset);
}

// A file: the 14-byte "BM" header in front of a packed DIB.
std::vector<std::uint8_t> WithFileHeader(const std::vector<std::uint8_t>& dib,
                                         std::uint32_t tableBytes) {
  std::vector<std::uint8_t> file(14 + dib.size(), 0);
  file[0] = 'B';
  file[1] = 'M';
  const std::uint32_t size = std::uint32_t(14 + dib.size()), offset = 14 + 40 + tableBytes;
  std::memcpy(&file[2], &size, 4);
  std::memcpy(&file[10], &offset, 4);
  std::memcpy(&file[14], dib.data(), dib.size());
  return file;
}

bool Reads(const std::vector<std::uint8_t>& bytes, DibLayout* layout = nullptr) {
  DibLayout scratch;
  return ReadDibLayout(bytes.data(), bytes.size(), layout ? layout : &scratch);
}

TEST(DibLayoutTest, NewHeadersFollowTheTypeTable) {
  struct Row {
    std::uint16_t type;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::uint32_t bytes;
    std::uint32_t masks[3];
  };
  const Row rows[] = {
      {1, 1, BI_RGB, 48, {}},
      {2, 2, BI_RGB, 56, {}},
      {3, 4, BI_RGB, 104, {}},
      {4, 8, BI_RGB, 1064, {}},
      {7, 16, BI_BITFIELDS, 52, {0x7C00, 0x03E0, 0x001F}},
      {9, 16, BI_BITFIELDS, 52, {0xF800, 0x07E0, 0x001F}},
      {11, 24, BI_RGB, 40, {}},
      {13, 32, BI_RGB, 40, {}},
  };
  for (const Row& row : rows) {
    std::uint8_t scratch[kDibScratchBytes];
    std::memset(scratch, 0xAA, sizeof scratch);
    ASSERT_EQ(BuildDibHeader(scratch, 33, 17, row.type), row.bytes) << row.type;
    BITMAPINFOHEADER h;
    std::memcpy(&h, scratch, sizeof h);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 33);
    EXPECT_EQ(h.biHeight, 17);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, row.bitCount);
    EXPECT_EQ(h.biCompression, row.compression);
    EXPECT_EQ(h.biSizeImage | h.biClrUsed | h.biClrImportant | std::uint32_t(h.biXPelsPerMeter),
              0u);
    if (row.compression == BI_BITFIELDS) {
      std::uint32_t masks[3];
      std::memcpy(masks, scratch + 40, 12);
      EXPECT_EQ(masks[0], row.masks[0]);
      EXPECT_EQ(masks[1], row.masks[1]);
      EXPECT_EQ(masks[2], row.masks[2]);
    } else {
      for (std::uint32_t i = 40; i < row.bytes + (row.type == 13 ? 12 : 0); ++i)
        ASSERT_EQ(scratch[i], 0) << "type " << row.type << " byte " << i;
    }
  }
  std::uint8_t scratch[kDibScratchBytes];
  for (std::uint16_t type : {0, 5, 6, 8, 10, 12, 14, 15})
    EXPECT_EQ(BuildDibHeader(scratch, 4, 4, type), 0u) << type;
}

TEST(DibLayoutTest, BuiltBitmapsReadBackWithTheirTypes) {
  std::mt19937 rng(7);
  for (std::uint16_t type : {1, 2, 3, 4, 7, 9, 11, 13}) {
    for (std::int32_t width : {1, 3, 5, 31, 32, 33}) {
      std::vector<std::uint8_t> dib = RandomDib(width, 3, type, rng);
      DibLayout layout;
      ASSERT_TRUE(Reads(dib, &layout)) << type << " " << width;
      EXPECT_EQ(layout.type, type);
      EXPECT_EQ(layout.headerOffset, 0u);
      EXPECT_FALSE(layout.encoded);
      EXPECT_EQ(layout.TotalBytes(), dib.size());
      // Every byte counts: one fewer is refused.
      EXPECT_FALSE(ReadDibLayout(dib.data(), dib.size() - 1, &layout)) << type << " " << width;
    }
  }
}

TEST(DibLayoutTest, RowsOfSubByteDepthsAreWholeWords) {
  // Three 1-bit pixels still take a 4-byte row.
  std::mt19937 rng(1);
  std::vector<std::uint8_t> dib = RandomDib(3, 2, 1, rng);
  DibLayout layout;
  ASSERT_TRUE(Reads(dib, &layout));
  EXPECT_EQ(layout.bitsBytes, 8u);
}

TEST(DibLayoutTest, HeaderToTypeRule) {
  BITMAPINFOHEADER h = {};
  h.biBitCount = 16;
  h.biCompression = BI_RGB;
  EXPECT_EQ(DibTypeOfHeader(h, 0x07E0), 7);
  h.biCompression = TAG_PKC1;
  EXPECT_EQ(DibTypeOfHeader(h, 0x07E0), 7);
  h.biCompression = BI_BITFIELDS;
  EXPECT_EQ(DibTypeOfHeader(h, 0x03E0), 7);
  EXPECT_EQ(DibTypeOfHeader(h, 0x07E0), 9);
  h.biCompression = TAG_PKC2;
  EXPECT_EQ(DibTypeOfHeader(h, 0x07E0), 9);
  const std::pair<std::uint16_t, std::uint16_t> depths[] = {{1, 1},   {2, 2},   {4, 3}, {8, 4},
                                                            {24, 11}, {32, 13}, {3, 0}, {12, 0}};
  for (auto [bits, type] : depths) {
    h.biBitCount = bits;
    EXPECT_EQ(DibTypeOfHeader(h, 0), type) << bits;
  }
}

TEST(DibLayoutTest, FileHeaderIsSkippedWhenItsOffsetAgrees) {
  std::mt19937 rng(3);
  std::vector<std::uint8_t> dib = RandomDib(5, 4, 4, rng);
  std::vector<std::uint8_t> file = WithFileHeader(dib, 1024);
  DibLayout layout;
  ASSERT_TRUE(Reads(file, &layout));
  EXPECT_EQ(layout.headerOffset, 14u);
  EXPECT_EQ(layout.type, 4);
  std::uint32_t wrongOffset = 54;  // says the bits follow the header directly
  std::memcpy(&file[10], &wrongOffset, 4);
  EXPECT_FALSE(Reads(file));
}

TEST(DibLayoutTest, ShortColourTablesAndUsedCounts) {
  std::mt19937 rng(5);
  std::vector<std::uint8_t> dib = RandomDib(6, 2, 4, rng);
  // Keep 3 table entries: the bits follow at once.
  std::vector<std::uint8_t> shortTable(dib.begin(), dib.begin() + 40 + 12);
  shortTable.insert(shortTable.end(), dib.begin() + 1064, dib.end());
  HeaderOf(shortTable).biClrUsed = 3;
  DibLayout layout;
  ASSERT_TRUE(Reads(shortTable, &layout));
  EXPECT_EQ(layout.tableEntries, 3u);
  EXPECT_EQ(layout.tableBytes, 12u);
  HeaderOf(shortTable).biClrUsed = 257;
  EXPECT_FALSE(Reads(shortTable));
  HeaderOf(shortTable).biClrUsed = 300;  // would claim the bits as colours
  EXPECT_FALSE(Reads(shortTable));
}

TEST(DibLayoutTest, RefusesWhatCannotBeHonoured) {
  std::mt19937 rng(9);
  const std::vector<std::uint8_t> good = RandomDib(9, 5, 11, rng);
  ASSERT_TRUE(Reads(good));
  struct Case {
    const char* what;
    void (*spoil)(BITMAPINFOHEADER&);
  };
  const Case cases[] = {
      {"header size", [](BITMAPINFOHEADER& h) { h.biSize = 108; }},
      {"top-down", [](BITMAPINFOHEADER& h) { h.biHeight = -h.biHeight; }},
      {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -9; }},
      {"wide", [](BITMAPINFOHEADER& h) { h.biWidth = 65536; }},
      {"tall", [](BITMAPINFOHEADER& h) { h.biHeight = 70000; }},
      {"depth 3", [](BITMAPINFOHEADER& h) { h.biBitCount = 3; }},
      {"depth 0", [](BITMAPINFOHEADER& h) { h.biBitCount = 0; }},
      {"run-length 8", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }},
      {"JPEG", [](BITMAPINFOHEADER& h) { h.biCompression = BI_JPEG; }},
      {"bit fields at 24", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }},
      {"unknown tag", [](BITMAPINFOHEADER& h) { h.biCompression = TAG_PKCC; }},
      {"colour table at 24", [](BITMAPINFOHEADER& h) { h.biClrUsed = 4; }},
      {"huge",
       [](BITMAPINFOHEADER& h) {
         h.biWidth = 65535;
         h.biHeight = 65535;
       }},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bad = good;
    c.spoil(HeaderOf(bad));
    EXPECT_FALSE(Reads(bad)) << c.what;
  }
  for (std::size_t size = 0; size < good.size(); ++size) {
    DibLayout layout;
    ASSERT_FALSE(ReadDibLayout(good.data(), size, &layout)) << size;
  }
}

TEST(DibLayoutTest, BitFieldMasksMustBeOnesTheKernelsDraw) {
  std::mt19937 rng(11);
  std::vector<std::uint8_t> dib = RandomDib(4, 4, 9, rng);
  ASSERT_TRUE(Reads(dib));
  const std::uint32_t odd[3] = {0x0F00, 0x00F0, 0x000F};  // 4-4-4
  std::memcpy(&dib[40], odd, 12);
  EXPECT_FALSE(Reads(dib));

  std::vector<std::uint8_t> deep = RandomDib(4, 4, 13, rng);
  BITMAPINFOHEADER h = HeaderOf(deep);
  h.biCompression = BI_BITFIELDS;
  std::vector<std::uint8_t> withMasks(40, 0);
  std::memcpy(withMasks.data(), &h, 40);
  const std::uint32_t bgr[3] = {0xFF0000, 0xFF00, 0xFF};
  withMasks.insert(withMasks.end(), reinterpret_cast<const std::uint8_t*>(bgr),
                   reinterpret_cast<const std::uint8_t*>(bgr) + 12);
  withMasks.insert(withMasks.end(), deep.begin() + 40, deep.end());
  DibLayout layout;
  ASSERT_TRUE(Reads(withMasks, &layout));
  EXPECT_EQ(layout.type, 13);
  const std::uint32_t rgb[3] = {0xFF, 0xFF00, 0xFF0000};
  std::memcpy(&withMasks[40], rgb, 12);
  EXPECT_FALSE(Reads(withMasks));
}

TEST(DibLayoutTest, EncodedBodiesAreSizedByTheirHeader) {
  std::vector<std::uint8_t> dib(40 + 1024 + 10, 0);
  BITMAPINFOHEADER h = {};
  h.biSize = 40;
  h.biWidth = 4;
  h.biHeight = 4;
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biCompression = TAG_ARLE;
  h.biSizeImage = 10;
  std::memcpy(dib.data(), &h, 40);
  DibLayout layout;
  ASSERT_TRUE(Reads(dib, &layout));
  EXPECT_TRUE(layout.encoded);
  EXPECT_EQ(layout.bitsBytes, 10u);
  HeaderOf(dib).biSizeImage = 11;
  EXPECT_FALSE(Reads(dib));
  HeaderOf(dib).biSizeImage = 0;
  EXPECT_FALSE(Reads(dib));
  HeaderOf(dib).biSizeImage = 10;
  HeaderOf(dib).biBitCount = 24;  // "ARLE" is 8-bit only
  EXPECT_FALSE(Reads(dib));
}

}  // namespace

namespace {

struct Normalised {
  std::uint32_t bytes = 0;  // before dib: NormaliseDib fills it while dib is initialised
  std::uint8_t* dib = nullptr;
  explicit Normalised(const std::vector<std::uint8_t>& in)
      : dib(NormaliseDib(in.data(), in.size(), &bytes)) {}
  ~Normalised() {
    if (dib) GlobalFree(dib);
  }
  std::vector<std::uint8_t> Bytes() const { return std::vector<std::uint8_t>(dib, dib + bytes); }
};

TEST(NormaliseDibTest, LaterHeadersBecomeTheFortyByteForm) {
  std::mt19937 rng(31);
  const std::vector<std::uint8_t> plain = RandomDib(7, 3, PIXEL_RGB565, rng);  // 40 + masks
  // The same bitmap with a 108-byte header holding the masks (and an alpha mask of 0).
  std::vector<std::uint8_t> v4(108, 0);
  std::memcpy(v4.data(), plain.data(), 40);
  HeaderOf(v4).biSize = 108;
  std::memcpy(&v4[40], &plain[40], 12);
  v4.insert(v4.end(), plain.begin() + 52, plain.end());
  EXPECT_FALSE(Reads(v4));
  Normalised n(v4);
  ASSERT_NE(n.dib, nullptr);
  DibLayout layout;
  ASSERT_TRUE(Reads(n.Bytes(), &layout));
  EXPECT_EQ(layout.type, PIXEL_RGB565);
  EXPECT_EQ(n.Bytes(), plain);
}

TEST(NormaliseDibTest, TopDownRowsTurnBottomUp) {
  std::mt19937 rng(32);
  const std::vector<std::uint8_t> plain = RandomDib(5, 4, PIXEL_INDEX8, rng);
  std::vector<std::uint8_t> topDown = plain;
  const std::size_t pitch = 8, bits = 1064;
  for (int row = 0; row < 4; ++row)
    std::memcpy(&topDown[bits + row * pitch], &plain[bits + (3 - row) * pitch], pitch);
  HeaderOf(topDown).biHeight = -4;
  Normalised n(topDown);
  ASSERT_NE(n.dib, nullptr);
  EXPECT_EQ(n.Bytes(), plain);
  HeaderOf(topDown).biHeight = INT32_MIN;
  EXPECT_EQ(Normalised(topDown).dib, nullptr);
}

TEST(NormaliseDibTest, AFileHeaderMayLeaveAGapBeforeTheBits) {
  std::mt19937 rng(33);
  const std::vector<std::uint8_t> plain = RandomDib(3, 2, PIXEL_RGB24, rng);
  std::vector<std::uint8_t> file = WithFileHeader(plain, 0);
  file.insert(file.begin() + 54, 6, 0xEE);  // six bytes between the header and the bits
  const std::uint32_t offset = 60;
  std::memcpy(&file[10], &offset, 4);
  EXPECT_FALSE(Reads(file));
  Normalised n(file);
  ASSERT_NE(n.dib, nullptr);
  EXPECT_EQ(n.Bytes(), plain);
  const std::uint32_t early = 50;  // before the end of the header
  std::memcpy(&file[10], &early, 4);
  EXPECT_EQ(Normalised(file).dib, nullptr);
}

TEST(NormaliseDibTest, OnlyPlainBitmapsThatFitQualify) {
  std::mt19937 rng(34);
  std::vector<std::uint8_t> plain = RandomDib(6, 5, PIXEL_INDEX8, rng);
  HeaderOf(plain).biHeight = -5;
  ASSERT_NE(Normalised(plain).dib, nullptr);
  for (std::size_t size = 0; size < plain.size(); ++size) {
    std::uint32_t bytes = 0;
    std::uint8_t* out = NormaliseDib(plain.data(), size, &bytes);
    ASSERT_EQ(out, nullptr) << size;
  }
  std::vector<std::uint8_t> rle = plain;
  HeaderOf(rle).biCompression = BI_RLE8;
  EXPECT_EQ(Normalised(rle).dib, nullptr);
  std::vector<std::uint8_t> tagged = plain;
  HeaderOf(tagged).biCompression = TAG_ARLE;
  EXPECT_EQ(Normalised(tagged).dib, nullptr);
  std::vector<std::uint8_t> odd = plain;
  HeaderOf(odd).biSize = 64;
  EXPECT_EQ(Normalised(odd).dib, nullptr);
}

}  // namespace
