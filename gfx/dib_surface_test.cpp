#include "gfx/dib_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gfx/graphics_system.h"
#include "gfx/image_test_support.h"
#include "gfx/packed_dib_image.h"
#include "gfx/palette.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/pixel_format.h"
#include "sprite/sprite_tags.h"

namespace {

std::vector<RGBQUAD> ColourTableOf(DibSurface* surface) {
  std::vector<RGBQUAD> table(256);
  HDC dc = surface->LockDC();
  const UINT n = GetDIBColorTable(dc, 0, 256, table.data());
  surface->UnlockDC();
  table.resize(n);
  return table;
}

TEST(DibSurfaceTest, CreateMakesATopDownSectionWithABlackTable) {
  Ref<DibSurface> surface;
  ASSERT_EQ(surface->Create(640, 480, PIXEL_INDEX8), GFX_OK);
  EXPECT_EQ(surface->Kind(), 2);
  EXPECT_EQ(surface->IsBottomUp(), 0);
  ASSERT_NE(surface->Bitmap(), nullptr);
  DIBSECTION section;
  ASSERT_EQ(GetObjectA(surface->Bitmap(), sizeof section, &section), int(sizeof section));
  std::uint8_t* bits;
  std::int32_t pitch;
  ASSERT_EQ(surface->Lock(&bits, &pitch), GFX_OK);
  EXPECT_EQ(pitch, 640);
  EXPECT_EQ(bits, section.dsBm.bmBits);
  surface->Unlock();
  surface->SetPixel(3, 0, 0x77);
  EXPECT_EQ(bits[3], 0x77);  // picture row 0 is the first row in memory
  const std::vector<RGBQUAD> table = ColourTableOf(surface.p);
  ASSERT_EQ(table.size(), 256u);
  for (const RGBQUAD& q : table) ASSERT_EQ(q.rgbRed | q.rgbGreen | q.rgbBlue, 0);

  // GDI sees the first row in memory as its top row.
  Ref<DibSurface> deep;
  ASSERT_EQ(deep->Create(4, 3, PIXEL_RGB32), GFX_OK);
  deep->FillRect(0, 0, 4, 3, 0);
  HDC dc = deep->LockDC();
  ::SetPixel(dc, 1, 0, RGB(9, 8, 7));
  deep->UnlockDC();
  ASSERT_EQ(deep->Lock(&bits, &pitch), GFX_OK);
  EXPECT_EQ(bits[4], 7);
  EXPECT_EQ(bits[6], 9);
  deep->Unlock();

  // Every type with a header form that GDI makes sections of (it has no 2-bit ones).
  for (std::uint16_t type : {1, 3, 7, 9, 11, 13}) {
    Ref<DibSurface> other;
    ASSERT_EQ(other->Create(33, 5, type), GFX_OK) << type;
    ASSERT_EQ(other->Lock(&bits, &pitch), GFX_OK);
    EXPECT_EQ(pitch, std::int32_t(PixelRowBytes(33, PixelDepth(type))));
    other->Unlock();
  }
  Ref<DibSurface> bad;
  EXPECT_EQ(bad->Create(640, 480, 5), GFX_BAD_ARGUMENT);
  EXPECT_EQ(bad->Type(), 0);
  EXPECT_EQ(bad->Bitmap(), nullptr);
  EXPECT_EQ(bad->Lock(&bits, &pitch), GFX_NO_PIXELS);
  EXPECT_EQ(bad->LockDC(), nullptr);
}

TEST(DibSurfaceTest, FiveSixFiveSectionsKeepTheirMasks) {
  Ref<DibSurface> surface;
  ASSERT_EQ(surface->Create(4, 4, PIXEL_RGB565), GFX_OK);
  surface->FillRect(0, 0, 4, 4, 0xF800);  // pure red in 5-6-5
  HDC dc = surface->LockDC();
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
  surface->UnlockDC();
}

TEST(DibSurfaceTest, PalettesAreCheckedAndCopiedOnlyWhenChanged) {
  Ref<DibSurface> deep;
  ASSERT_EQ(deep->Create(8, 8, PIXEL_RGB555), GFX_OK);
  Ref<Palette> palette(new Palette);
  ASSERT_EQ(palette->Create(256), PALETTE_OK);
  EXPECT_EQ(deep->SetPalette(palette.p), GFX_PALETTE_LENGTH);
  Ref<Palette> empty(new Palette);
  Ref<DibSurface> surface;
  EXPECT_EQ(surface->SetPalette(palette.p), GFX_NO_PIXELS);
  ASSERT_EQ(surface->Create(8, 8, PIXEL_INDEX8), GFX_OK);
  EXPECT_EQ(surface->SetPalette(empty.p), GFX_PALETTE_EMPTY);

  PaletteEntry e = {200, 100, 50, 0};
  palette->SetEntries(&e, 9, 1);
  ASSERT_EQ(surface->SetPalette(palette.p), GFX_OK);
  std::vector<RGBQUAD> table = ColourTableOf(surface.p);
  EXPECT_EQ(table[9].rgbRed, 200);
  EXPECT_EQ(table[9].rgbGreen, 100);
  EXPECT_EQ(table[9].rgbBlue, 50);
  // Overwrite the section's table behind the surface's back: an unchanged palette is not
  // copied again ...
  RGBQUAD grey = {7, 7, 7, 0};
  HDC dc = surface->LockDC();
  SetDIBColorTable(dc, 9, 1, &grey);
  surface->UnlockDC();
  EXPECT_EQ(surface->SyncPalette(), GFX_OK);
  EXPECT_EQ(ColourTableOf(surface.p)[9].rgbRed, 7);
  // ... a changed one is, on the next lock.
  e = PaletteEntry{1, 2, 3, 0};
  palette->SetEntries(&e, 9, 1);
  std::uint8_t* bits;
  std::int32_t pitch;
  ASSERT_EQ(surface->Lock(&bits, &pitch), GFX_OK);
  surface->Unlock();
  EXPECT_EQ(ColourTableOf(surface.p)[9].rgbRed, 1);
}

TEST(DibSurfaceTest, SoftwareAndGdiDrawingShareThePixels) {
  Ref<DibSurface> surface;
  ASSERT_EQ(surface->Create(16, 8, PIXEL_RGB32), GFX_OK);
  ASSERT_EQ(surface->FillRect(0, 0, 16, 8, 0x00102030), GFX_OK);
  HDC dc = surface->LockDC();
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0x10, 0x20, 0x30));
  HBRUSH brush = CreateSolidBrush(RGB(0xAA, 0xBB, 0xCC));
  RECT area = {2, 1, 4, 3};
  ::FillRect(dc, &area, brush);
  DeleteObject(brush);
  surface->UnlockDC();
  // Lock flushes GDI first.
  EXPECT_EQ(surface->GetPixel(3, 2), 0x00AABBCCu);
  EXPECT_EQ(surface->GetPixel(4, 2), 0x00102030u);
}

TEST(DibSurfaceTest, LoadTurnsBottomUpBitmapsTopDown) {
  std::mt19937 rng(1);
  for (std::uint16_t type : {PIXEL_INDEX8, PIXEL_RGB565, PIXEL_RGB24}) {
    std::vector<std::uint8_t> dib = RandomDib(21, 6, type, rng);
    Ref<PackedDibImage> packed;
    WrappedMemoryBlock block(dib.data(), std::uint32_t(dib.size()), false, true);
    ASSERT_EQ(packed->Load(&block, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_OK);
    Ref<DibSurface> surface;
    ASSERT_EQ(surface->Load(&block, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_OK);
    EXPECT_EQ(surface->Type(), type);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 21; ++x) ASSERT_EQ(surface->GetPixel(x, y), packed->GetPixel(x, y));
    if (type == PIXEL_INDEX8) {
      ASSERT_NE(surface->GetPalette(), nullptr);
      EXPECT_EQ(ColourTableOf(surface.p)[5].rgbRed, dib[40 + 4 * 5 + 2]);
    }
    // An encoded bitmap is decoded on the way.
    ASSERT_EQ(packed->Encode(TAG_PKCC), GFX_OK);
    Ref<DibSurface> fromEncoded;
    ASSERT_EQ(fromEncoded->CopyFrom(packed.p), GFX_ENCODED);
    std::vector<std::uint8_t> encoded(
        reinterpret_cast<std::uint8_t*>(packed->Header()),
        reinterpret_cast<std::uint8_t*>(packed->Header()) + packed->DibBytes());
    WrappedMemoryBlock encodedBlock(encoded.data(), std::uint32_t(encoded.size()), false, true);
    ASSERT_EQ(fromEncoded->Load(&encodedBlock, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_OK);
    EXPECT_EQ(fromEncoded->GetPixel(20, 5), surface->GetPixel(20, 5));
  }
  Ref<DibSurface> missing;
  EXPECT_EQ(missing->Load("c:\\no\\such\\file.bmp", LOAD_FROM_FILE, nullptr, nullptr),
            GFX_BAD_ARGUMENT);
}

TEST(DibSurfaceTest, FilesLoadThroughAMapping) {
  std::mt19937 rng(2);
  std::vector<std::uint8_t> dib = RandomDib(9, 4, PIXEL_RGB24, rng);
  std::vector<std::uint8_t> file(14 + dib.size(), 0);
  const std::uint32_t bitsOffset = 54;
  file[0] = 'B';
  file[1] = 'M';
  std::memcpy(&file[10], &bitsOffset, 4);
  std::memcpy(&file[14], dib.data(), dib.size());
  TempDir dir;
  const std::string path = dir.File("picture.bmp");
  WriteFileBytes(path, file);
  Ref<PackedDibImage> packed;
  ASSERT_EQ(packed->Load(path.c_str(), LOAD_FROM_FILE, nullptr, nullptr), GFX_OK);
  Ref<DibSurface> surface;
  ASSERT_EQ(surface->Load(path.c_str(), LOAD_FROM_FILE | LOAD_PRIVATE_COPY, nullptr, nullptr),
            GFX_OK);
  const auto* bits = dib.data() + 40;
  // Picture row 0 is the last row of the file.
  const std::uint32_t first = bits[3 * 28] | bits[3 * 28 + 1] << 8 | bits[3 * 28 + 2] << 16;
  EXPECT_EQ(packed->GetPixel(0, 0), first);
  EXPECT_EQ(surface->GetPixel(0, 0), first);
}

TEST(DibSurfaceTest, ConvertGoesThroughAPackedBitmap) {
  std::mt19937 rng(3);
  Ref<DibSurface> surface;
  EXPECT_EQ(surface->Convert(PIXEL_RGB555, nullptr, 0), GFX_NO_PIXELS);
  ASSERT_EQ(surface->Create(10, 3, PIXEL_RGB24), GFX_OK);
  surface->FillRect(0, 0, 10, 3, 0x00FFFFFF);
  surface->FillRect(0, 1, 10, 1, 0x00FF0000);
  ASSERT_EQ(surface->Convert(PIXEL_RGB555, nullptr, 0), GFX_OK);
  EXPECT_EQ(surface->Type(), PIXEL_RGB555);
  EXPECT_EQ(surface->IsBottomUp(), 0);
  EXPECT_EQ(surface->GetPixel(4, 0), 0x7FFFu);
  EXPECT_EQ(surface->GetPixel(4, 1), 0x7C00u);
  Ref<Palette> palette(new Palette);
  palette->Create(256);
  const PaletteEntry entries[2] = {{255, 0, 0, 0}, {255, 255, 255, 0}};
  palette->SetEntries(entries, 0, 2);
  ASSERT_EQ(surface->Convert(PIXEL_INDEX8, palette.p, 0), GFX_OK);
  EXPECT_EQ(surface->Type(), PIXEL_INDEX8);
  EXPECT_EQ(surface->GetPalette(), palette.p);
  EXPECT_EQ(surface->GetPixel(4, 1), 0u);
  EXPECT_EQ(surface->GetPixel(4, 2), 1u);
  EXPECT_EQ(ColourTableOf(surface.p)[1].rgbGreen, 255);
  // A conversion that produces nothing leaves the surface as it was and says so.
  Ref<DibSurface> nibble;
  ASSERT_EQ(nibble->Create(4, 4, PIXEL_INDEX4), GFX_OK);
  EXPECT_EQ(nibble->Convert(PIXEL_RGB24, nullptr, 0), GFX_CONVERSION_EMPTY);
  EXPECT_EQ(nibble->Type(), PIXEL_INDEX4);
}

TEST(DibSurfaceTest, TheGraphicsSystemMakesThem) {
  GraphicsSystem system;
  DibSurface* surface = system.NewDibSurface();
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->Kind(), 2);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_IMAGES), 1u);
  surface->Release();
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_IMAGES), 0u);
}

}  // namespace
