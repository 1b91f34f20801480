#include "sprite/arle.h"

#include "pixel/pixel_format.h"
#include "sprite/memo_block.h"
#include "sprite/sprite_tags.h"
#include "sprite/sprite_test_support.h"
#include "sprite/trle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<BYTE> OneRow(const std::vector<BYTE>& pixels) {
  std::vector<BYTE> dib = MakeBitmap(int(pixels.size()), 1, 8);
  std::memcpy(PictureRow(dib, 0), pixels.data(), pixels.size());
  return dib;
}

// The codes of the single row of a one-row "ARLE" sprite.
std::vector<BYTE> RowCodes(const CodecResult& sprite) {
  const BYTE* body = sprite.data() + 40 + 1024;
  EXPECT_EQ(ReadU32(body), 4u);
  return std::vector<BYTE>(body + 4, body + sprite->biSizeImage);
}

std::vector<BYTE> Concat(std::vector<BYTE> a, const std::vector<BYTE>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<BYTE> Encoded(const std::vector<BYTE>& plain) {
  CodecResult sprite = Apply(EncodeArle, plain);
  EXPECT_TRUE(sprite);
  return sprite ? sprite.Copy() : std::vector<BYTE>();
}

bool Valid(const std::vector<BYTE>& sprite) { return ValidateArle(Header(sprite), sprite.size()); }

std::vector<BYTE> RandomBitmap(int width, int height, std::mt19937& rng, std::uint32_t clrUsed = 0) {
  std::vector<BYTE> dib = MakeBitmap(width, height, 8, 0, clrUsed, clrUsed ? clrUsed : 256);
  FillIndexed(dib, rng);
  return dib;
}

}  // namespace

TEST(ArleEncoding, ByteExactCodes) {
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow({9, 8, 7}))), (std::vector<BYTE>{0x03, 9, 8, 7}));
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow(std::vector<BYTE>(100, 7)))),
            (std::vector<BYTE>{0xC0, 0x64, 0x07}));
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow(std::vector<BYTE>(10, 7)))),
            (std::vector<BYTE>{0x4A, 0x07}));
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow({1, 2, 3, 4, 4, 4, 4, 5}))),
            (std::vector<BYTE>{0x03, 1, 2, 3, 0x44, 4, 0x01, 5}));
  std::vector<BYTE> distinct(70);
  for (int i = 0; i < 70; ++i) distinct[i] = BYTE(i);
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow(distinct))),
            Concat({0x80, 0x46}, distinct));
  // A run of 63 stays short, 64 goes long; a run that ends three pixels
  // before the end leaves a literal tail.
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow(std::vector<BYTE>(63, 2)))),
            (std::vector<BYTE>{0x7F, 2}));
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow(std::vector<BYTE>(64, 2)))),
            (std::vector<BYTE>{0xC0, 0x40, 2}));
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow({5, 5, 5, 5, 5, 1, 2, 3}))),
            (std::vector<BYTE>{0x45, 5, 0x03, 1, 2, 3}));
  // Four equal pixels that end the row still make a fill.
  EXPECT_EQ(RowCodes(Apply(EncodeArle, OneRow({1, 2, 6, 6, 6, 6}))),
            (std::vector<BYTE>{0x02, 1, 2, 0x44, 6}));
}

TEST(ArleEncoding, HeaderTableAndRowTable) {
  std::mt19937 rng(3);
  const std::vector<BYTE> plain = RandomBitmap(37, 5, rng, 16);
  CodecResult sprite = Apply(EncodeArle, plain);
  ASSERT_TRUE(sprite);
  EXPECT_EQ(sprite->biCompression, 0x454C5241u);
  EXPECT_EQ(sprite->biClrUsed, 16u);
  EXPECT_EQ(sprite->biXPelsPerMeter, 2835);
  EXPECT_EQ(sprite.bytes(), 40 + 64 + sprite->biSizeImage);
  EXPECT_EQ(std::memcmp(sprite.data() + 40, plain.data() + 40, 64), 0);
  const BYTE* body = sprite.data() + 104;
  EXPECT_EQ(ReadU32(body), 20u);
  for (int r = 1; r < 5; ++r) EXPECT_GT(ReadU32(body + 4 * r), ReadU32(body + 4 * (r - 1)));
}

// Walks every code of a valid sprite: short forms exactly for 1..63 pixels.
TEST(ArleEncoding, ShortFormsBelow64LongFormsAbove) {
  std::mt19937 rng(4);
  const std::vector<BYTE> plain = RandomBitmap(900, 6, rng);
  CodecResult sprite = Apply(EncodeArle, plain);
  ASSERT_TRUE(sprite);
  const BYTE* body = sprite.data() + 1064;
  std::size_t pos = 4 * 6;
  int longCodes = 0;
  while (pos < sprite->biSizeImage) {
    const BYTE c = body[pos];
    const std::uint32_t n = c & 0x80 ? (c & 0x3F) << 8 | body[pos + 1] : c & 0x3F;
    EXPECT_EQ(n >= 64, (c & 0x80) != 0);
    longCodes += n >= 64;
    pos += (c & 0x80 ? 2 : 1) + (c & 0x40 ? 1 : n);
  }
  EXPECT_EQ(pos, sprite->biSizeImage);
  EXPECT_GT(longCodes, 0);
}

TEST(ArleEncoding, RoundTripsEveryWidthClass) {
  std::mt19937 rng(5);
  for (int width : {1, 2, 3, 4, 5, 63, 64, 65, 1000, 16383}) {
    const int height = width > 1000 ? 3 : 9;
    const std::vector<BYTE> plain = RandomBitmap(width, height, rng);
    SCOPED_TRACE(width);
    CodecResult arle = Apply(EncodeArle, plain);
    ASSERT_TRUE(arle);
    EXPECT_TRUE(ValidateArle(arle.get(), arle.bytes()));
    EXPECT_TRUE(SamePlainBitmap(plain, Apply(DecodeArle, arle.Copy())));

    CodecResult prle = Apply(EncodePrle, plain);
    ASSERT_TRUE(prle);
    EXPECT_EQ(prle->biCompression, 0x454C5250u);
    EXPECT_EQ(prle.bytes(), 1064 + prle->biSizeImage);
    EXPECT_EQ(MemoTotalSize(prle.data() + 1064, prle->biSizeImage), prle->biSizeImage);
    EXPECT_TRUE(ValidatePrle(prle.get(), prle.bytes()));
    EXPECT_TRUE(SamePlainBitmap(plain, Apply(DecodePrle, prle.Copy())));
    // PRLE holds exactly the ARLE body.
    EXPECT_EQ(Apply(PrleToArle, prle.Copy()).Copy(), arle.Copy());
  }
}

TEST(ArleEncoding, RefusesWhatItCannotEncode) {
  std::mt19937 rng(6);
  std::vector<BYTE> plain = RandomBitmap(20, 4, rng);
  EXPECT_FALSE(Apply(EncodeArle, MakeBitmap(20, 4, 16)));
  EXPECT_FALSE(Apply(EncodeArle, MakeBitmap(20, 4, 4, 0, 0, 16)));
  EXPECT_FALSE(Apply(EncodeArle, MakeBitmap(16384, 1, 8)));  // counts stop at 16383
  EXPECT_FALSE(Apply(EncodeArle, Encoded(plain)));
  EXPECT_FALSE(Apply(EncodePrle, Encoded(plain)));
  std::vector<BYTE> bad = plain;
  WriteU32(&bad[0], 12);  // biSize
  EXPECT_FALSE(Apply(EncodeArle, bad));
  bad = plain;
  WriteU32(&bad[32], 257);  // biClrUsed
  EXPECT_FALSE(Apply(EncodeArle, bad));
  bad = plain;
  WriteU32(&bad[8], std::uint32_t(-4));  // top-down
  EXPECT_FALSE(Apply(EncodeArle, bad));
  // One byte short of the last row.
  bad = plain;
  bad.pop_back();
  EXPECT_FALSE(Apply(EncodeArle, bad));
  EXPECT_EQ(EncodeArle(nullptr, 100), nullptr);
}

TEST(ArleDecoding, RefusesOtherEncodings) {
  std::mt19937 rng(7);
  const std::vector<BYTE> plain = RandomBitmap(20, 4, rng);
  EXPECT_FALSE(Apply(DecodeArle, Apply(EncodeTrle, plain).Copy()));
  EXPECT_FALSE(Apply(DecodeArle, Apply(EncodePrle, plain).Copy()));
  EXPECT_FALSE(Apply(DecodeArle, plain));
  EXPECT_FALSE(Apply(PrleToArle, Encoded(plain)));
  EXPECT_FALSE(Apply(ArleToPrle, Apply(EncodePrle, plain).Copy()));
}

TEST(ArleValidation, MalformedSpritesAreRefused) {
  // Two rows of 10: row 0 = fill 10, row 1 = literal 3 + fill 7.
  std::vector<BYTE> plain = MakeBitmap(10, 2, 8);
  std::memset(PictureRow(plain, 0), 4, 10);
  BYTE* row1 = PictureRow(plain, 1);
  row1[0] = 1, row1[1] = 2, row1[2] = 3;
  std::memset(row1 + 3, 9, 7);
  const std::vector<BYTE> good = Encoded(plain);
  ASSERT_EQ(good.size(), 1064u + 8 + 2 + 4 + 2);
  ASSERT_TRUE(Valid(good));
  const std::size_t t = 1064;

  for (std::size_t n = 0; n < good.size(); ++n) {
    std::vector<BYTE> cut(good.begin(), good.begin() + n);
    EXPECT_FALSE(Valid(cut)) << "truncated to " << n;
    EXPECT_FALSE(Apply(DecodeArle, cut));
  }
  auto refused = [&](auto change) {
    std::vector<BYTE> bad = good;
    change(bad);
    EXPECT_FALSE(Valid(bad));
    EXPECT_FALSE(Apply(DecodeArle, bad));
    EXPECT_FALSE(Apply(ArleToPrle, bad));
  };
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[t], 12); });        // row 0 not at 4H
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[t + 4], 9); });     // row 1 overlaps row 0
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[t + 4], 4000); });  // outside the body
  refused([&](std::vector<BYTE>& b) { b[t + 8] = 0x49; });            // row 0 sums to 9
  refused([&](std::vector<BYTE>& b) { b[t + 8] = 0x4B; });            // row 0 passes W
  refused([&](std::vector<BYTE>& b) { b[t + 8] = 0x40; });            // zero-length fill
  refused([&](std::vector<BYTE>& b) { b[t + 10] = 0x00; });           // zero-length literal
  refused([&](std::vector<BYTE>& b) { b[t + 8] = 0xC0, b[t + 9] = 0; });  // zero long fill
  refused([&](std::vector<BYTE>& b) { b[t + 10] = 0x09; });           // literal past the body
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[20], 15); });       // body cut short
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[20], 17); });       // more than there is
  refused([&](std::vector<BYTE>& b) { b.push_back(0), WriteU32(&b[20], 17); });  // junk after
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[20], 0xFFFFFFF0u); });
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[32], 300); });      // biClrUsed
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[4], 16384); });     // width
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[8], 0); });         // height
  refused([&](std::vector<BYTE>& b) { b[14] = 16; });                 // depth

  // A long code for a few pixels is unusual but well formed.
  std::vector<BYTE> longForm = good;
  longForm.erase(longForm.begin() + t + 8, longForm.begin() + t + 10);
  const BYTE longFill[] = {0xC0, 10, 4};
  longForm.insert(longForm.begin() + t + 8, longFill, longFill + 3);
  WriteU32(&longForm[t + 4], 11);
  WriteU32(&longForm[20], 17);
  EXPECT_TRUE(Valid(longForm));
  EXPECT_TRUE(SamePlainBitmap(plain, Apply(DecodeArle, longForm)));
}

TEST(ArleValidation, PrleBlockLiesAreRefused) {
  std::mt19937 rng(8);
  const std::vector<BYTE> plain = RandomBitmap(30, 6, rng);
  const std::vector<BYTE> good = Apply(EncodePrle, plain).Copy();
  ASSERT_FALSE(good.empty());
  const std::size_t t = 1064;
  auto refused = [&](auto change) {
    std::vector<BYTE> bad = good;
    change(bad);
    EXPECT_FALSE(Apply(PrleToArle, bad));
    EXPECT_FALSE(Apply(DecodePrle, bad));
  };
  refused([&](std::vector<BYTE>& b) { b[t] = 'X'; });                          // magic
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[t + 4], ReadU32(&b[t + 4]) - 1); });
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[20], ReadU32(&b[20]) + 1); });
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[t + 8], ReadU32(&b[t + 8]) + 1); });
  // Far more data than any 30 x 6 body can take: refused before expanding.
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[t + 8], 100000); });
  {
    std::vector<BYTE> bad = good;
    WriteU32(&bad[t + 8], 100000);
    EXPECT_FALSE(ValidatePrle(Header(bad), bad.size()));
  }
  for (std::size_t n = 0; n < good.size(); ++n)
    EXPECT_FALSE(Apply(PrleToArle, std::vector<BYTE>(good.begin(), good.begin() + n))) << n;

  // A well-formed block whose content is not a valid ARLE body.
  std::vector<BYTE> junk(6 * 4 + 40, 0x41);
  SIZE_T blockBytes = 0;
  void* block = MemoCompress(junk.data(), junk.size(), &blockBytes);
  ASSERT_NE(block, nullptr);
  std::vector<BYTE> bad(good.begin(), good.begin() + t);
  bad.insert(bad.end(), static_cast<BYTE*>(block), static_cast<BYTE*>(block) + blockBytes);
  GlobalFree(block);
  WriteU32(&bad[20], std::uint32_t(blockBytes));
  EXPECT_TRUE(ValidatePrle(Header(bad), bad.size()));
  EXPECT_FALSE(Apply(PrleToArle, bad));
}

TEST(ArleRemap, IndicesAndTableFollowTheNewPalette) {
  // Old colours lie close to new entries 255 - i (low bits differ), so the
  // nearest entry of old index i is known without asking the octree.
  std::vector<PaletteEntry> entries(256);
  for (int i = 0; i < 256; ++i) {
    const int j = 255 - i;
    entries[i] = {BYTE((j & 7) << 5), BYTE((j >> 3 & 7) << 5), BYTE((j >> 6) << 6), 0};
  }
  // Entry 250 is reserved: its twin 251 must be chosen instead.
  entries[250].flags = 1;
  entries[251] = entries[250];
  entries[251].flags = 0;

  std::mt19937 rng(10);
  std::vector<BYTE> plain = RandomBitmap(77, 9, rng);
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = entries[255 - i];
    plain[40 + 4 * i] = BYTE(e.blue | (i & 7));
    plain[40 + 4 * i + 1] = BYTE(e.green | 3);
    plain[40 + 4 * i + 2] = e.red;
    plain[40 + 4 * i + 3] = BYTE(i);
  }
  std::vector<BYTE> sprite = Encoded(plain);
  const std::vector<BYTE> before = sprite;
  ASSERT_EQ(RemapArle(reinterpret_cast<BITMAPINFOHEADER*>(sprite.data()), sprite.size(),
                      entries.data()),
            1);
  ASSERT_TRUE(Valid(sprite));
  // The codes keep their shape.
  EXPECT_EQ(std::memcmp(sprite.data() + 1064, before.data() + 1064, 4 * 9), 0);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(sprite[40 + 4 * i], entries[i].blue);
    EXPECT_EQ(sprite[40 + 4 * i + 1], entries[i].green);
    EXPECT_EQ(sprite[40 + 4 * i + 2], entries[i].red);
    EXPECT_EQ(sprite[40 + 4 * i + 3], BYTE(i));  // fourth byte untouched
  }
  CodecResult decoded = Apply(DecodeArle, sprite);
  ASSERT_TRUE(decoded);
  for (int r = 0; r < 9; ++r)
    for (int x = 0; x < 77; ++x) {
      const int old = PictureRow(plain.data(), r)[x];
      const int want = 255 - old == 250 ? 251 : 255 - old;
      ASSERT_EQ(PictureRow(decoded.data(), r)[x], want) << r << "," << x;
    }
}

TEST(ArleRemap, RefusedSpritesStayUnchanged) {
  std::vector<PaletteEntry> entries(256, PaletteEntry{10, 20, 30, 0});
  std::mt19937 rng(11);
  auto unchanged = [&](std::vector<BYTE> sprite, const PaletteEntry* palette) {
    const std::vector<BYTE> before = sprite;
    EXPECT_EQ(RemapArle(reinterpret_cast<BITMAPINFOHEADER*>(sprite.data()), sprite.size(),
                        palette),
              0);
    EXPECT_EQ(sprite, before);
  };
  // A short colour table cannot take 256 new entries.
  unchanged(Encoded(RandomBitmap(20, 3, rng, 16)), entries.data());
  // No entry may be chosen.
  std::vector<PaletteEntry> reserved(256, PaletteEntry{1, 2, 3, 1});
  unchanged(Encoded(RandomBitmap(20, 3, rng)), reserved.data());
  unchanged(Encoded(RandomBitmap(20, 3, rng)), nullptr);
  // Malformed codes are refused before anything is written.
  std::vector<BYTE> bad = Encoded(RandomBitmap(20, 3, rng));
  bad[1064 + 12] = 0x40;
  unchanged(bad, entries.data());
  unchanged(Apply(EncodeTrle, RandomBitmap(20, 3, rng)).Copy(), entries.data());
}
