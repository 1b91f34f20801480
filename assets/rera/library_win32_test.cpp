// ReraDOR.dll as the saver finds it: loaded as data, every name of the
// species and background tables present in the layout the actors and the
// scene setup rely on, checked with the system's own validators and loaders.
#include "assets/sound/wave_file.h"
#include "picture/jpeg_loader.h"
#include "scene/creature_table.h"
#include "sprite/arle.h"
#include "sprite/packed.h"
#include "sprite/sprite_tags.h"
#include "sprite/trle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Library : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExA(TW_RERADOR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  // The bytes of a resource, empty when it is missing.
  static std::vector<std::uint8_t> Get(const char* name, const char* type) {
    HRSRC r = FindResourceA(module_, name, type);
    if (!r) return {};
    HGLOBAL g = LoadResource(module_, r);
    const auto* p = static_cast<const std::uint8_t*>(LockResource(g));
    if (!p) return {};
    return std::vector<std::uint8_t>(p, p + SizeofResource(module_, r));
  }
  static const BITMAPINFOHEADER* Hdr(const std::vector<std::uint8_t>& b) {
    return reinterpret_cast<const BITMAPINFOHEADER*>(b.data());
  }
  // Width, height and depth of a stored JPEG as the saver's loader decodes
  // it; all 0 when it is missing or does not decode.
  struct Decoded {
    long width = 0, height = 0, bits = 0;
  };
  static Decoded StoredJpeg(const char* name) {
    const std::vector<std::uint8_t> jpeg = Get(name, kPictureResourceType);
    HGLOBAL dib = jpeg.empty() ? nullptr
                               : LoadJpegFromMemory(jpeg.data(), std::uint32_t(jpeg.size()));
    if (!dib) return {};
    const auto* h = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    const Decoded out{h->biWidth, h->biHeight, h->biBitCount};
    GlobalUnlock(dib);
    GlobalFree(dib);
    return out;
  }
  // A colour-keyed sprite: PRLE, valid, and one table entry exactly pure
  // red (the key), only one.
  static void ExpectKeyed(const std::vector<std::uint8_t>& sprite) {
    const BITMAPINFOHEADER* h = Hdr(sprite);
    EXPECT_EQ(h->biCompression, TAG_PRLE);
    ASSERT_TRUE(ValidatePrle(h, sprite.size()));
    SIZE_T n = 0;
    BITMAPINFOHEADER* arle = PrleToArle(h, sprite.size(), &n);
    ASSERT_NE(arle, nullptr);
    EXPECT_TRUE(ValidateArle(arle, n));
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<BYTE*>(arle) + 40);
    int reds = 0;
    for (int k = 0; k < 256; ++k) {
      reds += table[k].rgbRed == 255 && table[k].rgbGreen == 0 && table[k].rgbBlue == 0;
    }
    EXPECT_EQ(reds, 1);
    GlobalFree(arle);
  }
  static std::string Twice(const char* name) {
    char out[24];
    return TwiceSizeName(name, out, sizeof out) ? out : std::string();
  }
  static HMODULE module_;
};

HMODULE Library::module_ = nullptr;

TEST_F(Library, IsASmallDeterministicResourceModule) {
  ASSERT_NE(module_, nullptr);
  FILE* f = std::fopen(TW_RERADOR_PATH, "rb");
  ASSERT_NE(f, nullptr);
  std::vector<std::uint8_t> image;
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) image.insert(image.end(), buf, buf + n);
  std::fclose(f);
  std::printf("ReraDOR.dll: %zu bytes\n", image.size());
  EXPECT_LE(image.size(), 35u * 1024 * 1024);
  ASSERT_GT(image.size(), 0x40u);
  std::uint32_t pe = 0, stamp = 1, entry = 1;
  std::memcpy(&pe, &image[0x3C], 4);
  ASSERT_LT(pe + 44, image.size());
  std::memcpy(&stamp, &image[pe + 8], 4);
  std::memcpy(&entry, &image[pe + 24 + 16], 4);
  EXPECT_EQ(stamp, 0u);  // no time stamp: two builds give the same bytes
  EXPECT_EQ(entry, 0u);  // no entry point: nothing of it ever runs
}

TEST_F(Library, SpeciesSpritesAndMasks) {
  ASSERT_NE(module_, nullptr);
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    SCOPED_TRACE(s->spriteName);
    const std::vector<std::uint8_t> sprite = Get(s->spriteName, kPictureResourceType);
    ASSERT_FALSE(sprite.empty());
    const BITMAPINFOHEADER* h = Hdr(sprite);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biHeight % s->totalFrames, 0);
    const int frameHeight = h->biHeight / s->totalFrames;
    // Vertical range of the actor on the smallest background.
    if (s->top < 100) {
      EXPECT_GE(480 - frameHeight - 480 * s->top / 100, 2);
    }
    if (s->maskName[0]) {
      const std::vector<std::uint8_t> mask = Get(s->maskName, kPictureResourceType);
      ASSERT_FALSE(mask.empty());
      EXPECT_EQ(h->biCompression, TAG_TRLE);
      EXPECT_TRUE(ValidateTrleMask(h, sprite.size(), Hdr(mask), mask.size()));
    } else {
      ExpectKeyed(sprite);
    }
  }
  const std::vector<std::uint8_t> bub = Get(kBubbleSpriteName, kPictureResourceType);
  const std::vector<std::uint8_t> bubMask = Get(kBubbleMaskName, kPictureResourceType);
  ASSERT_FALSE(bub.empty());
  ASSERT_FALSE(bubMask.empty());
  EXPECT_EQ(Hdr(bub)->biWidth, 160);
  EXPECT_EQ(Hdr(bub)->biHeight, 30 * 120);
  EXPECT_TRUE(ValidateTrleMask(Hdr(bub), bub.size(), Hdr(bubMask), bubMask.size()));
}

TEST_F(Library, BackgroundsOverlaysAndTheirPalettes) {
  ASSERT_NE(module_, nullptr);
  for (int i = 0; i < kBackgroundCount; ++i) {
    for (int width : {1024, 800, 640}) {
      const BackgroundVariant* v = BackgroundAt(i, width);
      SCOPED_TRACE(v->background.name);
      const Decoded back = StoredJpeg(v->background.name);
      EXPECT_EQ(back.width, width);
      EXPECT_EQ(back.height, width * 3 / 4);
      EXPECT_EQ(back.bits, 24);
      for (const PlacedPicture* o : {&v->overlayA, &v->overlayB}) {
        if (!o->name) continue;
        const std::vector<std::uint8_t> pic = Get(o->name, kPictureResourceType);
        ASSERT_FALSE(pic.empty()) << o->name;
        EXPECT_EQ(Hdr(pic)->biCompression, TAG_PRLE);
        EXPECT_TRUE(ValidatePrle(Hdr(pic), pic.size()));
        EXPECT_LE(o->x + Hdr(pic)->biWidth, width);
        EXPECT_LE(o->y + Hdr(pic)->biHeight, width * 3 / 4);
      }
    }
    char name[8];
    // The wide picture: the L overlays go over it, shifted by its side band.
    ASSERT_TRUE(WidePictureName(i, name, sizeof name));
    const Decoded wide = StoredJpeg(name);
    EXPECT_EQ(wide.width, kWidePictureWidth) << name;
    EXPECT_EQ(wide.height, 768) << name;
    EXPECT_EQ(wide.bits, 24) << name;
    ASSERT_TRUE(PalettePictureName(i, name, sizeof name));
    const std::vector<std::uint8_t> palette = Get(name, kPictureResourceType);
    ASSERT_FALSE(palette.empty()) << name;
    EXPECT_EQ(Hdr(palette)->biBitCount, 8);
    EXPECT_TRUE(ValidatePacked(Hdr(palette), palette.size()));
    ASSERT_TRUE(PreviewPictureName(i, name, sizeof name));
    const std::vector<std::uint8_t> preview = Get(name, kPictureResourceType);
    ASSERT_FALSE(preview.empty()) << name;
    // Drawn straight from the resource, so stored plain.
    EXPECT_EQ(Hdr(preview)->biCompression, std::uint32_t(BI_RGB));
    EXPECT_EQ(Hdr(preview)->biBitCount, 8);
  }
  const std::vector<std::uint8_t> palfish = Get(kFishPaletteName, kPictureResourceType);
  ASSERT_FALSE(palfish.empty());
  EXPECT_EQ(Hdr(palfish)->biBitCount, 8);
}

// Twice-size sprites: the 1x frames at exactly twice the width and height,
// as many of them. The saver draws one masked when its mask ("<mask>@2") is
// there, else colour keyed.
TEST_F(Library, TwiceSizeSpritesDoubleTheFramesOfTheirOnceSizeSprites) {
  ASSERT_NE(module_, nullptr);
  struct Sprite {
    const char* name;
    const char* mask;
    int frames;
  };
  std::vector<Sprite> sprites;
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    sprites.push_back({s->spriteName, s->maskName, s->totalFrames});
  }
  sprites.push_back({kBubbleSpriteName, kBubbleMaskName, 30});
  for (const Sprite& s : sprites) {
    SCOPED_TRACE(s.name);
    const std::vector<std::uint8_t> once = Get(s.name, kPictureResourceType);
    const std::vector<std::uint8_t> twice = Get(Twice(s.name).c_str(), kPictureResourceType);
    ASSERT_FALSE(once.empty());
    ASSERT_FALSE(twice.empty());
    EXPECT_EQ(Hdr(twice)->biBitCount, 8);
    EXPECT_EQ(Hdr(twice)->biWidth, 2 * Hdr(once)->biWidth);
    EXPECT_EQ(Hdr(twice)->biHeight, 2 * Hdr(once)->biHeight);
    EXPECT_EQ(Hdr(twice)->biHeight % s.frames, 0);
    const std::vector<std::uint8_t> mask =
        s.mask[0] ? Get(Twice(s.mask).c_str(), kPictureResourceType)
                  : std::vector<std::uint8_t>();
    if (mask.empty()) {
      ExpectKeyed(twice);
    } else {
      EXPECT_EQ(Hdr(twice)->biCompression, TAG_TRLE);
      EXPECT_TRUE(ValidateTrleMask(Hdr(twice), twice.size(), Hdr(mask), mask.size()));
    }
  }
  // The bubbles are translucent: they keep their mask.
  EXPECT_FALSE(Get(Twice(kBubbleMaskName).c_str(), kPictureResourceType).empty());
}

// The wide pictures, the L overlays and the previews at twice the size; each
// overlay exactly twice the 1x overlay, so that placed at twice the 1x place
// it covers twice the 1x area.
TEST_F(Library, TwiceSizeScenes) {
  ASSERT_NE(module_, nullptr);
  for (int i = 0; i < kBackgroundCount; ++i) {
    char name[8];
    ASSERT_TRUE(WidePictureName(i, name, sizeof name));
    const Decoded wide = StoredJpeg(Twice(name).c_str());
    EXPECT_EQ(wide.width, 2 * kWidePictureWidth) << name;
    EXPECT_EQ(wide.height, 2 * 768) << name;
    EXPECT_EQ(wide.bits, 24) << name;
    const BackgroundVariant* v = BackgroundAt(i, 1024);
    for (const PlacedPicture* o : {&v->overlayA, &v->overlayB}) {
      if (!o->name) continue;
      SCOPED_TRACE(o->name);
      const std::vector<std::uint8_t> once = Get(o->name, kPictureResourceType);
      const std::vector<std::uint8_t> twice = Get(Twice(o->name).c_str(), kPictureResourceType);
      ASSERT_FALSE(once.empty());
      ASSERT_FALSE(twice.empty());
      ExpectKeyed(twice);
      EXPECT_EQ(Hdr(twice)->biWidth, 2 * Hdr(once)->biWidth);
      EXPECT_EQ(Hdr(twice)->biHeight, 2 * Hdr(once)->biHeight);
      EXPECT_LE(2 * o->x + Hdr(twice)->biWidth, 2048);
      EXPECT_LE(2 * o->y + Hdr(twice)->biHeight, 1536);
    }
    ASSERT_TRUE(PreviewPictureName(i, name, sizeof name));
    const std::vector<std::uint8_t> preview = Get(Twice(name).c_str(), kPictureResourceType);
    ASSERT_FALSE(preview.empty()) << name;
    EXPECT_EQ(Hdr(preview)->biCompression, std::uint32_t(BI_RGB));
    EXPECT_EQ(Hdr(preview)->biBitCount, 8);
    EXPECT_EQ(Hdr(preview)->biWidth, 512);
    EXPECT_EQ(Hdr(preview)->biHeight, 384);
  }
}

TEST_F(Library, SixteenAmbientSounds) {
  ASSERT_NE(module_, nullptr);
  for (int i = 0; i < kSoundCount; ++i) {
    SCOPED_TRACE(kFirstSoundId + i);
    const std::vector<std::uint8_t> wav = Get(MAKEINTRESOURCEA(kFirstSoundId + i), kSoundResourceType);
    ASSERT_FALSE(wav.empty());
    WaveInfo info;
    ASSERT_TRUE(ReadWave(wav.data(), wav.size(), &info));
    EXPECT_EQ(info.formatTag, 1);
    EXPECT_EQ(info.channels, 1);
    EXPECT_TRUE(info.bits == 8 || info.bits == 16);
    const double seconds = double(info.dataBytes) / (info.bits / 8) / info.rate;
    EXPECT_GE(seconds, 8.0);
    EXPECT_LE(seconds, 30.0);
  }
}

}  // namespace
