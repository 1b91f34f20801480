#include "gfx/packed_dib_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gfx/dib_layout.h"
#include "gfx/global_memory_block.h"
#include "gfx/image_test_support.h"
#include "gfx/palette.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/pixel_format.h"
#include "sprite/sprite_tags.h"

namespace {

struct ImageRef {
  PackedDibImage* p = new PackedDibImage;
  ~ImageRef() { p->Release(); }
  PackedDibImage* operator->() const { return p; }
};

// Loads bytes through a caller's block with a private copy.
std::int32_t LoadBytes(PackedDibImage* image, const std::vector<std::uint8_t>& bytes,
                       std::uint32_t extraFlags = 0) {
  std::vector<std::uint8_t> copy = bytes;
  WrappedMemoryBlock block(copy.empty() ? nullptr : copy.data(), std::uint32_t(copy.size()), false,
                           false);
  return image->Load(&block, LOAD_FROM_BLOCK | LOAD_PRIVATE_COPY | extraFlags, nullptr, nullptr);
}

struct Colour {
  int r, g, b;
  bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Picture pixel (x, y), row 0 at the top, as 8-bit channels (through the palette).
Colour ColourAt(PackedDibImage* image, int x, int y) {
  const std::uint32_t depth = PixelDepth(image->Type());
  if (depth <= 8) {
    std::uint8_t* bits;
    std::int32_t pitch;
    EXPECT_EQ(image->Lock(&bits, &pitch), GFX_OK);
    const std::uint8_t byte = bits[std::ptrdiff_t(image->Height() - 1 - y) * pitch + x * depth / 8];
    const std::uint32_t index = (byte >> (8 - depth - x * depth % 8)) & ((1u << depth) - 1);
    image->Unlock();
    const PaletteEntry& e = image->GetPalette()->Entries()[index];
    return Colour{e.red, e.green, e.blue};
  }
  const Rgb8 c = ExpandPixel(image->Type(), image->GetPixel(x, y));
  return Colour{c.r, c.g, c.b};
}

// The header, colour table and bits of a newly made image as a byte vector.
std::vector<std::uint8_t> DibOf(PackedDibImage* image) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(image->Header());
  return std::vector<std::uint8_t>(p, p + image->DibBytes());
}

TEST(PackedDibImageTest, CreateMakesEveryTypeWithAHeaderForm) {
  for (std::uint16_t type : {1, 2, 3, 4, 7, 9, 11, 13}) {
    ImageRef image;
    ASSERT_EQ(image->Create(33, 7, type), GFX_OK) << type;
    EXPECT_EQ(image->Kind(), 1);
    EXPECT_EQ(image->IsBottomUp(), 1);
    EXPECT_EQ(image->Width(), 33);
    EXPECT_EQ(image->Height(), 7);
    EXPECT_EQ(image->Type(), type);
    EXPECT_EQ(image->IsEncoded(), 0);
    std::uint8_t* bits = nullptr;
    std::int32_t pitch = 0;
    ASSERT_EQ(image->Lock(&bits, &pitch), GFX_OK);
    EXPECT_EQ(pitch, std::int32_t(PixelRowBytes(33, PixelDepth(type))));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bits) % 4, 0u);
    image->Unlock();
    const std::uint32_t depth = PixelDepth(type);
    if (depth <= 8) {
      ASSERT_NE(image->GetPalette(), nullptr);
      EXPECT_EQ(image->GetPalette()->Count(), 1 << depth);
    } else {
      EXPECT_EQ(image->GetPalette(), nullptr);
    }
  }
  ImageRef bad;
  EXPECT_EQ(bad->Create(10, 10, 5), GFX_BAD_ARGUMENT);
  EXPECT_EQ(bad->Create(10, 10, 8), GFX_BAD_ARGUMENT);
  EXPECT_EQ(bad->Create(0, 10, 4), GFX_BAD_ARGUMENT);
  EXPECT_EQ(bad->Create(10, 70000, 4), GFX_BAD_ARGUMENT);
  EXPECT_EQ(bad->Create(65535, 65535, 13), GFX_BAD_ARGUMENT);  // beyond what we allocate
  EXPECT_EQ(bad->Type(), 0);
  EXPECT_EQ(bad->Header(), nullptr);
}

TEST(PackedDibImageTest, LocksNestAndOnlyTheLastUnlockReleases) {
  ImageRef image;
  ASSERT_EQ(image->Create(8, 8, PIXEL_RGB565), GFX_OK);
  std::uint8_t *a, *b;
  std::int32_t pa, pb;
  ASSERT_EQ(image->Lock(&a, &pa), GFX_OK);
  ASSERT_EQ(image->Lock(&b, &pb), GFX_OK);
  EXPECT_EQ(a, b);
  EXPECT_EQ(pa, pb);
  EXPECT_EQ(image->Encode(TAG_PKCC), GFX_LOCKED);
  image->Unlock();
  EXPECT_EQ(image->Encode(TAG_PKCC), GFX_LOCKED);
  image->Unlock();
  EXPECT_EQ(image->Unlock(), GFX_OK);  // one too many does nothing
  EXPECT_EQ(image->Encode(TAG_PKCC), GFX_OK);
  EXPECT_EQ(image->Lock(&a, &pa), GFX_ENCODED);
  ImageRef empty;
  EXPECT_EQ(empty->Lock(&a, &pa), GFX_NO_PIXELS);
}

TEST(PackedDibImageTest, LoadFromACallersBlock) {
  std::mt19937 rng(1);
  std::vector<std::uint8_t> dib = RandomDib(10, 4, PIXEL_RGB24, rng);
  WrappedMemoryBlock block(dib.data(), std::uint32_t(dib.size()), false, false);
  {
    ImageRef shared;
    ASSERT_EQ(shared->Load(&block, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_OK);
    EXPECT_EQ(reinterpret_cast<std::uint8_t*>(shared->Header()), dib.data());  // no copy
  }
  ImageRef own;
  ASSERT_EQ(own->Load(&block, LOAD_FROM_BLOCK | LOAD_PRIVATE_COPY, nullptr, nullptr), GFX_OK);
  EXPECT_NE(reinterpret_cast<std::uint8_t*>(own->Header()), dib.data());
  const std::uint32_t before = own->GetPixel(3, 2);
  std::memset(dib.data() + 40, 0x5A, dib.size() - 40);
  EXPECT_EQ(own->GetPixel(3, 2), before);

  ImageRef bad;
  EXPECT_EQ(bad->Load(nullptr, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_BAD_ARGUMENT);
  EXPECT_EQ(bad->Load(&block, 3, nullptr, nullptr), GFX_BAD_ARGUMENT);
#ifndef _WIN32
  EXPECT_EQ(bad->Load("no such file", LOAD_FROM_FILE, nullptr, nullptr), GFX_BAD_ARGUMENT);
#endif
}

TEST(PackedDibImageTest, EveryTruncationOrCorruptionIsRefusedCleanly) {
  std::mt19937 rng(2);
  for (std::uint16_t type : {1, 4, 7, 11, 13}) {
    const std::vector<std::uint8_t> dib = RandomDib(13, 5, type, rng);
    for (std::size_t size = 0; size < dib.size(); ++size) {
      ImageRef image;
      std::vector<std::uint8_t> part(dib.begin(), dib.begin() + std::ptrdiff_t(size));
      ASSERT_EQ(LoadBytes(image.p, part), GFX_BAD_ARGUMENT) << type << " " << size;
      ASSERT_EQ(image->Type(), 0);
    }
    // Random corruption of the header: loads cleanly or is refused, never reads outside.
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> bad = dib;
      const int flips = 1 + round % 4;
      for (int i = 0; i < flips; ++i)
        bad[std::uniform_int_distribution<int>(0, 51)(rng)] = std::uint8_t(rng());
      ImageRef image;
      if (LoadBytes(image.p, bad) == GFX_OK && !image->IsEncoded()) {
        image->FillRect(0, 0, image->Width(), image->Height(), 0);
        image->GetPixel(image->Width() - 1, image->Height() - 1);
      } else if (image->Type() != 0) {
        EXPECT_NE(image->Decode(), GFX_OK);  // random bytes are no valid encoding
      }
    }
  }
}

TEST(PackedDibImageTest, FileHeadersAreSkippedAndTheBitsRealigned) {
  std::mt19937 rng(3);
  const std::vector<std::uint8_t> dib = RandomDib(7, 3, PIXEL_INDEX8, rng);
  std::vector<std::uint8_t> file(14 + dib.size(), 0);
  const std::uint32_t bitsOffset = 0x436;
  file[0] = 'B';
  file[1] = 'M';
  std::memcpy(&file[10], &bitsOffset, 4);
  std::memcpy(&file[14], dib.data(), dib.size());
  ImageRef plain, withHeader;
  ASSERT_EQ(LoadBytes(plain.p, dib), GFX_OK);
  // Loaded straight from the caller's bytes: the header sits at offset 14.
  WrappedMemoryBlock block(file.data(), std::uint32_t(file.size()), false, true);
  ASSERT_EQ(withHeader->Load(&block, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_OK);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(withHeader->Header()) % 4, 0u);
  EXPECT_EQ(DibOf(withHeader.p), DibOf(plain.p));
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(withHeader->GetPalette()->Entries()[i].red, plain->GetPalette()->Entries()[i].red);
}

TEST(PackedDibImageTest, ShortColourTablesGiveBlackEntries) {
  std::mt19937 rng(4);
  std::vector<std::uint8_t> dib = RandomDib(4, 2, PIXEL_INDEX8, rng);
  std::vector<std::uint8_t> shortTable(dib.begin(), dib.begin() + 48);
  shortTable.insert(shortTable.end(), dib.begin() + 1064, dib.end());
  reinterpret_cast<BITMAPINFOHEADER*>(shortTable.data())->biClrUsed = 2;
  ImageRef image;
  ASSERT_EQ(LoadBytes(image.p, shortTable), GFX_OK);
  const PaletteEntry* e = image->GetPalette()->Entries();
  EXPECT_EQ(image->GetPalette()->Count(), 256);
  EXPECT_EQ(e[1].red, dib[40 + 4 + 2]);
  EXPECT_EQ(e[2].red | e[2].green | e[2].blue | e[255].red, 0);
  // Setting a full palette writes only the two entries the table has.
  Palette* palette = image->NewPalette();
  palette->Create(256);
  std::vector<PaletteEntry> white(256, PaletteEntry{255, 255, 255, 0});
  palette->SetEntries(white.data(), 0, 256);
  ASSERT_EQ(image->SetPalette(palette), GFX_OK);
  palette->Release();
  const std::uint8_t* bytes = reinterpret_cast<const std::uint8_t*>(image->Header());
  EXPECT_EQ(bytes[40], 255);
  EXPECT_EQ(bytes[44 + 2], 255);
  EXPECT_EQ(std::memcmp(bytes + 48, &shortTable[48], shortTable.size() - 48), 0);  // bits kept
}

TEST(PackedDibImageTest, PalettesMustMatchTheDepth) {
  ImageRef image;
  Palette* p16 = new Palette;
  p16->Create(16);
  Palette* empty = new Palette;
  EXPECT_EQ(image->SetPalette(p16), GFX_NO_PIXELS);
  ASSERT_EQ(image->Create(4, 4, PIXEL_INDEX8), GFX_OK);
  EXPECT_EQ(image->SetPalette(p16), GFX_PALETTE_LENGTH);
  EXPECT_EQ(image->SetPalette(empty), GFX_PALETTE_EMPTY);
  EXPECT_EQ(image->SetPalette(nullptr), GFX_OK);
  EXPECT_EQ(image->GetPalette(), nullptr);
  ImageRef deep;
  ASSERT_EQ(deep->Create(4, 4, PIXEL_RGB24), GFX_OK);
  EXPECT_EQ(deep->SetPalette(p16), GFX_PALETTE_LENGTH);
  ImageRef nibble;
  ASSERT_EQ(nibble->Create(4, 4, PIXEL_INDEX4), GFX_OK);
  EXPECT_EQ(nibble->SetPalette(p16), GFX_OK);
  p16->Release();
  empty->Release();
}

TEST(PackedDibImageTest, SyncPaletteCopiesChangedEntriesIntoTheTable) {
  ImageRef image;
  ASSERT_EQ(image->Create(2, 2, PIXEL_INDEX8), GFX_OK);
  Palette* palette = image->NewPalette();
  palette->Create(256);
  PaletteEntry e = {10, 20, 30, PC_RESERVED};
  palette->SetEntries(&e, 5, 1);
  ASSERT_EQ(image->SetPalette(palette), GFX_OK);
  const std::uint8_t* table = reinterpret_cast<const std::uint8_t*>(image->Header()) + 40;
  EXPECT_EQ(table[20], 30);  // blue first
  EXPECT_EQ(table[21], 20);
  EXPECT_EQ(table[22], 10);
  EXPECT_EQ(table[23], 0);  // flags are not copied
  e = PaletteEntry{1, 2, 3, 0};
  palette->SetEntries(&e, 5, 1);
  EXPECT_EQ(table[22], 10);  // not until the image syncs
  EXPECT_EQ(image->SyncPalette(), GFX_OK);
  EXPECT_EQ(table[22], 1);
  palette->Release();

  // Read-only bytes are never written.
  std::mt19937 rng(5);
  std::vector<std::uint8_t> dib = RandomDib(2, 2, PIXEL_INDEX8, rng);
  const std::vector<std::uint8_t> original = dib;
  WrappedMemoryBlock block(dib.data(), std::uint32_t(dib.size()), false, true);
  ImageRef readOnly;
  ASSERT_EQ(readOnly->Load(&block, LOAD_FROM_BLOCK, nullptr, nullptr), GFX_OK);
  Palette* other = readOnly->NewPalette();
  other->Create(256);
  ASSERT_EQ(readOnly->SetPalette(other), GFX_OK);
  other->Release();
  EXPECT_EQ(dib, original);
}

TEST(PackedDibImageTest, EncodeAndDecodeRoundTrip) {
  std::mt19937 rng(6);
  struct Case {
    std::uint16_t type;
    std::uint32_t request;
    std::uint32_t stored;
  };
  const Case cases[] = {
      {PIXEL_RGB24, TAG_PKCC, TAG_PKC1},  {PIXEL_RGB565, TAG_PKCC, TAG_PKC2},
      {PIXEL_RGB555, TAG_PKCC, TAG_PKC2}, {PIXEL_INDEX4, TAG_PKCC, TAG_PKC1},
      {PIXEL_INDEX8, TAG_ARLE, TAG_ARLE}, {PIXEL_INDEX8, TAG_PRLE, TAG_PRLE},
      {PIXEL_INDEX8, TAG_TRLE, TAG_TRLE},
  };
  for (const Case& c : cases) {
    ImageRef image;
    std::vector<std::uint8_t> dib = RandomDib(37, 9, c.type, rng);
    if (c.type == PIXEL_INDEX8) {  // runs, and zero rows for the trimmed encoding
      for (std::size_t i = 1064; i < dib.size(); ++i)
        dib[i] = std::uint8_t(i % 97 < 60 ? 0 : i / 40);
    }
    ASSERT_EQ(LoadBytes(image.p, dib), GFX_OK);
    EXPECT_EQ(image->Decode(), GFX_NOT_ENCODED);
    ASSERT_EQ(image->Encode(c.request), GFX_OK) << c.type;
    EXPECT_EQ(image->IsEncoded(), 1);
    EXPECT_EQ(image->Header()->biCompression, c.stored);
    EXPECT_EQ(image->Type(), c.type);
    EXPECT_EQ(image->Encode(c.request), GFX_ALREADY_ENCODED);
    EXPECT_EQ(image->Convert(PIXEL_RGB24, nullptr, 0), GFX_ENCODED);
    ASSERT_EQ(image->Decode(), GFX_OK);
    EXPECT_EQ(image->IsEncoded(), 0);
    // The plain form comes back with the same colour table and pixels.
    std::vector<std::uint8_t> back = DibOf(image.p);
    ASSERT_EQ(back.size(), dib.size());
    DibLayout layout;
    ASSERT_TRUE(ReadDibLayout(dib.data(), dib.size(), &layout));
    EXPECT_EQ(std::memcmp(back.data() + 40, dib.data() + 40, layout.tableBytes), 0) << c.type;
    ImageRef original;
    ASSERT_EQ(LoadBytes(original.p, dib), GFX_OK);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 37; ++x)
        ASSERT_EQ(ColourAt(image.p, x, y), ColourAt(original.p, x, y)) << c.type << " " << x;

    // Loading an encoded bitmap with LOAD_DECODE decodes it at once.
    ASSERT_EQ(image->Encode(c.request), GFX_OK);
    std::vector<std::uint8_t> encoded = DibOf(image.p);
    ImageRef loaded;
    ASSERT_EQ(LoadBytes(loaded.p, encoded, LOAD_DECODE), GFX_OK);
    EXPECT_EQ(loaded->IsEncoded(), 0);
    ImageRef kept;
    ASSERT_EQ(LoadBytes(kept.p, encoded), GFX_OK);
    EXPECT_EQ(kept->IsEncoded(), 1);
  }
}

TEST(PackedDibImageTest, EncodeRefusalsLeaveTheImageAsItWas) {
  std::mt19937 rng(7);
  ImageRef image;
  ASSERT_EQ(image->Encode(TAG_PKCC), GFX_NO_PIXELS);
  ASSERT_EQ(image->Decode(), GFX_NO_PIXELS);
  ASSERT_EQ(LoadBytes(image.p, RandomDib(5, 5, PIXEL_RGB24, rng)), GFX_OK);
  const std::vector<std::uint8_t> before = DibOf(image.p);
  EXPECT_EQ(image->Encode(TAG_TRLE), GFX_BAD_ARGUMENT);  // the run-length encoders take 8 bits
  EXPECT_EQ(image->Encode(TAG_ARLE), GFX_BAD_ARGUMENT);
  EXPECT_EQ(image->Encode(MAKEFOURCC('A', 'B', 'C', 'D')), GFX_UNKNOWN_TAG);
  EXPECT_EQ(image->Encode(TAG_PKC1), GFX_UNKNOWN_TAG);  // stored tags are not requests
  EXPECT_EQ(image->IsEncoded(), 0);
  EXPECT_EQ(DibOf(image.p), before);
}

TEST(PackedDibImageTest, CopiesAreIndependentAndKeepTheEncoding) {
  std::mt19937 rng(8);
  ImageRef source;
  ASSERT_EQ(LoadBytes(source.p, RandomDib(6, 6, PIXEL_INDEX8, rng)), GFX_OK);
  ImageRef copy;
  ASSERT_EQ(copy->CopyFrom(source.p), GFX_OK);
  EXPECT_EQ(DibOf(copy.p), DibOf(source.p));
  EXPECT_NE(copy->Header(), source->Header());
  copy->SetPixel(0, 0, source->GetPixel(0, 0) ^ 0xFF);
  EXPECT_NE(copy->GetPixel(0, 0), source->GetPixel(0, 0));
  ASSERT_EQ(source->Encode(TAG_PKCC), GFX_OK);
  ImageRef encoded;
  ASSERT_EQ(encoded->CopyFrom(source.p), GFX_OK);
  EXPECT_EQ(encoded->IsEncoded(), 1);
  EXPECT_EQ(encoded->CopyFrom(encoded.p), GFX_OK);  // itself: nothing to do
  EXPECT_EQ(encoded->IsEncoded(), 1);
  ImageRef empty;
  EXPECT_EQ(copy->CopyFrom(empty.p), GFX_NO_PIXELS);
  EXPECT_EQ(copy->Type(), 0);
}

TEST(PackedDibImageTest, ConvertStatusesAndResults) {
  std::mt19937 rng(9);
  ImageRef image;
  EXPECT_EQ(image->Convert(PIXEL_RGB555, nullptr, 0), GFX_NO_PIXELS);
  std::vector<std::uint8_t> dib = RandomDib(3, 2, PIXEL_RGB24, rng);
  const std::uint8_t pixels[] = {255, 255, 255, 7, 7, 7, 0, 0, 255};
  std::memcpy(&dib[40], pixels, sizeof pixels);
  ASSERT_EQ(LoadBytes(image.p, dib), GFX_OK);
  const BITMAPINFOHEADER* header = image->Header();
  EXPECT_EQ(image->Convert(PIXEL_RGB24, nullptr, 0), GFX_OK);
  EXPECT_EQ(image->Header(), header);  // nothing done
  EXPECT_EQ(image->Convert(PIXEL_INDEX8, nullptr, 0), GFX_BAD_ARGUMENT);
  ASSERT_EQ(image->Convert(PIXEL_RGB555, nullptr, 0), GFX_OK);
  EXPECT_EQ(image->Type(), PIXEL_RGB555);
  EXPECT_EQ(image->GetPixel(0, 1), 0x7FFFu);  // memory row 0 is the bottom picture row
  EXPECT_EQ(image->GetPixel(1, 1), 0u);
  EXPECT_EQ(image->GetPixel(2, 1), 0x7C00u);

  Palette* palette = new Palette;
  palette->Create(4);
  const PaletteEntry entries[4] = {
      {0, 0, 0, 0}, {255, 0, 0, PC_RESERVED}, {128, 0, 0, 0}, {255, 255, 255, 0}};
  palette->SetEntries(entries, 0, 4);
  for (std::uint32_t flags : {0u, 2u}) {
    ImageRef indexed;
    ASSERT_EQ(LoadBytes(indexed.p, dib), GFX_OK);
    ASSERT_EQ(indexed->Convert(PIXEL_INDEX8, palette, flags), GFX_OK);
    EXPECT_EQ(indexed->Type(), PIXEL_INDEX8);
    EXPECT_EQ(indexed->GetPixel(2, 1), 2u);  // red, but never the reserved entry
    EXPECT_EQ(indexed->GetPixel(0, 1), 3u);
    ASSERT_NE(indexed->GetPalette(), nullptr);
    EXPECT_NE(indexed->GetPalette(), palette);  // rebuilt from the new colour table
    EXPECT_EQ(indexed->GetPalette()->Count(), 256);
    EXPECT_EQ(indexed->GetPalette()->Entries()[2].red, 128);
  }
  ImageRef mapped;
  ASSERT_EQ(LoadBytes(mapped.p, dib), GFX_OK);
  ASSERT_EQ(mapped->Convert(PIXEL_INDEX8, palette, CONVERT_INVERSE_MAP), GFX_OK);
  EXPECT_EQ(mapped->GetPixel(2, 1), 1u);  // the inverse map holds the whole palette
  palette->Release();

  ImageRef nibble;
  ASSERT_EQ(nibble->Create(4, 4, PIXEL_INDEX4), GFX_OK);
  EXPECT_EQ(nibble->Convert(PIXEL_RGB24, nullptr, 0), GFX_CONVERSION_EMPTY);
  EXPECT_EQ(nibble->Type(), PIXEL_INDEX4);
}

TEST(PackedDibImageTest, PrefaultTouchesTheBitmap) {
  ImageRef image;
  image->Prefault();  // empty: nothing
  ASSERT_EQ(image->Create(300, 200, PIXEL_RGB32), GFX_OK);
  image->Prefault();
  SUCCEED();
}

// Bitmaps written by ImageMagick: each loads with the pixels ImageMagick itself reads
// back, or is refused cleanly.
class PeerBitmapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 rng(1234);
    std::string ppm = "P6 " + std::to_string(kWidth) + " " + std::to_string(kHeight) + " 255\n";
    std::vector<std::uint8_t> bytes(ppm.begin(), ppm.end());
    for (int i = 0; i < kWidth * kHeight * 3; ++i) bytes.push_back(std::uint8_t(rng()));
    WriteFileBytes(dir_.File("in.ppm"), bytes);
    if (!RunConvert(dir_.File("in.ppm") + " " + dir_.File("probe.bmp")))
      GTEST_SKIP() << "ImageMagick's convert is not available";
  }

  void ExpectPixels(PackedDibImage* image, const std::vector<std::uint8_t>& rgb, int keepBits) {
    ASSERT_EQ(image->Width(), kWidth);
    ASSERT_EQ(image->Height(), kHeight);
    const int drop = 8 - keepBits;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const Colour c = ColourAt(image, x, y);
        const std::uint8_t* e = &rgb[(y * kWidth + x) * 3];
        const Colour got = {c.r >> drop, c.g >> drop, c.b >> drop};
        const Colour want = {e[0] >> drop, e[1] >> drop, e[2] >> drop};
        ASSERT_EQ(got, want) << x << "," << y;
      }
  }

  static constexpr int kWidth = 37;
  static constexpr int kHeight = 11;
  TempDir dir_;
};

TEST_F(PeerBitmapTest, PlainDepthsLoadWithTheirPixels) {
  struct Case {
    const char* arguments;
    const char* format;  // convert takes it as a prefix of the output name
    std::uint16_t type;
  };
  const Case cases[] = {
      {"-monochrome -compress None", "BMP3:", 1},
      {"-colors 16 -type palette -compress None", "BMP3:", 3},
      {"-colors 200 -type palette -compress None", "BMP3:", 4},
      {"-type truecolor", "BMP3:", 11},
      {"-alpha set -define bmp3:alpha=true", "BMP3:", 13},
  };
  for (const Case& c : cases) {
    const std::string out = dir_.File("out.bmp");
    std::remove(out.c_str());
    ASSERT_TRUE(RunConvert(dir_.File("in.ppm") + " " + c.arguments + " " + c.format + out));
    ASSERT_TRUE(RunConvert(out + " -depth 8 rgb:" + dir_.File("out.rgb")));
    const std::vector<std::uint8_t> file = ReadFileBytes(out);
    const std::vector<std::uint8_t> rgb = ReadFileBytes(dir_.File("out.rgb"));
    ASSERT_EQ(rgb.size(), std::size_t(kWidth * kHeight * 3));
    ImageRef image;
    ASSERT_EQ(LoadBytes(image.p, file), GFX_OK) << c.arguments;
    EXPECT_EQ(image->Type(), c.type) << c.arguments;
    ExpectPixels(image.p, rgb, 8);
    // Without the file header the same bitmap loads the same way.
    ImageRef bare;
    ASSERT_EQ(LoadBytes(bare.p, std::vector<std::uint8_t>(file.begin() + 14, file.end())), GFX_OK);
    ExpectPixels(bare.p, rgb, 8);
  }
}

TEST_F(PeerBitmapTest, LaterHeadersAndTopDownRowsLoadRewritten) {
  const std::string out = dir_.File("out.bmp"), rgbFile = dir_.File("out.rgb");
  struct Case {
    const char* arguments;
    std::uint16_t type;
    int keepBits;
  };
  const Case cases[] = {
      {"-define bmp:subtype=RGB555", 7, 5},
      {"-define bmp:subtype=RGB565", 9, 5},
      {"-type truecolor", 11, 8},
      {"-alpha set -define bmp:subtype=ARGB8888", 13, 8},
  };
  for (const Case& c : cases) {
    std::remove(out.c_str());
    ASSERT_TRUE(RunConvert(dir_.File("in.ppm") + " " + c.arguments + " BMP:" + out));
    ASSERT_TRUE(RunConvert(out + " -depth 8 rgb:" + rgbFile));
    std::vector<std::uint8_t> file = ReadFileBytes(out);
    const std::vector<std::uint8_t> rgb = ReadFileBytes(rgbFile);
    ASSERT_GT(file.size(), 18u);
    EXPECT_EQ(file[14], 124) << "ImageMagick writes the 124-byte header form";
    ImageRef image;
    ASSERT_EQ(LoadBytes(image.p, file), GFX_OK) << c.arguments;
    EXPECT_EQ(image->Type(), c.type) << c.arguments;
    EXPECT_EQ(image->Header()->biSize, 40u);
    ExpectPixels(image.p, rgb, c.keepBits);
  }
  // A top-down bitmap: rows reversed in the file and a negative height.
  std::remove(out.c_str());
  ASSERT_TRUE(RunConvert(dir_.File("in.ppm") + " -type truecolor BMP3:" + out));
  ASSERT_TRUE(RunConvert(out + " -depth 8 rgb:" + rgbFile));
  std::vector<std::uint8_t> file = ReadFileBytes(out);
  BITMAPINFOHEADER h;
  std::memcpy(&h, &file[14], 40);
  const std::size_t pitch = std::size_t(PixelRowBytes(h.biWidth, 24));
  std::vector<std::uint8_t> flipped = file;
  for (int row = 0; row < h.biHeight; ++row)
    std::memcpy(&flipped[54 + row * pitch], &file[54 + (h.biHeight - 1 - row) * pitch], pitch);
  h.biHeight = -h.biHeight;
  std::memcpy(&flipped[14], &h, 40);
  ImageRef topDown;
  ASSERT_EQ(LoadBytes(topDown.p, flipped), GFX_OK);
  ExpectPixels(topDown.p, ReadFileBytes(rgbFile), 8);
}

TEST_F(PeerBitmapTest, RunLengthAndMalformedFilesAreRefused) {
  const std::string out = dir_.File("out.bmp");
  auto write = [&](const std::string& arguments, const std::string& format) {
    std::remove(out.c_str());
    EXPECT_TRUE(RunConvert(dir_.File("in.ppm") + " " + arguments + " " + format + out));
    return ReadFileBytes(out);
  };
  // BI_RLE8: the loader cannot draw it.
  std::vector<std::uint8_t> rle = write("-colors 200 -type palette -compress RLE", "BMP3:");
  ASSERT_GT(rle.size(), 54u);
  BITMAPINFOHEADER rleHeader;
  std::memcpy(&rleHeader, &rle[14], sizeof rleHeader);
  ASSERT_EQ(rleHeader.biCompression, std::uint32_t(BI_RLE8));
  ImageRef image;
  EXPECT_EQ(LoadBytes(image.p, rle), GFX_BAD_ARGUMENT);
  // ImageMagick's 16-bit version-3 bitmaps claim bit fields but carry no masks.
  for (const char* subtype : {"RGB555", "RGB565"}) {
    std::vector<std::uint8_t> odd = write(std::string("-define bmp:subtype=") + subtype, "BMP3:");
    ImageRef sixteen;
    EXPECT_EQ(LoadBytes(sixteen.p, odd), GFX_BAD_ARGUMENT) << subtype;
  }
  // Truncated files.
  std::vector<std::uint8_t> whole = write("-colors 200 -type palette -compress None", "BMP3:");
  for (std::size_t size :
       {std::size_t(0), std::size_t(13), std::size_t(53), std::size_t(1000), whole.size() - 1}) {
    ImageRef cut;
    EXPECT_EQ(LoadBytes(cut.p, std::vector<std::uint8_t>(whole.begin(),
                                                         whole.begin() + std::ptrdiff_t(size))),
              GFX_BAD_ARGUMENT)
        << size;
  }
}

}  // namespace
