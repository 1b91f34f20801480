#include "sprite/strip_resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "sprite/sprite_test_support.h"
#include "sprite/trle.h"

namespace {

constexpr int kKey = 9;

// An 8-bit picture of w x h, every pixel the key, with colour i of its table
// (r, g, b) = (i, 2i, 255 - i) and the key pure red.
std::vector<BYTE> KeyedPicture(int w, int h) {
  std::vector<BYTE> dib = MakeBitmap(w, h, 8);
  for (int i = 0; i < 256; ++i) {
    BYTE* q = dib.data() + 40 + 4 * i;
    q[0] = BYTE(255 - i), q[1] = BYTE(2 * i), q[2] = BYTE(i);
  }
  BYTE* key = dib.data() + 40 + 4 * kKey;
  key[0] = 0, key[1] = 0, key[2] = 255;
  for (int r = 0; r < h; ++r) std::fill_n(PictureRow(dib, r), w, BYTE(kKey));
  return dib;
}

struct Result {
  CodecResult sprite, mask;
  CodecResult plain, alpha;  // both decoded
};

bool Resample(const std::vector<BYTE>& picture, const std::vector<BYTE>* alpha, int frames,
              int w, int h, Result* out) {
  ResampledStrip strip;
  if (!ResampleStrip(Header(picture), picture.size(), alpha ? Header(*alpha) : nullptr,
                     alpha ? alpha->size() : 0, alpha ? -1 : kKey, frames, w, h, &strip))
    return false;
  out->sprite = CodecResult(strip.sprite, strip.spriteBytes);
  out->mask = CodecResult(strip.mask, strip.maskBytes);
  SIZE_T bytes = 0;
  BITMAPINFOHEADER* plain = DecodeTrle(strip.sprite, strip.spriteBytes, &bytes);
  out->plain = CodecResult(plain, bytes);
  BITMAPINFOHEADER* level = DecodeTrle(strip.mask, strip.maskBytes, &bytes);
  out->alpha = CodecResult(level, bytes);
  return out->plain && out->alpha;
}

// (r, g, b, alpha) of picture pixel (x, y) of a result.
std::array<int, 4> At(const Result& r, int x, int y) {
  const BYTE* p = PictureRow(r.plain.data(), y) + 4 * x;
  return {p[2], p[1], p[0], PictureRow(r.alpha.data(), y)[x]};
}

}  // namespace

TEST(StripResample, MakesAValidSpriteAndMaskPairThatKeepsThePictureAtItsOwnSize) {
  std::vector<BYTE> picture = KeyedPicture(8, 12);  // two frames of 8 x 6
  PictureRow(picture, 1)[2] = 40;
  PictureRow(picture, 7)[7] = 0;  // colour 0: (0, 0, 255)
  Result r;
  ASSERT_TRUE(Resample(picture, nullptr, 2, 8, 6, &r));
  EXPECT_TRUE(ValidateTrleMask(r.sprite.get(), r.sprite.bytes(), r.mask.get(), r.mask.bytes()));
  EXPECT_EQ(TrlePixelType(r.sprite.get(), r.sprite.bytes()), 13);
  EXPECT_EQ((At(r, 2, 1)), (std::array<int, 4>{40, 80, 215, 255}));
  EXPECT_EQ((At(r, 7, 7)), (std::array<int, 4>{0, 0, 255, 255}));
  EXPECT_EQ(At(r, 3, 1)[3], 0);  // the key: transparent
  EXPECT_EQ(At(r, 0, 0)[3], 0);
}

TEST(StripResample, AveragesAreasWithAlphaSoEdgesTakeNoKeyColour) {
  // A frame 4 x 2, its left column colour 100, the rest key; to 2 x 1: the
  // left pixel half covered, in colour 100 exactly; the right one empty.
  std::vector<BYTE> picture = KeyedPicture(4, 2);
  PictureRow(picture, 0)[0] = PictureRow(picture, 1)[0] = 100;
  Result r;
  ASSERT_TRUE(Resample(picture, nullptr, 1, 2, 1, &r));
  const auto left = At(r, 0, 0);
  EXPECT_EQ(left[0], 100);
  EXPECT_EQ(left[1], 200);
  EXPECT_EQ(left[2], 155);
  EXPECT_NEAR(left[3], 128, 1);
  EXPECT_EQ(At(r, 1, 0)[3], 0);
  // Black that shows (colour 255 would be (255, 254, 0); use an alpha picture
  // of pure black instead) stays visible: its pixel is not 0.
  std::vector<BYTE> black = KeyedPicture(2, 2);
  BYTE* zero = black.data() + 40;
  zero[0] = zero[1] = zero[2] = 0;
  for (int y = 0; y < 2; ++y) PictureRow(black, y)[0] = PictureRow(black, y)[1] = 0;
  ASSERT_TRUE(Resample(black, nullptr, 1, 1, 1, &r));
  EXPECT_EQ(At(r, 0, 0)[3], 255);
  EXPECT_NE(At(r, 0, 0), (std::array<int, 4>{0, 0, 0, 255}));
}

TEST(StripResample, KeepsFramesApartAtAnyRatio) {
  // Frame 0 all colour 50, frame 1 all key, 7 rows each, to 3 rows each: no
  // row of frame 1 takes anything of frame 0, every row of frame 0 is whole.
  std::vector<BYTE> picture = KeyedPicture(5, 14);
  for (int y = 0; y < 7; ++y) std::fill_n(PictureRow(picture, y), 5, BYTE(50));
  Result r;
  ASSERT_TRUE(Resample(picture, nullptr, 2, 3, 3, &r));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(r, x, y)[3], y < 3 ? 255 : 0) << x << "," << y;
}

TEST(StripResample, TakesAMasksLevelsAsAlpha) {
  std::vector<BYTE> picture = KeyedPicture(2, 2);
  std::vector<BYTE> alpha = MakeBitmap(2, 2, 8);
  for (int y = 0; y < 2; ++y) {
    std::fill_n(PictureRow(picture, y), 2, BYTE(60));
    PictureRow(alpha, y)[0] = 255;
    PictureRow(alpha, y)[1] = 51;
  }
  Result r;
  ASSERT_TRUE(Resample(picture, &alpha, 1, 1, 1, &r));
  EXPECT_EQ(At(r, 0, 0)[0], 60);  // the index that is the key elsewhere is a colour here
  EXPECT_EQ(At(r, 0, 0)[3], 153);
}

TEST(StripResample, RefusesWhatItCannotRead) {
  const std::vector<BYTE> picture = KeyedPicture(4, 6);
  ResampledStrip out;
  auto refuses = [&](const std::vector<BYTE>& p, const std::vector<BYTE>* alpha, int frames,
                     int w, int h) {
    return !ResampleStrip(Header(p), p.size(), alpha ? Header(*alpha) : nullptr,
                          alpha ? alpha->size() : 0, kKey, frames, w, h, &out);
  };
  EXPECT_TRUE(refuses(picture, nullptr, 4, 2, 1));  // 6 rows are not 4 frames
  EXPECT_TRUE(refuses(picture, nullptr, 0, 2, 1));
  EXPECT_TRUE(refuses(picture, nullptr, 2, 0, 1));
  EXPECT_TRUE(refuses(picture, nullptr, 2, 70000, 1));
  const std::vector<BYTE> small = MakeBitmap(4, 3, 8);
  EXPECT_TRUE(refuses(picture, &small, 2, 2, 1));  // an alpha of another size
  EXPECT_TRUE(refuses(MakeBitmap(4, 6, 24), nullptr, 2, 2, 1));
  std::vector<BYTE> cut(picture.begin(), picture.end() - 1);
  EXPECT_TRUE(refuses(cut, nullptr, 2, 2, 1));
  EXPECT_EQ(out.sprite, nullptr);
}
