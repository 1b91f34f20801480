// Our art in the stored forms: masks that match their sprites, a pure red key
// that no visible pixel can be taken for, and pictures that decode back to
// what was drawn.
#include "assets/rera/picture_codec.h"

#include "picture/jpeg_loader.h"
#include "sprite/packed.h"
#include "sprite/sprite_tags.h"
#include "sprite/trle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A picture with soft edges, saturated reds (which a keyed picture must move
// away from the key) and a transparent surround.
RgbaImage TestPicture(int w, int h, unsigned seed) {
  RgbaImage im(w, h);
  std::srand(seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = im.At(x, y);
      const double dx = (x - w / 2.0) / (w / 2.5), dy = (y - h / 2.0) / (h / 2.5);
      const double d = std::sqrt(dx * dx + dy * dy);
      const int a = d < 0.9 ? 255 : (d < 1.0 ? int((1.0 - d) * 2550) : 0);
      p[3] = std::uint8_t(a);
      if (!a) continue;
      if ((x / 4 + y / 4) % 3 == 0) {
        p[0] = 255, p[1] = std::uint8_t(std::rand() % 40), p[2] = std::uint8_t(std::rand() % 40);
      } else {
        p[0] = std::uint8_t(x * 255 / w), p[1] = std::uint8_t(y * 255 / h), p[2] = 128;
      }
    }
  }
  return im;
}

const BITMAPINFOHEADER* Hdr(const Bytes& b) {
  return reinterpret_cast<const BITMAPINFOHEADER*>(b.data());
}

TEST(PictureCodec, MaskedPictureHasAMaskOfTheSameShape) {
  const RgbaImage im = TestPicture(61, 47, 1);
  MaskedPicture pic;
  ASSERT_TRUE(MakeMaskedPicture(im, &pic));
  EXPECT_EQ(Hdr(pic.sprite)->biCompression, TAG_TRLE);
  EXPECT_EQ(Hdr(pic.sprite)->biBitCount, 8);
  EXPECT_TRUE(ValidateTrle(Hdr(pic.sprite), pic.sprite.size()));
  EXPECT_TRUE(ValidateTrleMask(Hdr(pic.sprite), pic.sprite.size(), Hdr(pic.mask), pic.mask.size()));
  DecodedPicture sprite, mask;
  ASSERT_TRUE(DecodeStoredPicture(pic.sprite, &sprite));
  ASSERT_TRUE(DecodeStoredPicture(pic.mask, &mask));
  EXPECT_EQ(sprite.encoding, "TRLE");
  for (int y = 0; y < im.height; ++y) {
    for (int x = 0; x < im.width; ++x) {
      const std::uint8_t* want = im.At(x, y);
      EXPECT_EQ(mask.image.At(x, y)[0], want[3]);  // grey mask = alpha
      if (!want[3]) continue;
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(sprite.image.At(x, y)[c], want[c], 24);
    }
  }
}

TEST(PictureCodec, KeyedPictureKeepsThePureRedKeyForTransparency) {
  const RgbaImage im = TestPicture(80, 50, 2);
  Bytes prle;
  ASSERT_TRUE(MakeKeyedPicture(im, &prle));
  EXPECT_EQ(Hdr(prle)->biCompression, TAG_PRLE);
  DecodedPicture pic;
  ASSERT_TRUE(DecodeStoredPicture(prle, &pic));
  ASSERT_EQ(pic.palette.size(), 256u);
  // Entry 0 is the key and is exactly pure red; it is what the saver finds
  // as the entry nearest to pure red.
  EXPECT_EQ(pic.palette[0].red, 255);
  EXPECT_EQ(pic.palette[0].green, 0);
  EXPECT_EQ(pic.palette[0].blue, 0);
  EXPECT_EQ(NearestEntry(pic.palette.data(), 0, 256, 255, 0, 0), 0);
  // No other entry could be taken for it.
  for (std::size_t i = 1; i < 256; ++i) {
    const PaletteEntry& e = pic.palette[i];
    const int d = (255 - e.red) * (255 - e.red) + e.green * e.green + e.blue * e.blue;
    EXPECT_GT(d, 60 * 60) << i;
  }
  // Exactly the pixels below the threshold are transparent.
  for (int y = 0; y < im.height; ++y) {
    for (int x = 0; x < im.width; ++x) {
      const bool visible = im.At(x, y)[3] >= kKeyedAlphaThreshold;
      EXPECT_EQ(pic.image.At(x, y)[3] != 0, visible) << x << "," << y;
    }
  }
}

TEST(PictureCodec, SwatchAndIndexedPictures) {
  PaletteEntry colours[135];
  for (int i = 0; i < 135; ++i) {
    colours[i] = PaletteEntry{std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7), 0};
  }
  Bytes swatch;
  ASSERT_TRUE(MakeSwatchPicture(colours, 135, &swatch));
  EXPECT_EQ(Hdr(swatch)->biCompression, TAG_PKC1);
  DecodedPicture s;
  ASSERT_TRUE(DecodeStoredPicture(swatch, &s));
  ASSERT_EQ(s.palette.size(), 256u);
  for (int i = 0; i < 135; ++i) {
    EXPECT_EQ(s.palette[i].red, colours[i].red);
    EXPECT_EQ(s.palette[i].green, colours[i].green);
    EXPECT_EQ(s.palette[i].blue, colours[i].blue);
  }
  for (int i = 135; i < 256; ++i) EXPECT_EQ(s.palette[i].red | s.palette[i].green, 0);

  RgbaImage im = TestPicture(64, 48, 3);
  for (std::size_t i = 3; i < im.pixels.size(); i += 4) im.pixels[i] = 255;
  Bytes indexed;
  ASSERT_TRUE(MakeIndexedPicture(im, &indexed));
  EXPECT_EQ(Hdr(indexed)->biCompression, std::uint32_t(BI_RGB));  // drawn without decoding
  DecodedPicture d;
  ASSERT_TRUE(DecodeStoredPicture(indexed, &d));
  EXPECT_EQ(d.depth, 8);
  double err = 0;
  for (std::size_t i = 0; i < im.pixels.size(); i += 4) {
    for (int c = 0; c < 3; ++c) err += std::abs(int(im.pixels[i + c]) - d.image.pixels[i + c]);
  }
  EXPECT_LT(err / (im.pixels.size() / 4 * 3), 8.0);
}

TEST(PictureCodec, BaselineJpegThatTheLoaderReads) {
  RgbaImage im(40, 30);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      std::uint8_t* p = im.At(x, y);
      p[0] = std::uint8_t(x * 6), p[1] = std::uint8_t(y * 8), p[2] = 90, p[3] = 255;
    }
  }
  const Bytes jpeg = EncodeJpeg(im, 90);
  bool baseline = false, progressive = false;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    baseline |= jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0;
    progressive |= jpeg[i] == 0xFF && jpeg[i + 1] == 0xC2;
  }
  EXPECT_TRUE(baseline);
  EXPECT_FALSE(progressive);
  std::int32_t w = 0, h = 0;
  std::uint8_t* rgb = DecodeJpegFromMemory(jpeg.data(), std::uint32_t(jpeg.size()), &w, &h);
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 30);
  EXPECT_NEAR(rgb[(15 * 40 + 20) * 3], 120, 10);
  std::free(rgb);
  EXPECT_EQ(EncodeJpeg(im, 90), jpeg);  // deterministic
}

}  // namespace

namespace {

TEST(PictureCodec, NearestEntryAgreesWithASlowSearch) {
  std::srand(11);
  PaletteEntry pal[40];
  for (auto& e : pal) {
    e = PaletteEntry{std::uint8_t(std::rand()), std::uint8_t(std::rand()),
                     std::uint8_t(std::rand()), 0};
  }
  for (int trial = 0; trial < 500; ++trial) {
    const std::uint8_t r = std::uint8_t(std::rand()), g = std::uint8_t(std::rand()),
                       b = std::uint8_t(std::rand());
    const int got = NearestEntry(pal, 5, 30, r, g, b);
    ASSERT_GE(got, 5);
    ASSERT_LT(got, 35);
    auto dist = [&](int i) {
      const int dr = pal[i].red - r, dg = pal[i].green - g, db = pal[i].blue - b;
      return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    };
    for (int i = 5; i < 35; ++i) EXPECT_LE(dist(got), dist(i));
  }
}

TEST(PictureCodec, FewColoursAreKeptExactly) {
  // A picture of 20 colours fits any budget above 20: the quantiser must
  // give back exactly those colours, and the masked sprite the exact pixels.
  RgbaImage im(50, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 50; ++x) {
      std::uint8_t* p = im.At(x, y);
      const int k = (x / 5 + y / 10 * 10) % 20;
      p[0] = std::uint8_t(k * 12), p[1] = std::uint8_t(200 - k * 9), p[2] = std::uint8_t(k * k);
      p[3] = x < 3 ? 0 : 255;
    }
  }
  PaletteEntry pal[255];
  EXPECT_EQ(QuantisePixels(im, 1, 255, pal), 20);
  MaskedPicture m;
  ASSERT_TRUE(MakeMaskedPicture(im, &m));
  DecodedPicture d;
  ASSERT_TRUE(DecodeStoredPicture(m.sprite, &d));
  for (int y = 0; y < 20; ++y) {
    for (int x = 3; x < 50; ++x) {
      for (int c = 0; c < 3; ++c) EXPECT_EQ(d.image.At(x, y)[c], im.At(x, y)[c]);
    }
  }
}

TEST(PictureCodec, MalformedStoredPicturesAreRefused) {
  DecodedPicture d;
  EXPECT_FALSE(DecodeStoredPicture(Bytes(), &d));
  EXPECT_FALSE(DecodeStoredPicture(Bytes(39, 0), &d));
  Bytes prle;
  ASSERT_TRUE(MakeKeyedPicture(TestPicture(30, 20, 4), &prle));
  for (std::size_t n = 0; n < prle.size(); n += 17) {
    Bytes cut(prle.begin(), prle.begin() + long(n));
    EXPECT_FALSE(DecodeStoredPicture(cut, &d)) << n;
  }
}

}  // namespace
