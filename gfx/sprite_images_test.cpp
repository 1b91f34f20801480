// ArleImage and TrleImage against the raw blit path: the same sprite decoded to a plain
// bitmap (converted to the destination's type) drawn by PackedDibImage must give the same
// pixels for every clip, key, mirror, flip, blend and mask request where the two paths
// agree by definition; plus what the classes must refuse.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "gfx/arle_image.h"
#include "gfx/graphics_system.h"
#include "gfx/image_test_support.h"
#include "gfx/palette.h"
#include "gfx/trle_image.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/blit.h"
#include "pixel/pixel_format.h"
#include "sprite/arle.h"
#include "sprite/sprite_tags.h"
#include "sprite/trle.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Codec = BITMAPINFOHEADER* (*)(const BITMAPINFOHEADER*, SIZE_T, SIZE_T*);

Bytes Encoded(const Bytes& bitmap, Codec codec) {
  SIZE_T size = 0;
  BITMAPINFOHEADER* out = codec(reinterpret_cast<const BITMAPINFOHEADER*>(bitmap.data()),
                                bitmap.size(), &size);
  const auto* p = reinterpret_cast<const std::uint8_t*>(out);
  Bytes result(p, p + (out ? size : 0));
  if (out) GlobalFree(out);
  return result;
}

// Hands a copy of the bytes to the image in fixed global memory of its own.
std::int32_t AttachCopy(PackedDibImage* image, const Bytes& bytes) {
  void* memory = GlobalAlloc(GMEM_FIXED, bytes.size());
  std::memcpy(memory, bytes.data(), bytes.size());
  return image->Attach(new WrappedMemoryBlock(memory, std::uint32_t(bytes.size()), true, false));
}

// Picture row r (0 at the top) of an 8-bit bottom-up bitmap.
template <class B>
auto PictureRow(B& dib, int r) {
  const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  return &dib[1064 + std::size_t(h->biHeight - 1 - r) * PixelRowBytes(h->biWidth, 8)];
}

// An 8-bit bitmap with runs of the transparent index `clear`, fills and noise.
Bytes SpriteBitmap(int w, int h, std::uint8_t clear, std::mt19937& rng) {
  Bytes dib = RandomDib(w, h, PIXEL_INDEX8, rng);
  for (int r = 0; r < h; ++r) {
    std::uint8_t* p = PictureRow(dib, r);
    for (int x = 0; x < w; x += 1 + int(rng() % 30)) {
      const int kind = int(rng() % 3);
      if (kind < 2) std::memset(p + x, kind ? int(rng() % 256) : clear, std::min(w - x, 30));
    }
  }
  return dib;
}

// A mask with the spans of a picture whose transparent index is 0.
Bytes MaskFor(const Bytes& picture, std::mt19937& rng) {
  Bytes mask = picture;
  const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(picture.data());
  for (int r = 0; r < h->biHeight; ++r) {
    const std::uint8_t* p = PictureRow(picture, r);
    std::uint8_t* m = PictureRow(mask, r);
    for (int x = 0; x < h->biWidth; ++x) m[x] = p[x] ? std::uint8_t(rng() % 2 ? 255 : 1 + rng() % 255) : 0;
  }
  return mask;
}

// Pixel rows of an image, padding excluded.
Bytes Pixels(PackedDibImage* image) {
  std::uint8_t* bits;
  std::int32_t pitch;
  EXPECT_EQ(image->Lock(&bits, &pitch), GFX_OK);
  const std::size_t used = std::size_t(image->Width()) * PixelDepth(image->Type()) / 8;
  Bytes out;
  for (int y = 0; y < image->Height(); ++y)
    out.insert(out.end(), bits + std::ptrdiff_t(y) * pitch, bits + std::ptrdiff_t(y) * pitch + used);
  image->Unlock();
  return out;
}

// A destination of random pixels, with its destination key among them, and a copy.
void TwoScreens(std::uint16_t type, std::mt19937& rng, PackedDibImage* a, PackedDibImage* b) {
  ASSERT_EQ(a->Create(64, 40, type), GFX_OK);
  const std::uint32_t bytes = PixelDepth(type) / 8, key = std::uint32_t(rng());
  a->SetDestKey(bytes == 4 ? key : key & ((1u << (8 * bytes)) - 1));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 64; ++x) a->SetPixel(x, y, rng() % 3 ? std::uint32_t(rng()) : key);
  ASSERT_EQ(b->CopyFrom(a), GFX_OK);
  b->SetDestKey(a->DestKey());
}

const std::uint16_t kTypes[] = {PIXEL_INDEX8, PIXEL_RGB555, PIXEL_RGB565, PIXEL_RGB24,
                                PIXEL_RGB32};

TEST(ArleImage, DrawsLikeTheDecodedSpriteThroughTheRawBlit) {
  std::mt19937 rng(5);
  const std::uint8_t key = 9;
  for (std::uint16_t type : kTypes) {
    for (int round = 0; round < 40; ++round) {
      SCOPED_TRACE(testing::Message() << "type " << type << " round " << round);
      const int w = 1 + int(rng() % 90), h = 1 + int(rng() % 30);
      Bytes bitmap = SpriteBitmap(w, h, key, rng);
      // Only the key index has green 0, so its colour stays unique at every depth.
      for (int i = 0; i < 256; ++i) bitmap[41 + 4 * i] = i == key ? 0 : 16 + rng() % 240;
      Ref<ArleImage> sprite;
      ASSERT_EQ(AttachCopy(sprite.get(), Encoded(bitmap, EncodeArle)), GFX_OK);
      sprite->SetSourceKey(key);
      Ref<PackedDibImage> plain;
      ASSERT_EQ(AttachCopy(plain.get(), bitmap), GFX_OK);
      ASSERT_EQ(plain->Convert(type, nullptr, 0), GFX_OK);
      const PaletteEntry k = sprite->GetPalette()->Entries()[key];
      plain->SetSourceKey(type == PIXEL_INDEX8 ? key : PackPixel(type, k.red, k.green, k.blue));
      Ref<PackedDibImage> got, want;
      TwoScreens(type, rng, got.get(), want.get());

      std::uint32_t flags = std::uint32_t(rng()) & (BLIT_SRCKEY | BLIT_DSTKEY | BLIT_MIRROR |
                                                    BLIT_FLIP | BLIT_BLEND);
      if (round % 5 == 0) flags = (flags & ~BLIT_BLEND) | BLIT_STIPPLE;
      int dx = int(rng() % 100) - 30, dy = int(rng() % 60) - 20;
      // The stipple pattern (8 bits draw it for blend too) is tied to the picture here and
      // to the screen in the raw path: the two agree for an upright sprite whose top left
      // corner is on screen.
      if ((flags & BLIT_STIPPLE) || (type == PIXEL_INDEX8 && (flags & BLIT_BLEND))) {
        flags &= ~(BLIT_MIRROR | BLIT_FLIP);
        dx = int(rng() % 40), dy = int(rng() % 20);
      }
      const std::intptr_t level = rng() % 2 ? 256 : std::intptr_t(rng() % 257);
      ASSERT_EQ(got->BlitFrom(dx, dy, w, h, sprite.get(), 0, 0, w, h, flags, level), GFX_OK);
      ASSERT_EQ(want->BlitFrom(dx, dy, w, h, plain.get(), 0, 0, w, h, flags, level), GFX_OK);
      ASSERT_EQ(Pixels(got.get()), Pixels(want.get()))
          << w << "x" << h << " at " << dx << "," << dy << " flags " << flags << " " << level;
    }
  }
}

TEST(ArleImage, AttachesArleAndPrleOnlyAndRefusesBrokenSprites) {
  std::mt19937 rng(2);
  const Bytes bitmap = SpriteBitmap(37, 11, 0, rng), arle = Encoded(bitmap, EncodeArle);
  Ref<ArleImage> image;
  ASSERT_EQ(AttachCopy(image.get(), Encoded(bitmap, EncodePrle)), GFX_OK);
  ASSERT_EQ(image->DibBytes(), arle.size());
  EXPECT_EQ(0, std::memcmp(image->Header(), arle.data(), arle.size()));
  EXPECT_EQ(image->Type(), PIXEL_INDEX8);
  EXPECT_EQ(image->GetPalette()->Entries()[3].red, bitmap[40 + 12 + 2]);
  // The body is no plain bitmap: it cannot be locked, drawn onto or decoded.
  EXPECT_EQ(image->Lock(nullptr, nullptr), GFX_ENCODED);
  EXPECT_EQ(image->FillRect(0, 0, 5, 5, 1), GFX_ENCODED);
  EXPECT_EQ(image->BlitFrom(0, 0, 5, 5, image.get(), 0, 0, 5, 5, 0, 0), GFX_ENCODED);
  EXPECT_EQ(image->Decode(), GFX_UNSUPPORTED);
  EXPECT_EQ(0, std::memcmp(image->Header(), arle.data(), arle.size()));

  Bytes countChanged = arle, rowMoved = arle;
  countChanged[1064 + 4 * 11] ^= 0x3F;  // the first code of row 0 now counts other pixels
  rowMoved[1064 + 4 * 5 + 2] ^= 0x10;   // row 5 starts far outside the body
  for (const Bytes& bad : {Encoded(bitmap, EncodeTrle), bitmap, countChanged, rowMoved}) {
    EXPECT_EQ(AttachCopy(image.get(), bad), GFX_BAD_ARGUMENT);
    EXPECT_EQ(image->Type(), 0);
  }
}

TEST(ArleImage, RefusesRectanglesBeyondTheSpriteAndSkipsScaledOnes) {
  std::mt19937 rng(3);
  Ref<ArleImage> sprite;
  ASSERT_EQ(AttachCopy(sprite.get(), Encoded(SpriteBitmap(60, 10, 0, rng), EncodeArle)), GFX_OK);
  Ref<PackedDibImage> screen;
  ASSERT_EQ(screen->Create(640, 20, PIXEL_RGB565), GFX_OK);
  ASSERT_EQ(screen->FillRect(0, 0, 640, 20, 0x1234), GFX_OK);
  const Bytes before = Pixels(screen.get());
  EXPECT_EQ(screen->BlitFrom(0, 0, 120, 20, sprite.get(), 0, 0, 60, 10, 0, 0), GFX_OK);
  EXPECT_EQ(screen->BlitFrom(0, 0, 60, 10, sprite.get(), 5, 0, 60, 10, 0, 0), GFX_BAD_ARGUMENT);
  // Without a palette there is no lookup table: nothing drawn, success.
  ASSERT_EQ(sprite->SetPalette(nullptr), GFX_OK);
  EXPECT_EQ(screen->BlitFrom(0, 0, 60, 10, sprite.get(), 0, 0, 60, 10, 0, 0), GFX_OK);
  EXPECT_EQ(Pixels(screen.get()), before);
}

TEST(ArleImage, ConvertRemapsToThePaletteWithoutWritingReadOnlyBytes) {
  std::mt19937 rng(4);
  Bytes bitmap = RandomDib(30, 8, PIXEL_INDEX8, rng);
  // Distinct colours: the reversed palette maps index i to 255 - i.
  PaletteEntry reversed[256];
  for (int i = 0; i < 256; ++i) {
    bitmap[40 + 4 * i] = std::uint8_t(i), bitmap[41 + 4 * i] = std::uint8_t(255 - i);
    reversed[255 - i] = PaletteEntry{std::uint8_t(bitmap[42 + 4 * i]), std::uint8_t(255 - i),
                                     std::uint8_t(i), 0};
  }
  const Bytes arle = Encoded(bitmap, EncodeArle);
  Bytes callers = arle;
  WrappedMemoryBlock readOnly(callers.data(), std::uint32_t(callers.size()), false, true);
  Ref<ArleImage> sprite;
  ASSERT_EQ(sprite->Load(&readOnly, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_OK);
  Palette* palette = new Palette;
  ASSERT_EQ(palette->Create(16), PALETTE_OK);
  EXPECT_EQ(sprite->Convert(PIXEL_INDEX8, palette), GFX_PALETTE_LENGTH);
  palette->Free();
  ASSERT_EQ(palette->Create(256), PALETTE_OK);
  ASSERT_EQ(palette->SetEntries(reversed, 0, 256), PALETTE_OK);
  ASSERT_EQ(sprite->Convert(PIXEL_INDEX8, palette), GFX_OK);
  EXPECT_EQ(sprite->GetPalette(), palette);
  EXPECT_EQ(callers, arle);
  palette->Release();

  Ref<PackedDibImage> screen;
  ASSERT_EQ(screen->Create(30, 8, PIXEL_INDEX8), GFX_OK);
  ASSERT_EQ(screen->BlitFrom(0, 0, 30, 8, sprite.get(), 0, 0, 30, 8, 0, 0), GFX_OK);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(screen->GetPixel(x, y), 255u - PictureRow(bitmap, y)[x]);
}

TEST(TrleImage, DrawsLikeTheDecodedSpriteThroughTheRawMaskBlit) {
  std::mt19937 rng(11);
  for (std::uint16_t type : kTypes) {
    for (int round = 0; round < 40; ++round) {
      SCOPED_TRACE(testing::Message() << "type " << type << " round " << round);
      const int w = 1 + int(rng() % 90), h = 1 + int(rng() % 30);
      const Bytes picture = SpriteBitmap(w, h, 0, rng), maskBitmap = MaskFor(picture, rng);
      Ref<TrleImage> sprite, mask;
      ASSERT_EQ(AttachCopy(sprite.get(), Encoded(picture, EncodeTrle)), GFX_OK);
      ASSERT_EQ(AttachCopy(mask.get(), Encoded(maskBitmap, EncodeTrle)), GFX_OK);
      if (type != PIXEL_INDEX8) {
        ASSERT_EQ(sprite->Convert(type, nullptr, 0), GFX_OK);
      }
      Ref<PackedDibImage> plain, plainMask;
      ASSERT_EQ(AttachCopy(plain.get(), picture), GFX_OK);
      ASSERT_EQ(plain->Convert(type, nullptr, 0), GFX_OK);
      ASSERT_EQ(AttachCopy(plainMask.get(), maskBitmap), GFX_OK);
      Ref<PackedDibImage> got, want;
      TwoScreens(type, rng, got.get(), want.get());

      std::uint32_t flags = std::uint32_t(rng()) & (BLIT_MIRROR | BLIT_FLIP);
      int dx = int(rng() % 100) - 30, dy = int(rng() % 60) - 20;
      std::uint32_t rawMode = BLIT_MASKBLEND;
      if (type == PIXEL_INDEX8) {
        // The dither is tied to the sprite here and to the screen in the raw path: they
        // agree for an upright sprite on the 8 x 8 grid with its top left on screen.
        flags = 0, dx = 8 * int(rng() % 6), dy = 8 * int(rng() % 4);
        rawMode = BLIT_MASKDITHER;
      }
      ASSERT_EQ(got->BlitFrom(dx, dy, w, h, sprite.get(), 0, 0, w, h, flags, AuxOf(mask.get())),
                GFX_OK);
      ASSERT_EQ(want->BlitFrom(dx, dy, w, h, plain.get(), 0, 0, w, h, flags | rawMode,
                               AuxOf(plainMask.get())),
                GFX_OK);
      ASSERT_EQ(Pixels(got.get()), Pixels(want.get()))
          << w << "x" << h << " at " << dx << "," << dy << " flags " << flags;
    }
  }
}

TEST(TrleImage, RefusesBrokenSpritesAndMasksItCannotUse) {
  std::mt19937 rng(13);
  const Bytes picture = SpriteBitmap(30, 12, 0, rng), maskBitmap = MaskFor(picture, rng);
  const Bytes trle = Encoded(picture, EncodeTrle);
  Ref<TrleImage> sprite, mask, otherRows, deepMask;
  Bytes broken = trle;
  broken[1064 + 16 + 8 * 3 + 6] += 1;  // row 3 claims one pixel more than is stored
  for (const Bytes& bad : {Encoded(picture, EncodeArle), broken}) {
    EXPECT_EQ(AttachCopy(sprite.get(), bad), GFX_BAD_ARGUMENT);
    EXPECT_EQ(sprite->Type(), 0);
  }
  ASSERT_EQ(AttachCopy(sprite.get(), trle), GFX_OK);
  EXPECT_EQ(sprite->Lock(nullptr, nullptr), GFX_ENCODED);
  ASSERT_EQ(AttachCopy(mask.get(), Encoded(maskBitmap, EncodeTrle)), GFX_OK);
  Bytes full = maskBitmap;
  std::memset(&full[1064], 77, full.size() - 1064);
  ASSERT_EQ(AttachCopy(otherRows.get(), Encoded(full, EncodeTrle)), GFX_OK);
  ASSERT_EQ(AttachCopy(deepMask.get(), Encoded(maskBitmap, EncodeTrle)), GFX_OK);
  ASSERT_EQ(deepMask->Convert(PIXEL_RGB32, nullptr, 0), GFX_OK);
  Ref<PackedDibImage> plainMask, screen, deep;
  ASSERT_EQ(AttachCopy(plainMask.get(), maskBitmap), GFX_OK);
  ASSERT_EQ(screen->Create(40, 20, PIXEL_INDEX8), GFX_OK);
  ASSERT_EQ(deep->Create(40, 20, PIXEL_RGB565), GFX_OK);
  const Bytes before = Pixels(screen.get());
  auto draw = [&](PackedDibImage* dest, Image* m, int sx, int dw) {
    return dest->BlitFrom(2, 2, dw, 12, sprite.get(), sx, 0, 30, 12, 0, AuxOf(m));
  };
  EXPECT_EQ(draw(screen.get(), nullptr, 0, 30), GFX_BAD_ARGUMENT);
  EXPECT_EQ(draw(screen.get(), plainMask.get(), 0, 30), GFX_BAD_ARGUMENT);
  EXPECT_EQ(draw(screen.get(), otherRows.get(), 0, 30), GFX_BAD_ARGUMENT);
  EXPECT_EQ(draw(screen.get(), deepMask.get(), 0, 30), GFX_BAD_ARGUMENT);
  EXPECT_EQ(draw(deep.get(), mask.get(), 0, 30), GFX_TYPES_DIFFER);
  EXPECT_EQ(draw(screen.get(), mask.get(), 1, 30), GFX_BAD_ARGUMENT);
  EXPECT_EQ(draw(screen.get(), mask.get(), 0, 60), GFX_OK);  // scaled: nothing drawn
  EXPECT_EQ(Pixels(screen.get()), before);
}

TEST(TrleImage, ConvertsThroughThePaletteAndBack) {
  std::mt19937 rng(14);
  Bytes picture = SpriteBitmap(33, 10, 0, rng);
  // Distinct colours on the 5-bit grid, so both ways back to indices are exact.
  PaletteEntry entries[256];
  for (int i = 0; i < 256; ++i) {
    entries[i] = PaletteEntry{std::uint8_t((i & 31) << 3), std::uint8_t((i >> 5) << 3),
                              std::uint8_t(((i * 7) & 31) << 3), 0};
    picture[40 + 4 * i] = entries[i].blue;
    picture[41 + 4 * i] = entries[i].green;
    picture[42 + 4 * i] = entries[i].red;
  }
  Palette* palette = new Palette;
  ASSERT_EQ(palette->Create(256), PALETTE_OK);
  ASSERT_EQ(palette->SetEntries(entries, 0, 256), PALETTE_OK);
  for (std::uint32_t how : {0u, CONVERT_INVERSE_MAP}) {
    Ref<TrleImage> image;
    ASSERT_EQ(AttachCopy(image.get(), Encoded(picture, EncodeTrle)), GFX_OK);
    ASSERT_EQ(image->Convert(PIXEL_RGB32, nullptr, 0), GFX_OK);
    const BITMAPINFOHEADER* converted = image->Header();
    EXPECT_EQ(image->Convert(PIXEL_RGB32, nullptr, 0), GFX_OK);  // same type: nothing done
    EXPECT_EQ(image->Header(), converted);
    EXPECT_EQ(image->Convert(PIXEL_INDEX8, nullptr, how), GFX_BAD_ARGUMENT);
    ASSERT_EQ(image->Convert(PIXEL_INDEX8, palette, how), GFX_OK);
    const Bytes trle(reinterpret_cast<std::uint8_t*>(image->Header()),
                     reinterpret_cast<std::uint8_t*>(image->Header()) + image->DibBytes());
    EXPECT_EQ(trle, Encoded(picture, EncodeTrle)) << "flags " << how;
    EXPECT_EQ(image->Convert(PIXEL_BGR32, nullptr, 0), GFX_CONVERSION_EMPTY);
  }
  palette->Release();
}

TEST(TrleImage, TakesTheMmxKernelWhenTheGraphicsSystemAllowsIt) {
  std::mt19937 rng(15);
  Bytes picture = RandomDib(4, 1, PIXEL_INDEX8, rng), maskBitmap = picture;
  std::memset(&picture[1064], 1, 4);
  std::memset(&maskBitmap[1064], 255, 4);
  picture[44] = 240, picture[45] = 16, picture[46] = 8;  // entry 1: B 240, G 16, R 8
  for (bool mmx : {false, true}) {
    GraphicsSystem system;
    system.Init(nullptr, nullptr, mmx ? 0 : GFX_INIT_NO_MMX, 0);
    if (mmx && !GraphicsSystem::MmxEnabled()) GTEST_SKIP() << "no MMX";
    Ref<TrleImage> sprite, mask;
    ASSERT_EQ(AttachCopy(sprite.get(), Encoded(picture, EncodeTrle)), GFX_OK);
    ASSERT_EQ(AttachCopy(mask.get(), Encoded(maskBitmap, EncodeTrle)), GFX_OK);
    ASSERT_EQ(sprite->Convert(PIXEL_RGB32, nullptr, 0), GFX_OK);
    Ref<PackedDibImage> screen;
    ASSERT_EQ(screen->Create(4, 1, PIXEL_RGB32), GFX_OK);
    ASSERT_EQ(screen->FillRect(0, 0, 4, 1, 0x00404040), GFX_OK);
    ASSERT_EQ(screen->BlitFrom(0, 0, 4, 1, sprite.get(), 0, 0, 4, 1, 0, AuxOf(mask.get())), GFX_OK);
    // Full alpha copies the pixel in the table kernel; the MMX rule gives
    // (d + 255 s + 128) >> 8 per colour byte.
    EXPECT_EQ(screen->GetPixel(2, 0), mmx ? 0x000810EFu : 0x000810F0u) << "mmx " << mmx;
  }
}

}  // namespace
