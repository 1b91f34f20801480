#include "sprite/trle.h"

#include "pixel/inverse_colour_map.h"
#include "pixel/pixel_format.h"
#include "sprite/arle.h"
#include "sprite/sprite_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Row {
  std::uint32_t offset;
  int skip;
  int count;
};

Row RowOf(const CodecResult& sprite, int r) {
  const std::uint32_t t = sprite->biBitCount == 8
                              ? 40 + 4 * (sprite->biClrUsed ? sprite->biClrUsed : 256)
                              : 40;
  const BYTE* rec = sprite.data() + t + 16 + 8 * r;
  return {ReadU32(rec), ReadU16(rec + 4), ReadU16(rec + 6)};
}

std::vector<BYTE> SparseBitmap(int width, int height, std::mt19937& rng) {
  std::vector<BYTE> dib = MakeBitmap(width, height, 8);
  FillIndexed(dib, rng, 0.6);
  if (height > 2) std::memset(PictureRow(dib, 1), 0, width);  // one empty row
  return dib;
}

bool Valid(const std::vector<BYTE>& sprite) { return ValidateTrle(Header(sprite), sprite.size()); }

// The pixel of picture (x, r) of a plain bitmap of `bytes` per pixel.
std::uint32_t PixelAt(const BYTE* dib, int r, int x, int bytes) {
  const BYTE* p = PictureRow(dib, r) + x * bytes;
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint32_t(p[i]) << (8 * i);
  return v;
}

}  // namespace

TEST(TrleEncoding, RowsKeepTheirNonZeroSpan) {
  std::vector<BYTE> plain = MakeBitmap(7, 3, 8);
  const BYTE row0[7] = {0, 0, 5, 0, 6, 0, 0};
  const BYTE row2[7] = {1, 0, 0, 0, 0, 0, 2};
  std::memcpy(PictureRow(plain, 0), row0, 7);
  std::memcpy(PictureRow(plain, 2), row2, 7);
  CodecResult sprite = Apply(EncodeTrle, plain);
  ASSERT_TRUE(sprite);
  EXPECT_EQ(sprite->biCompression, 0x454C5254u);
  const std::uint32_t head = 16 + 8 * 3;
  EXPECT_EQ(sprite->biSizeImage, head + 3 + 0 + 7);
  EXPECT_EQ(sprite.bytes(), 1064 + sprite->biSizeImage);
  EXPECT_EQ(ReadU32(sprite.data() + 1064 + 12), 0u);  // plain compression
  const Row r0 = RowOf(sprite, 0), r1 = RowOf(sprite, 1), r2 = RowOf(sprite, 2);
  EXPECT_EQ(r0.offset, head);
  EXPECT_EQ(r0.skip, 2);
  EXPECT_EQ(r0.count, 3);
  EXPECT_EQ(r1.offset, head + 3);
  EXPECT_EQ(r1.skip, 7);  // all zero: skip = W, nothing stored
  EXPECT_EQ(r1.count, 0);
  EXPECT_EQ(r2.offset, head + 3);
  EXPECT_EQ(r2.skip, 0);
  EXPECT_EQ(r2.count, 7);
  const BYTE* pixels = sprite.data() + 1064 + head;
  EXPECT_EQ(std::vector<BYTE>(pixels, pixels + 3), (std::vector<BYTE>{5, 0, 6}));
  EXPECT_TRUE(SamePlainBitmap(plain, Apply(DecodeTrle, sprite.Copy())));
  EXPECT_EQ(TrlePixelType(sprite.get(), sprite.bytes()), 4);
}

TEST(TrleEncoding, RoundTripsEveryWidthClass) {
  std::mt19937 rng(21);
  for (int width : {1, 2, 3, 63, 64, 65, 16383}) {
    SCOPED_TRACE(width);
    const std::vector<BYTE> plain = SparseBitmap(width, width > 1000 ? 3 : 8, rng);
    CodecResult sprite = Apply(EncodeTrle, plain);
    ASSERT_TRUE(sprite);
    EXPECT_TRUE(ValidateTrle(sprite.get(), sprite.bytes()));
    EXPECT_TRUE(SamePlainBitmap(plain, Apply(DecodeTrle, sprite.Copy())));
  }
  // A short colour table travels along.
  std::vector<BYTE> small = MakeBitmap(9, 4, 8, 0, 5, 5);
  FillIndexed(small, rng, 0.5);
  EXPECT_TRUE(SamePlainBitmap(small, Apply(DecodeTrle, Apply(EncodeTrle, small).Copy())));
}

TEST(TrleEncoding, RoundTrips32BitPicturesWithTheirZeroPixelsTransparent) {
  std::mt19937 rng(23);
  std::vector<BYTE> plain = MakeBitmap(37, 6, 32);
  const std::uint32_t offset = BitsOffset(plain);
  // A sparse picture: a quarter of its pixels set, one row all zero, and a
  // pixel whose only non-zero byte is its last (x) byte, which still counts.
  for (std::size_t i = offset; i + 4 <= plain.size(); i += 4)
    if (rng() % 4 == 0) plain[i + rng() % 3] = BYTE(1 + rng() % 255);
  std::fill(plain.begin() + offset + 37 * 4 * 2, plain.begin() + offset + 37 * 4 * 3, 0);
  plain[offset + 36 * 4 + 3] = 7;
  CodecResult sprite = Apply(EncodeTrle, plain);
  ASSERT_TRUE(sprite);
  EXPECT_TRUE(ValidateTrle(sprite.get(), sprite.bytes()));
  EXPECT_EQ(TrlePixelType(sprite.get(), sprite.bytes()), 13);
  EXPECT_TRUE(SamePlainBitmap(plain, Apply(DecodeTrle, sprite.Copy())));
}

TEST(TrleEncoding, RefusesOtherInput) {
  std::mt19937 rng(22);
  const std::vector<BYTE> plain = SparseBitmap(10, 4, rng);
  EXPECT_FALSE(Apply(EncodeTrle, MakeBitmap(10, 4, 16)));
  EXPECT_FALSE(Apply(EncodeTrle, MakeBitmap(10, 4, 24)));
  EXPECT_FALSE(Apply(EncodeTrle, Apply(EncodeTrle, plain).Copy()));
  EXPECT_FALSE(Apply(DecodeTrle, Apply(EncodeArle, plain).Copy()));
  EXPECT_FALSE(Apply(DecodeTrle, plain));
}

// Every target type against pixel arithmetic written out here: stored pixels
// become the colour-table colour in the target layout, the rest stays 0.
TEST(TrleConversion, TrueColourTargetsAgainstReference) {
  std::mt19937 rng(23);
  const std::vector<BYTE> plain = SparseBitmap(45, 11, rng);
  CodecResult sprite = Apply(EncodeTrle, plain);
  ASSERT_TRUE(sprite);
  struct Target {
    std::uint16_t type;
    int bytes;
    std::uint32_t greenMask;
  };
  for (const Target& target : {Target{7, 2, 0x3E0}, Target{9, 2, 0x7E0}, Target{11, 3, 0},
                               Target{13, 4, 0}}) {
    SCOPED_TRACE(target.type);
    CodecResult converted = Apply(ConvertTrle, sprite.Copy(), target.type,
                                static_cast<const PaletteEntry*>(nullptr));
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->biBitCount, target.bytes * 8);
    EXPECT_EQ(converted->biCompression, 0x454C5254u);
    EXPECT_EQ(converted->biXPelsPerMeter, 0);
    EXPECT_EQ(TrlePixelType(converted.get(), converted.bytes()), target.type);
    EXPECT_EQ(ReadU32(converted.data() + 44), target.greenMask);
    EXPECT_EQ(ReadU32(converted.data() + 52), target.bytes == 2 ? 3u : 0u);
    for (int r = 0; r < 11; ++r) {
      const Row a = RowOf(sprite, r), b = RowOf(converted, r);
      EXPECT_EQ(a.skip, b.skip);
      EXPECT_EQ(a.count, b.count);
    }
    CodecResult plainOut = Apply(DecodeTrle, converted.Copy());
    ASSERT_TRUE(plainOut);
    EXPECT_EQ(plainOut->biCompression, target.bytes == 2 ? 3u : 0u);
    EXPECT_EQ(plainOut->biSizeImage, 0u);
    if (target.bytes == 2) {
      EXPECT_EQ(ReadU32(plainOut.data() + 44), target.greenMask);
    }
    for (int r = 0; r < 11; ++r)
      for (int x = 0; x < 45; ++x) {
        const int index = PictureRow(plain.data(), r)[x];
        const int sb = plain[40 + 4 * index], sg = plain[41 + 4 * index],
                  sr = plain[42 + 4 * index];
        std::uint32_t want;
        switch (target.type) {
          case 7: want = (sr >> 3) << 10 | (sg >> 3) << 5 | sb >> 3; break;
          case 9: want = (sr >> 3) << 11 | (sg >> 2) << 5 | sb >> 3; break;
          default: want = std::uint32_t(sr) << 16 | sg << 8 | sb; break;
        }
        // Pixels outside the span are transparent 0.
        const Row row = RowOf(sprite, r);
        if (x < row.skip || x >= row.skip + row.count) want = 0;
        ASSERT_EQ(PixelAt(plainOut.data(), r, x, target.bytes), want) << r << "," << x;
      }
  }
}

// Deeper sprites read their pixels by the rules of their type: 16-bit fields
// with zero low bits, 24 and 32 bits as bytes.
TEST(TrleConversion, DeepSourcesBackToOtherTypes) {
  std::mt19937 rng(24);
  const std::vector<BYTE> plain = SparseBitmap(33, 7, rng);
  CodecResult base = Apply(EncodeTrle, plain);
  CodecResult c565 = Apply(ConvertTrle, base.Copy(), std::uint16_t(9),
                         static_cast<const PaletteEntry*>(nullptr));
  ASSERT_TRUE(c565);
  // 565 -> 24 bits: red and blue keep five bits, green six.
  CodecResult c24 = Apply(ConvertTrle, c565.Copy(), std::uint16_t(11),
                        static_cast<const PaletteEntry*>(nullptr));
  ASSERT_TRUE(c24);
  CodecResult c555 = Apply(ConvertTrle, c24.Copy(), std::uint16_t(7),
                         static_cast<const PaletteEntry*>(nullptr));
  ASSERT_TRUE(c555);
  CodecResult p565 = Apply(DecodeTrle, c565.Copy());
  CodecResult p24 = Apply(DecodeTrle, c24.Copy());
  CodecResult p555 = Apply(DecodeTrle, c555.Copy());
  for (int r = 0; r < 7; ++r)
    for (int x = 0; x < 33; ++x) {
      const std::uint32_t p = PixelAt(p565.data(), r, x, 2);
      const std::uint32_t red = (p >> 11) << 3, green = (p >> 5 & 63) << 2, blue = (p & 31) << 3;
      ASSERT_EQ(PixelAt(p24.data(), r, x, 3), red << 16 | green << 8 | blue);
      ASSERT_EQ(PixelAt(p555.data(), r, x, 2), (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3);
    }
}

TEST(TrleConversion, ToIndexedTypes) {
  // Entries 8 apart in every channel's top bits; source colours differ only
  // in their low bits, so the nearest entry is known.
  std::vector<PaletteEntry> entries(256);
  for (int i = 0; i < 256; ++i)
    entries[i] = {BYTE((i & 7) << 5), BYTE((i >> 3 & 7) << 5), BYTE((i >> 6) << 6), 0};
  entries[17].flags = 1;  // never chosen
  std::mt19937 rng(25);
  std::vector<BYTE> plain = SparseBitmap(40, 6, rng);
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = entries[255 - i];
    plain[40 + 4 * i] = BYTE(e.blue | 5), plain[41 + 4 * i] = BYTE(e.green | 2);
    plain[42 + 4 * i] = BYTE(e.red | 1);
  }
  CodecResult sprite = Apply(EncodeTrle, plain);
  CodecResult deep = Apply(ConvertTrle, sprite.Copy(), std::uint16_t(13),
                         static_cast<const PaletteEntry*>(nullptr));
  ASSERT_TRUE(deep);
  for (const CodecResult* source : {&sprite, &deep}) {
    CodecResult indexed = Apply(ConvertTrle, source->Copy(), std::uint16_t(4), entries.data());
    ASSERT_TRUE(indexed);
    EXPECT_EQ(indexed->biBitCount, 8);
    EXPECT_EQ(indexed->biClrUsed, 0u);
    EXPECT_EQ(indexed.bytes(), 1064 + indexed->biSizeImage);
    for (int i = 0; i < 256; ++i) {
      EXPECT_EQ(indexed.data()[40 + 4 * i], entries[i].blue);
      EXPECT_EQ(indexed.data()[42 + 4 * i], entries[i].red);
    }
    CodecResult out = Apply(DecodeTrle, indexed.Copy());
    ASSERT_TRUE(out);
    for (int r = 0; r < 6; ++r)
      for (int x = 0; x < 40; ++x) {
        const Row row = RowOf(sprite, r);
        const bool stored = x >= row.skip && x < row.skip + row.count;
        const int old = PictureRow(plain.data(), r)[x];
        int want = stored ? 255 - old : 0;
        if (stored && want == 17) {
          ASSERT_NE(PictureRow(out.data(), r)[x], 17);
          continue;
        }
        ASSERT_EQ(PictureRow(out.data(), r)[x], want) << r << "," << x;
      }
  }

  // Through the inverse map: the index of each pixel's five-bit channels.
  auto map = std::make_unique<InverseColourMap>();
  ASSERT_TRUE(BuildInverseColourMap(entries.data(), 256, map.get()));
  CodecResult c565 = Apply(ConvertTrle, sprite.Copy(), std::uint16_t(9),
                         static_cast<const PaletteEntry*>(nullptr));
  for (const CodecResult* source : {&sprite, &deep, &c565}) {
    CodecResult indexed = Apply(TrleToIndexed, source->Copy(),
                              static_cast<const PaletteEntry*>(entries.data()),
                              static_cast<const InverseColourMap*>(map.get()));
    ASSERT_TRUE(indexed);
    EXPECT_EQ(indexed.data()[41 + 4 * 200], entries[200].green);
    CodecResult out = Apply(DecodeTrle, indexed.Copy());
    CodecResult src = Apply(DecodeTrle, source->Copy());
    const int bytes = source->get()->biBitCount / 8;
    for (int r = 0; r < 6; ++r)
      for (int x = 0; x < 40; ++x) {
        const Row row = RowOf(sprite, r);
        if (x < row.skip || x >= row.skip + row.count) continue;
        const std::uint32_t p = PixelAt(src.data(), r, x, bytes);
        std::uint32_t r5, g5, b5;
        if (bytes == 1) {
          r5 = plain[42 + 4 * p] >> 3, g5 = plain[41 + 4 * p] >> 3, b5 = plain[40 + 4 * p] >> 3;
        } else if (bytes == 2) {
          r5 = p >> 11, g5 = (p >> 6) & 31, b5 = p & 31;
        } else {
          r5 = (p >> 19) & 31, g5 = (p >> 11) & 31, b5 = (p >> 3) & 31;
        }
        ASSERT_EQ(PictureRow(out.data(), r)[x], map->index[r5 << 10 | g5 << 5 | b5]);
      }
  }
}

TEST(TrleConversion, RefusedTargetsAndPalettes) {
  std::mt19937 rng(26);
  CodecResult sprite = Apply(EncodeTrle, SparseBitmap(10, 3, rng));
  std::vector<PaletteEntry> entries(256, PaletteEntry{1, 2, 3, 0});
  for (std::uint16_t type : {0, 1, 2, 3, 5, 6, 8, 10, 12, 14, 15})
    EXPECT_FALSE(Apply(ConvertTrle, sprite.Copy(), type,
                     static_cast<const PaletteEntry*>(entries.data())))
        << type;
  EXPECT_FALSE(Apply(ConvertTrle, sprite.Copy(), std::uint16_t(4),
                   static_cast<const PaletteEntry*>(nullptr)));
  std::vector<PaletteEntry> reserved(256, PaletteEntry{1, 2, 3, 1});
  EXPECT_FALSE(Apply(ConvertTrle, sprite.Copy(), std::uint16_t(4),
                   static_cast<const PaletteEntry*>(reserved.data())));
  EXPECT_FALSE(Apply(TrleToIndexed, sprite.Copy(), static_cast<const PaletteEntry*>(entries.data()),
                   static_cast<const InverseColourMap*>(nullptr)));
}

TEST(TrleValidation, MalformedSpritesAreRefused) {
  std::vector<BYTE> plain = MakeBitmap(8, 2, 8);
  const BYTE row0[8] = {0, 3, 3, 0, 0, 0, 0, 0};
  const BYTE row1[8] = {0, 0, 0, 0, 0, 9, 9, 9};
  std::memcpy(PictureRow(plain, 0), row0, 8);
  std::memcpy(PictureRow(plain, 1), row1, 8);
  const std::vector<BYTE> good = Apply(EncodeTrle, plain).Copy();
  ASSERT_EQ(good.size(), 1064u + 16 + 16 + 5);
  ASSERT_TRUE(Valid(good));
  const std::size_t t = 1064, rec = t + 16;

  for (std::size_t n = 0; n < good.size(); ++n) {
    std::vector<BYTE> cut(good.begin(), good.begin() + n);
    EXPECT_FALSE(Valid(cut)) << n;
    EXPECT_FALSE(Apply(DecodeTrle, cut));
  }
  auto refused = [&](auto change) {
    std::vector<BYTE> bad = good;
    change(bad);
    EXPECT_FALSE(Valid(bad));
    EXPECT_FALSE(Apply(DecodeTrle, bad));
    EXPECT_FALSE(Apply(ConvertTrle, bad, std::uint16_t(13), static_cast<const PaletteEntry*>(nullptr)));
  };
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[rec], 33); });        // first offset
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[rec + 8], 2000); });  // outside the body
  refused([&](std::vector<BYTE>& b) { b[rec + 4] = 7; });               // span passes W
  refused([&](std::vector<BYTE>& b) { b[rec + 6] = 8; });               // count passes W
  refused([&](std::vector<BYTE>& b) { b[rec + 14] = 4; });              // pixels past the end
  refused([&](std::vector<BYTE>& b) { b[t + 12] = 5; });                // plain compression
  refused([&](std::vector<BYTE>& b) { b[t + 12] = 3; });                // bit fields at 8 bits
  refused([&](std::vector<BYTE>& b) { WriteU32(&b[20], 36); });         // size below the rows
  refused([&](std::vector<BYTE>& b) { b.push_back(0), WriteU32(&b[20], 38); });
  refused([&](std::vector<BYTE>& b) { b[14] = 4; });                    // 4-bit
  refused([&](std::vector<BYTE>& b) { b[14] = 16; });                   // no table at 16 bits

  // Moving a span within its row keeps the sprite well formed.
  std::vector<BYTE> ok = good;
  ok[rec + 4] = 6;
  EXPECT_TRUE(Valid(ok));
}

TEST(TrleValidation, MaskMustHaveTheSpriteShape) {
  std::mt19937 rng(27);
  const std::vector<BYTE> plain = SparseBitmap(30, 5, rng);
  CodecResult sprite8 = Apply(EncodeTrle, plain);
  CodecResult mask = Apply(EncodeTrle, plain);
  CodecResult sprite16 = Apply(ConvertTrle, sprite8.Copy(), std::uint16_t(9),
                             static_cast<const PaletteEntry*>(nullptr));
  EXPECT_TRUE(ValidateTrleMask(sprite16.get(), sprite16.bytes(), mask.get(), mask.bytes()));
  EXPECT_TRUE(ValidateTrleMask(sprite8.get(), sprite8.bytes(), mask.get(), mask.bytes()));
  // A 16-bit "mask" is not a mask.
  EXPECT_FALSE(ValidateTrleMask(sprite8.get(), sprite8.bytes(), sprite16.get(), sprite16.bytes()));
  // Another picture's rows.
  CodecResult other = Apply(EncodeTrle, SparseBitmap(30, 5, rng));
  EXPECT_FALSE(ValidateTrleMask(sprite16.get(), sprite16.bytes(), other.get(), other.bytes()));
  // Another size.
  CodecResult wider = Apply(EncodeTrle, SparseBitmap(31, 5, rng));
  EXPECT_FALSE(ValidateTrleMask(sprite16.get(), sprite16.bytes(), wider.get(), wider.bytes()));
  // A mask cut short.
  EXPECT_FALSE(ValidateTrleMask(sprite16.get(), sprite16.bytes(), mask.get(), mask.bytes() - 1));
}
