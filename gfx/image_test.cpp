// The Image base behaviours (raw blit, fills, lines, pixel access, copies, counting and
// registration), exercised through PackedDibImage and a small top-down test image.
#include "gfx/image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "gfx/clip_region.h"
#include "gfx/graphics_system.h"
#include "gfx/image_test_support.h"
#include "gfx/packed_dib_image.h"
#include "gfx/palette.h"
#include "pixel/blit.h"
#include "pixel/pixel_format.h"

namespace {

// A top-down image over plain memory: what a DIB section looks like to the base class.
class TopDownImage : public Image {
 public:
  GraphicsStatus Create(std::int32_t width, std::int32_t height, std::uint16_t type,
                        std::int32_t = 0, std::int32_t = 0) override {
    Free();
    if (PixelDepth(type) == 0 || width <= 0 || height <= 0) return GFX_BAD_ARGUMENT;
    pitch_ = std::int32_t(PixelRowBytes(width, PixelDepth(type)));
    bits_.assign(std::size_t(pitch_) * height, 0);
    width_ = std::uint16_t(width);
    height_ = std::uint16_t(height);
    type_ = type;
    return GFX_OK;
  }
  GraphicsStatus Lock(std::uint8_t** bits, std::int32_t* pitch) override {
    if (type_ == 0) return GFX_NO_PIXELS;
    ++lockCount_;
    *bits = bits_.data();
    *pitch = pitch_;
    return GFX_OK;
  }
  GraphicsStatus Unlock() override {
    if (lockCount_) --lockCount_;
    return GFX_OK;
  }
  std::int32_t Kind() const override { return 2; }
  std::uint16_t LockCount() const { return lockCount_; }
  std::vector<std::uint8_t> bits_;
  std::int32_t pitch_ = 0;
};

Ref<PackedDibImage> NewPacked(std::int32_t w, std::int32_t h, std::uint16_t type) {
  Ref<PackedDibImage> image(new PackedDibImage);
  EXPECT_EQ(image->Create(w, h, type), GFX_OK);
  return image;
}

void FillRandom(Image* image, std::mt19937& rng) {
  std::uniform_int_distribution<std::uint32_t> any;
  for (int y = 0; y < image->Height(); ++y)
    for (int x = 0; x < image->Width(); ++x) image->SetPixel(x, y, any(rng));
}

// Every pixel value, picture rows from the top.
std::vector<std::uint32_t> PixelsOf(Image* image) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < image->Height(); ++y)
    for (int x = 0; x < image->Width(); ++x) out.push_back(image->GetPixel(x, y));
  return out;
}

std::uint32_t ValueMask(std::uint16_t type) {
  const std::uint32_t depth = PixelDepth(type);
  return depth >= 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
}

TEST(ImageTest, PixelAccessIsLittleEndianAndBoundsChecked) {
  for (std::uint16_t type : {4, 7, 9, 11, 13}) {
    Ref<PackedDibImage> image = NewPacked(5, 3, type);
    image->SetPixel(4, 2, 0x12345678);
    EXPECT_EQ(image->GetPixel(4, 2), 0x12345678u & ValueMask(type)) << type;
    image->SetPixel(5, 0, 1);
    image->SetPixel(-1, 0, 1);
    image->SetPixel(0, 3, 1);
    EXPECT_EQ(image->GetPixel(5, 0), 0u);
    EXPECT_EQ(image->GetPixel(0, -1), 0u);
  }
  // Depths below 8 neither read nor write.
  Ref<PackedDibImage> packed = NewPacked(8, 2, 3);
  packed->SetPixel(1, 1, 7);
  EXPECT_EQ(packed->GetPixel(1, 1), 0u);
}

TEST(ImageTest, BottomUpRowsArePictureRowsFromTheTop) {
  Ref<PackedDibImage> image = NewPacked(100, 50, PIXEL_INDEX8);
  std::uint8_t* bits = nullptr;
  std::int32_t pitch = 0;
  ASSERT_EQ(image->Lock(&bits, &pitch), GFX_OK);
  std::memset(bits, 0, std::size_t(pitch) * 50);
  bits[49 * pitch] = 0xAB;  // the first pixel of the last row in memory
  image->Unlock();
  EXPECT_EQ(image->GetPixel(0, 0), 0xABu);
  // A fill of picture row 0 lands in that memory row too, and nowhere else.
  ASSERT_EQ(image->FillRect(0, 0, 3, 1, 0x5C), GFX_OK);
  ASSERT_EQ(image->Lock(&bits, &pitch), GFX_OK);
  EXPECT_EQ(bits[49 * pitch + 2], 0x5C);
  EXPECT_EQ(bits[49 * pitch + 3], 0);
  EXPECT_EQ(bits[48 * pitch], 0);
  image->Unlock();
}

TEST(ImageTest, FillsKeepToTheClipAndTheImage) {
  for (std::uint16_t type : {3, 4, 7, 11, 13}) {
    Ref<PackedDibImage> image = NewPacked(20, 10, type);
    ASSERT_EQ(image->FillRect(-100, -100, 1000, 1000, 0), GFX_OK);
    Ref<ClipRegion> clip(image->NewClip());
    clip->SetRect(-50, 2, 5000, 3);  // wider than the image
    image->SetClip(clip.get());
    ASSERT_EQ(image->FillRect(-10, 0, 40, 20, 0xFFFFFFFF), GFX_OK);
    image->SetClip(nullptr);
    if (PixelDepth(type) < 8) continue;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(image->GetPixel(x, y), (y >= 2 && y < 5) ? ValueMask(type) : 0u)
            << type << " " << x << "," << y;
  }
}

TEST(ImageTest, LinesAreClippedAndStopBeforeTheirEnd) {
  Ref<PackedDibImage> image = NewPacked(10, 10, PIXEL_RGB32);
  image->FillRect(0, 0, 10, 10, 0);
  ASSERT_EQ(image->DrawLine(0, 0, 5, 0, 0x00FF00), GFX_OK);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(image->GetPixel(x, 0), x < 5 ? 0x00FF00u : 0u) << x;
  // Clipped to (0, 3)-(9, 3); the clipped end point is left out like any other.
  ASSERT_EQ(image->DrawLine(-5, 3, 50, 3, 7), GFX_OK);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(image->GetPixel(x, 3), x < 9 ? 7u : 0u) << x;
  ASSERT_EQ(image->DrawLine(0, -5, 9, -1, 9), GFX_OK);  // wholly above
  for (int x = 0; x < 10; ++x) EXPECT_EQ(image->GetPixel(x, 0), x < 5 ? 0x00FF00u : 0u);
}

// The model of an unscaled raw blit: each visible destination pixel takes the source pixel
// at the same offset, the source rectangle following the clip by proportion.
void ModelBlit(std::vector<std::uint32_t>& dst, int dw, int dh,
               const std::vector<std::uint32_t>& src, int sw, RECT clip, int x, int y, int w, int h,
               int sx, int sy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const int X = x + i, Y = y + j;
      if (X < clip.left || X >= clip.right || Y < clip.top || Y >= clip.bottom) continue;
      if (X < 0 || Y < 0 || X >= dw || Y >= dh) continue;
      dst[Y * dw + X] = src[(sy + j) * sw + sx + i];
    }
}

TEST(ImageTest, UnscaledBlitsMatchTheModelAtEveryDepth) {
  std::mt19937 rng(21);
  std::uniform_int_distribution<int> pos(-12, 30), size(0, 16);
  for (std::uint16_t type : {4, 7, 9, 11, 13}) {
    Ref<PackedDibImage> src = NewPacked(23, 17, type);
    FillRandom(src.get(), rng);
    const std::vector<std::uint32_t> srcPixels = PixelsOf(src.get());
    for (int round = 0; round < 40; ++round) {
      Ref<PackedDibImage> dst = NewPacked(29, 19, type);
      FillRandom(dst.get(), rng);
      Ref<ClipRegion> clip(dst->NewClip());
      RECT clipRect = {0, 0, 29, 19};
      if (round % 2) {
        clip->SetRect(3, 2, 20, 12);
        dst->SetClip(clip.get());
        clipRect = RECT{3, 2, 23, 14};
      }
      std::vector<std::uint32_t> expected = PixelsOf(dst.get());
      const int x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
      // Source origin chosen so the whole request lies inside the source.
      const int sx = std::uniform_int_distribution<int>(0, 23 - std::max(w, 1))(rng);
      const int sy = std::uniform_int_distribution<int>(0, 17 - std::max(h, 1))(rng);
      ASSERT_EQ(dst->BlitFrom(x, y, w, h, src.get(), sx, sy, w, h, 0, 0), GFX_OK);
      ModelBlit(expected, 29, 19, srcPixels, 23, clipRect, x, y, w, h, sx, sy);
      ASSERT_EQ(PixelsOf(dst.get()), expected)
          << "type " << type << " rect " << x << "," << y << " " << w << "x" << h;
    }
  }
}

TEST(ImageTest, BlitsAcrossOrientationsKeepPictureRows) {
  std::mt19937 rng(5);
  Ref<PackedDibImage> packed = NewPacked(7, 6, PIXEL_RGB24);
  FillRandom(packed.get(), rng);
  Ref<TopDownImage> top(new TopDownImage);
  ASSERT_EQ(top->Create(7, 6, PIXEL_RGB24), GFX_OK);
  ASSERT_EQ(top->BlitFrom(0, 0, 7, 6, packed.get(), 0, 0, 7, 6, 0, 0), GFX_OK);
  EXPECT_EQ(PixelsOf(top.get()), PixelsOf(packed.get()));
  // The top-down image's first memory row is its picture row 0.
  EXPECT_EQ(top->bits_[0] | top->bits_[1] << 8 | top->bits_[2] << 16, int(packed->GetPixel(0, 0)));
}

TEST(ImageTest, ScaledBlitsPickNearestSourcePixels) {
  std::mt19937 rng(8);
  Ref<PackedDibImage> src = NewPacked(2, 2, PIXEL_RGB32);
  FillRandom(src.get(), rng);
  Ref<PackedDibImage> dst = NewPacked(4, 4, PIXEL_RGB32);
  ASSERT_EQ(dst->BlitFrom(0, 0, 4, 4, src.get(), 0, 0, 2, 2, 0, 0), GFX_OK);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      ASSERT_EQ(dst->GetPixel(x, y), src->GetPixel(x / 2, y / 2) & 0xFFFFFFFF) << x << "," << y;
  // Clipped at the left: the visible part still maps by proportion.
  Ref<PackedDibImage> wide = NewPacked(8, 1, PIXEL_INDEX8);
  for (int x = 0; x < 8; ++x) wide->SetPixel(x, 0, std::uint32_t(x));
  Ref<PackedDibImage> out = NewPacked(8, 1, PIXEL_INDEX8);
  out->FillRect(0, 0, 8, 1, 0xEE);
  ASSERT_EQ(out->BlitFrom(-8, 0, 16, 1, wide.get(), 0, 0, 8, 1, 0, 0), GFX_OK);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(out->GetPixel(x, 0), std::uint32_t(4 + x / 2)) << x;
}

TEST(ImageTest, BlitStatusCodes) {
  Ref<PackedDibImage> dst = NewPacked(10, 10, PIXEL_INDEX8);
  Ref<PackedDibImage> src = NewPacked(4, 4, PIXEL_INDEX8);
  Ref<PackedDibImage> deep = NewPacked(4, 4, PIXEL_RGB24);
  Ref<PackedDibImage> empty(new PackedDibImage);
  dst->FillRect(0, 0, 10, 10, 1);
  src->FillRect(0, 0, 4, 4, 2);
  EXPECT_EQ(dst->BlitFrom(0, 0, 4, 4, nullptr, 0, 0, 4, 4, 0, 0), GFX_BAD_ARGUMENT);
  EXPECT_EQ(src->DrawOnto(nullptr, 0, 0, 4, 4, 0, 0, 4, 4, 0, 0), GFX_BAD_ARGUMENT);
  EXPECT_EQ(dst->BlitFrom(0, 0, 4, 4, empty.get(), 0, 0, 4, 4, 0, 0), GFX_NO_PIXELS);
  EXPECT_EQ(empty->BlitFrom(0, 0, 4, 4, src.get(), 0, 0, 4, 4, 0, 0), GFX_NO_PIXELS);
  EXPECT_EQ(dst->BlitFrom(0, 0, 4, 4, deep.get(), 0, 0, 4, 4, 0, 0), GFX_TYPES_DIFFER);
  EXPECT_EQ(dst->BlitFrom(10, 0, 4, 4, src.get(), 0, 0, 4, 4, 0, 0), GFX_OK);  // outside
  EXPECT_EQ(dst->BlitFrom(-4, 0, 4, 4, src.get(), 0, 0, 4, 4, 0, 0), GFX_OK);  // outside
  EXPECT_EQ(dst->BlitFrom(0, 0, 0, 4, src.get(), 0, 0, 4, 4, 0, 0), GFX_OK);   // empty
  EXPECT_EQ(dst->BlitFrom(0, 0, 4, 4, src.get(), 1, 0, 4, 4, 0, 0), GFX_BAD_ARGUMENT);
  EXPECT_EQ(dst->BlitFrom(0, 0, 4, 4, src.get(), 0, -1, 4, 4, 0, 0), GFX_BAD_ARGUMENT);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(dst->GetPixel(x, y), 1u) << "nothing was drawn";
}

// A 60-pixel mirrored sprite whose pixel value is its column.
TEST(ImageTest, MirroredSpritesCutAtEitherEdgeShowTheirVisiblePart) {
  Ref<PackedDibImage> sprite = NewPacked(60, 1, PIXEL_INDEX8);
  for (int x = 0; x < 60; ++x) sprite->SetPixel(x, 0, std::uint32_t(x));
  Ref<PackedDibImage> screen = NewPacked(640, 1, PIXEL_INDEX8);
  screen->FillRect(0, 0, 640, 1, 0xFF);
  ASSERT_EQ(screen->BlitFrom(-20, 0, 60, 1, sprite.get(), 0, 0, 60, 1, BLIT_MIRROR, 0), GFX_OK);
  for (int x = 0; x < 40; ++x) ASSERT_EQ(screen->GetPixel(x, 0), std::uint32_t(39 - x)) << x;
  EXPECT_EQ(screen->GetPixel(40, 0), 0xFFu);
  ASSERT_EQ(screen->BlitFrom(600, 0, 60, 1, sprite.get(), 0, 0, 60, 1, BLIT_MIRROR, 0), GFX_OK);
  for (int x = 600; x < 640; ++x) ASSERT_EQ(screen->GetPixel(x, 0), std::uint32_t(659 - x)) << x;
  // Cut at both edges: the part on screen is still the part that lies there.
  Ref<PackedDibImage> narrow = NewPacked(20, 1, PIXEL_INDEX8);
  ASSERT_EQ(narrow->BlitFrom(-20, 0, 60, 1, sprite.get(), 0, 0, 60, 1, BLIT_MIRROR, 0), GFX_OK);
  for (int x = 0; x < 20; ++x) ASSERT_EQ(narrow->GetPixel(x, 0), std::uint32_t(39 - x)) << x;
  // Flipped rows likewise.
  Ref<PackedDibImage> tall = NewPacked(1, 6, PIXEL_INDEX8);
  for (int y = 0; y < 6; ++y) tall->SetPixel(0, y, std::uint32_t(y));
  Ref<PackedDibImage> strip = NewPacked(1, 4, PIXEL_INDEX8);
  ASSERT_EQ(strip->BlitFrom(0, -2, 1, 6, tall.get(), 0, 0, 1, 6, BLIT_FLIP, 0), GFX_OK);
  for (int y = 0; y < 4; ++y) ASSERT_EQ(strip->GetPixel(0, y), std::uint32_t(3 - y)) << y;
}

TEST(ImageTest, MaskModesNeedAMaskCoveringTheSource) {
  Ref<PackedDibImage> src = NewPacked(4, 1, PIXEL_RGB32);
  src->FillRect(0, 0, 4, 1, 0x00112233);
  Ref<PackedDibImage> mask = NewPacked(4, 1, PIXEL_INDEX8);
  for (int x = 0; x < 4; ++x) mask->SetPixel(x, 0, x % 2 ? 255 : 0);
  Ref<PackedDibImage> dst = NewPacked(4, 1, PIXEL_RGB32);
  dst->FillRect(0, 0, 4, 1, 0x00445566);
  ASSERT_EQ(dst->BlitFrom(0, 0, 4, 1, src.get(), 0, 0, 4, 1, BLIT_MASKDITHER, AuxOf(mask.get())),
            GFX_OK);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(dst->GetPixel(x, 0), x % 2 ? 0x00112233u : 0x00445566u) << x;
  // No mask, a mask of another type, a mask too small: nothing is drawn.
  Ref<PackedDibImage> deepMask = NewPacked(4, 1, PIXEL_RGB24);
  Ref<PackedDibImage> smallMask = NewPacked(2, 1, PIXEL_INDEX8);
  smallMask->FillRect(0, 0, 2, 1, 255);
  deepMask->FillRect(0, 0, 4, 1, 0xFFFFFF);
  dst->FillRect(0, 0, 4, 1, 0x00445566);
  for (Image* m : {static_cast<Image*>(nullptr), static_cast<Image*>(deepMask.get()),
                   static_cast<Image*>(smallMask.get())}) {
    ASSERT_EQ(dst->BlitFrom(0, 0, 4, 1, src.get(), 0, 0, 4, 1, BLIT_MASKBLEND, AuxOf(m)), GFX_OK);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst->GetPixel(x, 0), 0x00445566u);
  }
  // The mask is locked only for the blit.
  std::uint8_t* bits;
  std::int32_t pitch;
  ASSERT_EQ(mask->Lock(&bits, &pitch), GFX_OK);
  EXPECT_EQ(mask->Unlock(), GFX_OK);
}

TEST(ImageTest, LevelsOutsideTheirRangeAreClamped) {
  Ref<PackedDibImage> src = NewPacked(3, 1, PIXEL_RGB24);
  src->FillRect(0, 0, 3, 1, 0x00FFFFFF);
  Ref<PackedDibImage> dst = NewPacked(3, 1, PIXEL_RGB24);
  dst->FillRect(0, 0, 3, 1, 0);
  ASSERT_EQ(dst->BlitFrom(0, 0, 3, 1, src.get(), 0, 0, 3, 1, BLIT_BLEND, 100000), GFX_OK);
  EXPECT_EQ(dst->GetPixel(1, 0), 0x00F8F8F8u);  // level 256: the source, low bits cleared
  dst->FillRect(0, 0, 3, 1, 0);
  ASSERT_EQ(dst->BlitFrom(0, 0, 3, 1, src.get(), 0, 0, 3, 1, BLIT_BLEND, -5), GFX_OK);
  EXPECT_EQ(dst->GetPixel(1, 0), 0u);
}

TEST(ImageTest, GenericCopyTurnsRowsAndCopiesThePalette) {
  std::mt19937 rng(3);
  Ref<PackedDibImage> packed = NewPacked(9, 5, PIXEL_INDEX8);
  FillRandom(packed.get(), rng);
  PaletteEntry red = {255, 0, 0, 0};
  packed->GetPalette()->SetEntries(&red, 7, 1);
  Ref<TopDownImage> top(new TopDownImage);
  ASSERT_EQ(top->CopyFrom(packed.get()), GFX_OK);
  EXPECT_EQ(top->Width(), 9);
  EXPECT_EQ(top->Type(), PIXEL_INDEX8);
  EXPECT_EQ(PixelsOf(top.get()), PixelsOf(packed.get()));
  ASSERT_NE(top->GetPalette(), nullptr);
  EXPECT_NE(top->GetPalette(), packed->GetPalette());
  EXPECT_EQ(top->GetPalette()->Entries()[7].red, 255);
  EXPECT_EQ(top->LockCount(), 0);
  // And back into a packed bitmap through the generic path.
  Ref<PackedDibImage> again(new PackedDibImage);
  ASSERT_EQ(again->CopyFrom(top.get()), GFX_OK);
  EXPECT_EQ(PixelsOf(again.get()), PixelsOf(packed.get()));
  EXPECT_EQ(again->CopyFrom(nullptr), GFX_BAD_ARGUMENT);
  EXPECT_EQ(again->Type(), 0);
}

TEST(ImageTest, SettingPalettesAndClipsCountsReferences) {
  Ref<PackedDibImage> image = NewPacked(2, 2, PIXEL_INDEX4);
  Palette* palette = image->NewPalette();
  ASSERT_EQ(palette->Create(16), PALETTE_OK);
  ASSERT_EQ(image->SetPalette(palette), GFX_OK);
  ASSERT_EQ(image->SetPalette(palette), GFX_OK);  // the same one again is safe
  palette->AddRef();
  EXPECT_EQ(palette->Release(), 2);  // ours and the image's
  ClipRegion* clip = image->NewClip();
  ASSERT_EQ(image->SetClip(clip), GFX_OK);
  ASSERT_EQ(image->SetClip(clip), GFX_OK);
  EXPECT_EQ(image->GetClip(), clip);
  clip->Release();
  palette->Release();
  EXPECT_EQ(image->GetPalette(), palette);  // still alive: the image holds it
  EXPECT_EQ(image->GetPalette()->Count(), 16);
}

TEST(ClipRegionTest, RectanglesBoundsAndCopies) {
  ClipRegion* region = new ClipRegion;
  RECT bounds;
  EXPECT_EQ(region->GetBounds(&bounds), 1);
  ClipRegion* other = new ClipRegion;
  EXPECT_EQ(other->CopyFrom(region), 2);
  EXPECT_EQ(other->CopyFrom(nullptr), 2);
  EXPECT_EQ(region->SetRect(5, 6, 10, 20), 0);
  EXPECT_EQ(region->GetBounds(&bounds), 0);
  EXPECT_EQ(bounds.left, 5);
  EXPECT_EQ(bounds.top, 6);
  EXPECT_EQ(bounds.right, 15);
  EXPECT_EQ(bounds.bottom, 26);
  EXPECT_EQ(other->CopyFrom(region), 0);
  other->GetBounds(&bounds);
  EXPECT_EQ(bounds.right, 15);
  ClipRegion* clone = region->Clone();
  clone->GetBounds(&bounds);
  EXPECT_EQ(bounds.bottom, 26);
  EXPECT_EQ(region->SetTag(77), 0);
  EXPECT_EQ(region->GetTag(), 77u);
  region->SetRect(0x7FFFFFF0, 0, 0x100, 1);  // the far edge saturates
  region->GetBounds(&bounds);
  EXPECT_EQ(bounds.right, 0x7FFFFFFF);
  region->AddRef();
  EXPECT_EQ(region->Release(), 1);
  EXPECT_EQ(region->Release(), 0);
  other->Release();
  clone->Release();
}

struct Tracked : PackedDibImage {
  static int alive;
  Tracked() { ++alive; }
  ~Tracked() override { --alive; }
};
int Tracked::alive = 0;

TEST(GraphicsSystemTest, DestroysWhatIsStillRegistered) {
  Tracked* before = new Tracked;  // made without a system: not registered
  {
    auto* system = new GraphicsSystem;
    EXPECT_EQ(GraphicsSystem::Current(), system);
    for (int i = 0; i < 3; ++i) {
      auto* image = new Tracked;
      // Each holds a palette, released with it; counts do not keep them alive.
      EXPECT_EQ(image->Create(4, 4, PIXEL_INDEX8), GFX_OK);
      image->AddRef();
    }
    new ClipRegion;
    EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_IMAGES), 3u);
    EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_CLIPS), 1u);
    EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_PALETTES), 3u);
    delete system;
  }
  EXPECT_EQ(Tracked::alive, 1);
  EXPECT_EQ(GraphicsSystem::Current(), nullptr);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_IMAGES), 0u);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_CLIPS), 0u);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_PALETTES), 0u);
  before->Release();
  EXPECT_EQ(Tracked::alive, 0);
}

TEST(GraphicsSystemTest, InitChoosesTheMmxKernels) {
  GraphicsSystem system;
  EXPECT_EQ(system.Mmx(), GraphicsSystem::ProcessorHasMmx());
  EXPECT_EQ(system.Init(nullptr, nullptr, GFX_INIT_NO_MMX, 0), 0);
  EXPECT_FALSE(system.Mmx());
  EXPECT_FALSE(GraphicsSystem::MmxEnabled());
  EXPECT_EQ(system.Init(nullptr, nullptr, 0, 0), 0);
  EXPECT_EQ(system.Mmx(), GraphicsSystem::ProcessorHasMmx());
#if defined(__i386__) || defined(__x86_64__)
  EXPECT_TRUE(GraphicsSystem::ProcessorHasMmx());  // every x86 processor we run on has it
#endif
}

}  // namespace
