#include "sprite/packed.h"

#include "sprite/arle.h"
#include "sprite/memo_block.h"
#include "sprite/sprite_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

const std::uint32_t kPkc1 = 0x31434B50, kPkc2 = 0x32434B50;

// Packs and unpacks; the plain bitmap must come back byte for byte, padding
// included, with biSizeImage 0.
void ExpectExactRoundTrip(const std::vector<BYTE>& plain, std::uint32_t tag) {
  CodecResult packed = Apply(EncodePacked, plain);
  ASSERT_TRUE(packed);
  EXPECT_EQ(packed->biCompression, tag);
  const std::uint32_t offset = BitsOffset(plain);
  EXPECT_EQ(std::memcmp(packed.data() + 40, plain.data() + 40, offset - 40), 0);
  EXPECT_EQ(packed.bytes(), offset + packed->biSizeImage);
  EXPECT_EQ(MemoTotalSize(packed.data() + offset, packed->biSizeImage), packed->biSizeImage);
  EXPECT_EQ(MemoDataSize(packed.data() + offset, packed->biSizeImage), plain.size() - offset);
  EXPECT_TRUE(ValidatePacked(packed.get(), packed.bytes()));
  CodecResult back = Apply(DecodePacked, packed.Copy());
  ASSERT_TRUE(back);
  std::vector<BYTE> expected = plain;
  WriteU32(&expected[20], 0);
  EXPECT_EQ(back.Copy(), expected);
}

}  // namespace

TEST(PackedEncoding, EveryDepthRoundTripsExactly) {
  std::mt19937 rng(31);
  // Widths whose rows end inside a byte or need padding.
  for (int depth : {1, 2, 4, 8, 16, 24, 32})
    for (int width : {1, 3, 9, 33, 64, 101}) {
      SCOPED_TRACE(testing::Message() << depth << " bits, width " << width);
      std::vector<BYTE> plain =
          MakeBitmap(width, 5, depth, 0, depth <= 8 && width == 9 ? 2 : 0,
                     depth <= 8 ? (width == 9 ? 2 : 1u << depth) : 0);
      FillRandomBits(plain, rng);
      for (std::uint32_t i = 40; i < BitsOffset(plain); ++i) plain[i] = BYTE(rng());
      ExpectExactRoundTrip(plain, kPkc1);
    }
}

TEST(PackedEncoding, BitFieldsKeepTheirMasks) {
  std::mt19937 rng(32);
  std::vector<BYTE> plain = MakeBitmap(50, 7, 16, 3, 0, 0, {0xF800, 0x07E0, 0x001F});
  FillRandomBits(plain, rng);
  ExpectExactRoundTrip(plain, kPkc2);
  CodecResult packed = Apply(EncodePacked, plain);
  // Read as type 9 while packed: the green mask stays right after the header.
  EXPECT_EQ(ReadU32(packed.data() + 44), 0x07E0u);
  std::vector<BYTE> rgb32 = MakeBitmap(9, 3, 32, 3, 0, 0, {0xFF0000, 0xFF00, 0xFF});
  FillRandomBits(rgb32, rng);
  ExpectExactRoundTrip(rgb32, kPkc2);
  // 24-bit BI_RGB packs without any table.
  std::vector<BYTE> rgb24 = MakeBitmap(13, 4, 24);
  FillRandomBits(rgb24, rng);
  ExpectExactRoundTrip(rgb24, kPkc1);
  EXPECT_EQ(Apply(EncodePacked, rgb24).bytes(), 40 + Apply(EncodePacked, rgb24)->biSizeImage);
}

TEST(PackedEncoding, RefusesEncodedAndOddInput) {
  std::mt19937 rng(33);
  std::vector<BYTE> plain = MakeBitmap(20, 4, 8);
  FillIndexed(plain, rng);
  EXPECT_FALSE(Apply(EncodePacked, Apply(EncodeArle, plain).Copy()));
  EXPECT_FALSE(Apply(EncodePacked, Apply(EncodePacked, plain).Copy()));
  EXPECT_FALSE(Apply(EncodePacked, MakeBitmap(20, 4, 8, 3)));   // bit fields need 16+ bits
  EXPECT_FALSE(Apply(EncodePacked, MakeBitmap(20, 4, 16, 1)));  // BI_RLE8
  std::vector<BYTE> cut = plain;
  cut.pop_back();
  EXPECT_FALSE(Apply(EncodePacked, cut));
  EXPECT_FALSE(Apply(DecodePacked, plain));
  std::vector<BYTE> pkcc = Apply(EncodePacked, plain).Copy();
  WriteU32(&pkcc[16], 0x43434B50);  // "PKCC" is a request, never stored
  EXPECT_FALSE(Apply(DecodePacked, pkcc));
}

TEST(PackedDecoding, SizeLiesAreRefused) {
  std::mt19937 rng(34);
  std::vector<BYTE> plain = MakeBitmap(31, 9, 24);
  FillRandomBits(plain, rng);
  const std::vector<BYTE> good = Apply(EncodePacked, plain).Copy();
  ASSERT_FALSE(good.empty());
  auto refused = [&](auto change) {
    std::vector<BYTE> bad = good;
    change(bad);
    EXPECT_FALSE(ValidatePacked(Header(bad), bad.size()));
    EXPECT_FALSE(Apply(DecodePacked, bad));
  };
  // The block holds the bits of another size than the header describes.
  refused([](std::vector<BYTE>& b) { WriteU32(&b[8], 10); });             // height
  refused([](std::vector<BYTE>& b) { WriteU32(&b[40 + 8], 96 * 9 + 4); });
  refused([](std::vector<BYTE>& b) { WriteU32(&b[20], ReadU32(&b[20]) + 1); });
  refused([](std::vector<BYTE>& b) { WriteU32(&b[40 + 4], ReadU32(&b[40 + 4]) - 1); });
  refused([](std::vector<BYTE>& b) { b[40] = 0; });
  for (std::size_t n = 0; n < good.size(); ++n)
    EXPECT_FALSE(Apply(DecodePacked, std::vector<BYTE>(good.begin(), good.begin() + n))) << n;
  // A stream damaged inside is caught while expanding.
  std::vector<BYTE> bad = good;
  bad[good.size() - 3] ^= 0x81;
  EXPECT_TRUE(ValidatePacked(Header(bad), bad.size()));
  EXPECT_FALSE(Apply(DecodePacked, bad));
}
