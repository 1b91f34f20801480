#include "gfx/bitmap_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/dib_layout.h"
#include "gfx/image_test_support.h"
#include "pixel/colour_octree.h"
#include "pixel/inverse_colour_map.h"
#include "sprite/sprite_tags.h"

namespace {

// The slow, obvious model of a conversion: a picture as rows of 8-bit channels in memory
// order, converted pixel by pixel.
struct Rgb {
  int r, g, b;
};
using Picture = std::vector<std::vector<Rgb>>;

BITMAPINFOHEADER HeaderOf(const std::vector<std::uint8_t>& dib) {
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib.data(), sizeof h);
  return h;
}

std::uint16_t TypeOf(const std::vector<std::uint8_t>& dib) {
  DibLayout layout;
  EXPECT_TRUE(ReadDibLayout(dib.data(), dib.size(), &layout));
  return layout.type;
}

// Reads every pixel of a plain bitmap the way the pixel format rules say.
Picture ReadPicture(const std::vector<std::uint8_t>& dib) {
  DibLayout layout;
  EXPECT_TRUE(ReadDibLayout(dib.data(), dib.size(), &layout));
  const BITMAPINFOHEADER h = layout.header;
  const std::uint32_t depth = h.biBitCount;
  const std::size_t pitch = std::size_t(PixelRowBytes(h.biWidth, depth));
  const std::uint8_t* bits = dib.data() + 40 + layout.tableBytes;
  Picture picture(h.biHeight, std::vector<Rgb>(h.biWidth));
  for (int y = 0; y < h.biHeight; ++y)
    for (int x = 0; x < h.biWidth; ++x) {
      const std::uint8_t* p = bits + y * pitch + x * (depth / 8);
      if (depth == 8) {
        const std::uint8_t* q = dib.data() + 40 + 4 * p[0];
        picture[y][x] = p[0] < layout.tableEntries ? Rgb{q[2], q[1], q[0]} : Rgb{0, 0, 0};
        continue;
      }
      std::uint32_t v = 0;
      for (std::uint32_t i = 0; i < depth / 8; ++i) v |= std::uint32_t(p[i]) << (8 * i);
      const Rgb8 c = ExpandPixel(layout.type, v);
      picture[y][x] = Rgb{c.r, c.g, c.b};
    }
  return picture;
}

// How a target type stores a wanted colour, and which colour it then holds.
struct Chooser {
  std::uint16_t type;
  const ColourOctree* tree = nullptr;     // type 4 by octree
  const InverseColourMap* map = nullptr;  // type 4 by inverse map
  const PaletteEntry* entries = nullptr;
  std::uint32_t Pixel(Rgb want, Rgb* got) const {
    if (type == PIXEL_INDEX8) {
      int index;
      if (map) {
        index = map->index[InverseMapIndex(want.r, want.g, want.b)];
      } else {
        std::uint8_t r = want.r, g = want.g, b = want.b;
        index = int(tree->FindNearest(&r, &g, &b)->payload);
      }
      *got = Rgb{entries[index].red, entries[index].green, entries[index].blue};
      return std::uint32_t(index);
    }
    if (type == PIXEL_RGB555 || type == PIXEL_RGB565) {
      const int greenMask = type == PIXEL_RGB565 ? 0xFC : 0xF8;
      *got = Rgb{want.r & 0xF8, want.g & greenMask, want.b & 0xF8};
      return PackPixel(type, std::uint8_t(want.r), std::uint8_t(want.g), std::uint8_t(want.b));
    }
    *got = want;
    return std::uint32_t(want.r) << 16 | std::uint32_t(want.g) << 8 | std::uint32_t(want.b);
  }
};

int Floor16(int v) { return int(std::floor(v / 16.0)); }

// Pixel values of the model conversion, rows in memory order.
std::vector<std::vector<std::uint32_t>> ModelConvert(const Picture& in, const Chooser& chooser,
                                                     bool diffuse) {
  const int h = int(in.size()), w = int(in[0].size());
  std::vector<std::vector<std::uint32_t>> out(h, std::vector<std::uint32_t>(w));
  // error[y][x][c]: what diffusion has sent to pixel (x, y) from the row above.
  std::vector<std::vector<std::array<int, 3>>> error(h + 1, std::vector<std::array<int, 3>>(w));
  for (int y = 0; y < h; ++y) {
    std::array<int, 3> carry = {0, 0, 0};
    for (int x = 0; x < w; ++x) {
      int want[3] = {in[y][x].r, in[y][x].g, in[y][x].b};
      if (diffuse)
        for (int c = 0; c < 3; ++c)
          want[c] = std::clamp(want[c] + error[y][x][c] + carry[c], 0, 255);
      Rgb got;
      out[y][x] = chooser.Pixel(Rgb{want[0], want[1], want[2]}, &got);
      if (!diffuse) continue;
      const int gotC[3] = {got.r, got.g, got.b};
      for (int c = 0; c < 3; ++c) {
        const int e = want[c] - gotC[c];
        if (x > 0) error[y + 1][x - 1][c] += Floor16(3 * e);
        error[y + 1][x][c] += Floor16(5 * e);
        if (x < w - 1) {
          error[y + 1][x + 1][c] += Floor16(e);
          carry[c] = e - Floor16(9 * e);
        }
      }
    }
  }
  return out;
}

std::vector<std::vector<std::uint32_t>> PixelsOf(const BITMAPINFOHEADER* dib, std::uint32_t bytes) {
  DibLayout layout;
  EXPECT_TRUE(ReadDibLayout(reinterpret_cast<const std::uint8_t*>(dib), bytes, &layout));
  const std::uint32_t depth = dib->biBitCount;
  const std::size_t pitch = std::size_t(PixelRowBytes(dib->biWidth, depth));
  EXPECT_EQ(bytes, 40 + layout.tableBytes + pitch * dib->biHeight);
  const auto* bits = reinterpret_cast<const std::uint8_t*>(dib) + 40 + layout.tableBytes;
  std::vector<std::vector<std::uint32_t>> out(dib->biHeight,
                                              std::vector<std::uint32_t>(dib->biWidth));
  for (int y = 0; y < dib->biHeight; ++y) {
    for (int x = 0; x < dib->biWidth; ++x) {
      const std::uint8_t* p = bits + y * pitch + x * (depth / 8);
      std::uint32_t v = 0;
      for (std::uint32_t i = 0; i < std::min(depth / 8, 3u); ++i)
        v |= std::uint32_t(p[i]) << (8 * i);
      if (depth == 32) {
        EXPECT_EQ(p[3], 0);
      }
      out[y][x] = v;
    }
    for (std::size_t i = dib->biWidth * (depth / 8); i < pitch; ++i)
      EXPECT_EQ(bits[y * pitch + i], 0) << "row padding";
  }
  return out;
}

std::vector<PaletteEntry> RandomPalette(std::uint32_t count, std::mt19937& rng) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<PaletteEntry> entries(count);
  for (auto& e : entries)
    e = PaletteEntry{std::uint8_t(byte(rng)), std::uint8_t(byte(rng)), std::uint8_t(byte(rng)), 0};
  return entries;
}

struct Converted {
  BITMAPINFOHEADER* dib = nullptr;
  std::uint32_t bytes = 0;
  ~Converted() {
    if (dib) GlobalFree(dib);
  }
};

const std::uint16_t kSourceTypes[] = {4, 7, 9, 11, 13};
const std::uint16_t kPackedTargets[] = {7, 9, 11, 13};

TEST(BitmapConversionTest, StraightTruncatesEachChannel) {
  std::mt19937 rng(1);
  std::vector<std::uint8_t> dib = RandomDib(2, 1, PIXEL_RGB24, rng);
  const std::uint8_t pixels[6] = {255, 255, 255, 7, 7, 7};
  std::memcpy(&dib[40], pixels, 6);
  Converted c;
  c.dib =
      ConvertStraight(dib.data(), std::uint32_t(dib.size()), PIXEL_RGB555, nullptr, 0, &c.bytes);
  ASSERT_NE(c.dib, nullptr);
  EXPECT_EQ(c.dib->biCompression, std::uint32_t(BI_BITFIELDS));
  auto out = PixelsOf(c.dib, c.bytes);
  EXPECT_EQ(out[0][0], 0x7FFFu);
  EXPECT_EQ(out[0][1], 0u);
}

TEST(BitmapConversionTest, StraightMatchesThePerPixelModel) {
  std::mt19937 rng(2);
  for (std::uint16_t from : kSourceTypes)
    for (std::uint16_t to : kPackedTargets)
      for (int width : {1, 2, 7}) {
        std::vector<std::uint8_t> dib = RandomDib(width, 5, from, rng);
        Converted c;
        c.dib = ConvertStraight(dib.data(), std::uint32_t(dib.size()), to, nullptr, 0, &c.bytes);
        ASSERT_NE(c.dib, nullptr) << from << " -> " << to;
        EXPECT_EQ(
            TypeOf(std::vector<std::uint8_t>(reinterpret_cast<std::uint8_t*>(c.dib),
                                             reinterpret_cast<std::uint8_t*>(c.dib) + c.bytes)),
            to);
        EXPECT_EQ(PixelsOf(c.dib, c.bytes), ModelConvert(ReadPicture(dib), Chooser{to}, false))
            << from << " -> " << to << " width " << width;
      }
}

TEST(BitmapConversionTest, DiffusedMatchesThePerPixelModel) {
  std::mt19937 rng(3);
  for (std::uint16_t from : kSourceTypes)
    for (std::uint16_t to : kPackedTargets)
      for (int width : {1, 2, 9}) {
        std::vector<std::uint8_t> dib = RandomDib(width, 6, from, rng);
        Converted c;
        c.dib = ConvertDiffused(dib.data(), std::uint32_t(dib.size()), to, nullptr, 0, &c.bytes);
        ASSERT_NE(c.dib, nullptr);
        EXPECT_EQ(PixelsOf(c.dib, c.bytes), ModelConvert(ReadPicture(dib), Chooser{to}, true))
            << from << " -> " << to << " width " << width;
      }
}

TEST(BitmapConversionTest, DiffusionCarriesFlatShadesToTheNextLevel) {
  // (4, 4, 4) is below the first 5-bit step: straight it is all 0, diffused some pixels
  // reach 8 (0x0421) and the average stays near 4.
  std::mt19937 rng(4);
  std::vector<std::uint8_t> dib = RandomDib(64, 4, PIXEL_RGB24, rng);
  for (std::size_t i = 40; i < dib.size(); ++i) dib[i] = 4;
  Converted c;
  c.dib =
      ConvertDiffused(dib.data(), std::uint32_t(dib.size()), PIXEL_RGB555, nullptr, 0, &c.bytes);
  ASSERT_NE(c.dib, nullptr);
  int raised = 0, zero = 0;
  for (const auto& row : PixelsOf(c.dib, c.bytes))
    for (std::uint32_t v : row) {
      ASSERT_TRUE(v == 0 || v == 0x0421) << std::hex << v;
      (v ? raised : zero)++;
    }
  EXPECT_GT(raised, 64);
  EXPECT_GT(zero, 64);
}

TEST(BitmapConversionTest, IndexedTargetsNeverChooseReservedEntries) {
  std::mt19937 rng(5);
  std::vector<PaletteEntry> entries = RandomPalette(256, rng);
  for (int i = 0; i < 256; i += 2) entries[i].flags = PC_RESERVED;
  entries[3].flags = PC_NOCOLLAPSE;  // only flags byte 1 excludes
  ColourOctree tree;
  for (int i = 0; i < 256; ++i)
    if (entries[i].flags != PC_RESERVED)
      tree.Insert(entries[i].red, entries[i].green, entries[i].blue, OctreePayload(i));
  for (std::uint16_t from : kSourceTypes)
    for (bool diffuse : {false, true}) {
      std::vector<std::uint8_t> dib = RandomDib(11, 7, from, rng);
      Converted c;
      c.dib = (diffuse ? ConvertDiffused : ConvertStraight)(
          dib.data(), std::uint32_t(dib.size()), PIXEL_INDEX8, entries.data(), 256, &c.bytes);
      ASSERT_NE(c.dib, nullptr);
      const auto out = PixelsOf(c.dib, c.bytes);
      for (const auto& row : out)
        for (std::uint32_t index : row) ASSERT_EQ(index % 2, 1u) << index;
      Chooser chooser{PIXEL_INDEX8, &tree, nullptr, entries.data()};
      EXPECT_EQ(out, ModelConvert(ReadPicture(dib), chooser, diffuse)) << from << diffuse;
      // The colour table is the palette, blue first.
      const auto* table = reinterpret_cast<const std::uint8_t*>(c.dib) + 40;
      for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(table[4 * i], entries[i].blue);
        ASSERT_EQ(table[4 * i + 2], entries[i].red);
        ASSERT_EQ(table[4 * i + 3], 0);
      }
    }
}

TEST(BitmapConversionTest, ShortPalettesOnlyOfferTheirOwnEntries) {
  std::mt19937 rng(6);
  std::vector<PaletteEntry> entries = RandomPalette(256, rng);
  std::vector<std::uint8_t> dib = RandomDib(16, 16, PIXEL_RGB24, rng);
  Converted c;
  c.dib = ConvertStraight(dib.data(), std::uint32_t(dib.size()), PIXEL_INDEX8, entries.data(), 5,
                          &c.bytes);
  ASSERT_NE(c.dib, nullptr);
  for (const auto& row : PixelsOf(c.dib, c.bytes))
    for (std::uint32_t index : row) ASSERT_LT(index, 5u);
  const auto* table = reinterpret_cast<const std::uint8_t*>(c.dib) + 40;
  for (int i = 5 * 4; i < 1024; ++i) ASSERT_EQ(table[i], 0);
}

TEST(BitmapConversionTest, InverseMapConversionsMatchTheModel) {
  std::mt19937 rng(7);
  std::vector<PaletteEntry> entries = RandomPalette(256, rng);
  entries[9].flags = PC_RESERVED;  // the inverse map was built from the whole palette
  static InverseColourMap map;
  ASSERT_TRUE(BuildInverseColourMap(entries.data(), 256, &map));
  for (std::uint16_t from : kSourceTypes)
    for (bool diffuse : {false, true}) {
      std::vector<std::uint8_t> dib = RandomDib(13, 5, from, rng);
      Converted c;
      c.dib = (diffuse ? ConvertByInverseMapDiffused : ConvertByInverseMap)(
          dib.data(), std::uint32_t(dib.size()), entries.data(), 256, &map, &c.bytes);
      ASSERT_NE(c.dib, nullptr);
      EXPECT_EQ(c.dib->biBitCount, 8);
      Chooser chooser{PIXEL_INDEX8, nullptr, &map, entries.data()};
      EXPECT_EQ(PixelsOf(c.dib, c.bytes), ModelConvert(ReadPicture(dib), chooser, diffuse))
          << from << diffuse;
    }
}

TEST(BitmapConversionTest, RefusesWhatItCannotConvert) {
  std::mt19937 rng(8);
  std::vector<PaletteEntry> entries = RandomPalette(256, rng);
  std::uint32_t bytes = 0;
  for (std::uint16_t from : {1, 2, 3}) {
    std::vector<std::uint8_t> dib = RandomDib(8, 8, from, rng);
    EXPECT_EQ(ConvertStraight(dib.data(), std::uint32_t(dib.size()), 11, nullptr, 0, &bytes),
              nullptr);
  }
  std::vector<std::uint8_t> dib = RandomDib(8, 8, PIXEL_RGB24, rng);
  for (std::uint16_t to : {0, 1, 2, 3, 5, 6, 8, 10, 12, 14})
    EXPECT_EQ(
        ConvertStraight(dib.data(), std::uint32_t(dib.size()), to, entries.data(), 256, &bytes),
        nullptr)
        << to;
  EXPECT_EQ(ConvertStraight(dib.data(), 100, 13, nullptr, 0, &bytes), nullptr);  // truncated
  EXPECT_EQ(ConvertByInverseMap(dib.data(), std::uint32_t(dib.size()), entries.data(), 256, nullptr,
                                &bytes),
            nullptr);
  // Every entry reserved: nothing may be chosen.
  for (auto& e : entries) e.flags = PC_RESERVED;
  EXPECT_EQ(ConvertStraight(dib.data(), std::uint32_t(dib.size()), 4, entries.data(), 256, &bytes),
            nullptr);
  // Encoded sources are refused.
  std::vector<std::uint8_t> encoded = RandomDib(8, 8, PIXEL_INDEX8, rng);
  BITMAPINFOHEADER h = HeaderOf(encoded);
  h.biCompression = TAG_ARLE;
  h.biSizeImage = 64;
  std::memcpy(encoded.data(), &h, 40);
  EXPECT_EQ(ConvertStraight(encoded.data(), std::uint32_t(encoded.size()), 11, nullptr, 0, &bytes),
            nullptr);
}

}  // namespace
