#include "pixel/pixel_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "pixel/inverse_colour_map.h"

TEST(PixelFormat, DepthsAndRowBytes) {
  const std::uint32_t expected[16] = {0, 1, 2, 4, 8, 0, 8, 16, 16, 16, 16, 24, 24, 32, 32, 0};
  for (int t = 0; t < 16; ++t) EXPECT_EQ(PixelDepth(std::uint16_t(t)), expected[t]) << t;
  EXPECT_EQ(PixelDepth(0xffff), 0u);
  EXPECT_EQ(PixelRowBytes(1, 1), 4u);
  EXPECT_EQ(PixelRowBytes(33, 1), 8u);
  EXPECT_EQ(PixelRowBytes(3, 24), 12u);
  EXPECT_EQ(PixelRowBytes(5, 16), 12u);
  EXPECT_EQ(PixelRowBytes(0x7fffffff, 32), 0x1fffffffcull);  // no 32-bit overflow
}

TEST(PixelFormat, PackTruncatesEachLayout) {
  EXPECT_EQ(PackPixel(PIXEL_RGB555, 255, 255, 255), 0x7fffu);
  EXPECT_EQ(PackPixel(PIXEL_RGB565, 255, 255, 255), 0xffffu);
  EXPECT_EQ(PackPixel(PIXEL_RGB24, 255, 255, 255), 0x00ffffffu);
  EXPECT_EQ(PackPixel(PIXEL_RGB32, 255, 255, 255), 0x00ffffffu);
  EXPECT_EQ(PackPixel(PIXEL_BGR555, 255, 0, 0), 0x001fu);
  EXPECT_EQ(PackPixel(PIXEL_BGR24, 255, 0, 0), 0x0000ffu);
  EXPECT_EQ(PackPixel(PIXEL_RGB555, 0x17, 0x2f, 0x47), (2u << 10) | (5u << 5) | 8u);
  EXPECT_EQ(PackPixel(PIXEL_RGB565, 0x17, 0x2f, 0x47), (2u << 11) | (11u << 5) | 8u);
  EXPECT_EQ(PackPixel(PIXEL_BGR565, 0x17, 0x2f, 0x47), (8u << 11) | (11u << 5) | 2u);
  EXPECT_EQ(PackPixel(PIXEL_BGR32, 1, 2, 3), 0x030201u);
  EXPECT_EQ(PackPixel(PIXEL_INDEX8, 1, 2, 3), 0u);
}

TEST(PixelFormat, ExpandShiftsWithoutReplicating) {
  Rgb8 c = ExpandPixel(PIXEL_RGB555, 0x7fff);
  EXPECT_EQ(c.r, 248);
  EXPECT_EQ(c.g, 248);
  EXPECT_EQ(c.b, 248);
  c = ExpandPixel(PIXEL_RGB565, 0xffff);
  EXPECT_EQ(c.r, 248);
  EXPECT_EQ(c.g, 252);
  EXPECT_EQ(c.b, 248);
  c = ExpandPixel(PIXEL_BGR565, 0xf800);
  EXPECT_EQ(c.r, 0);
  EXPECT_EQ(c.b, 248);
  c = ExpandPixel(PIXEL_BGR24, 0x030201);
  EXPECT_EQ(c.r, 1);
  EXPECT_EQ(c.g, 2);
  EXPECT_EQ(c.b, 3);
  // Expansion followed by packing gives the pixel back in every deep type.
  std::mt19937 rng(7);
  for (std::uint16_t type = PIXEL_RGB555; type <= PIXEL_BGR32; ++type) {
    const std::uint32_t mask = PixelDepth(type) == 16 ? (IsPixel565(type) ? 0xffff : 0x7fff)
                                                      : 0xffffff;
    for (int i = 0; i < 500; ++i) {
      const std::uint32_t p = rng() & mask;
      const Rgb8 e = ExpandPixel(type, p);
      EXPECT_EQ(PackPixel(type, e.r, e.g, e.b), p) << type;
    }
  }
}

TEST(PixelFormat, LookupTableFollowsPackAndPadsTo256) {
  std::vector<PaletteEntry> palette(5);
  for (int i = 0; i < 5; ++i) {
    palette[i] = {std::uint8_t(i * 50), std::uint8_t(255 - i * 40), std::uint8_t(i * 13), 0};
  }
  for (std::uint16_t type = PIXEL_RGB555; type <= PIXEL_BGR32; ++type) {
    PixelLookupTable table;
    std::fill(table.pixel32, table.pixel32 + 256, 0xdeadbeefu);
    ASSERT_TRUE(BuildPixelLookupTable(palette.data(), 5, type, &table));
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t want =
          i < 5 ? PackPixel(type, palette[i].red, palette[i].green, palette[i].blue) : 0;
      const std::uint32_t got = PixelDepth(type) == 16 ? table.pixel16[i] : table.pixel32[i];
      EXPECT_EQ(got, want) << type << " " << i;
    }
  }
  PixelLookupTable table;
  EXPECT_FALSE(BuildPixelLookupTable(palette.data(), 5, PIXEL_INDEX8, &table));
  EXPECT_FALSE(BuildPixelLookupTable(palette.data(), 5, 15, &table));
  EXPECT_FALSE(BuildPixelLookupTable(palette.data(), 0, PIXEL_RGB555, &table));
  EXPECT_FALSE(BuildPixelLookupTable(palette.data(), 257, PIXEL_RGB555, &table));
}

TEST(PixelFormat, DitherMatrixIsAPermutationRepeated) {
  EXPECT_EQ(DitherMatrix8[0][0], 1);
  EXPECT_EQ(DitherMatrix8[7][0], 64);
  EXPECT_EQ(DitherMatrix8[3][4], 63);
  EXPECT_EQ(DitherMatrix8[2][7], 39);
  std::vector<int> seen(65, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ++seen[DitherMatrix8[y][x]];
  for (int v = 1; v <= 64; ++v) EXPECT_EQ(seen[v], 1) << v;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(DitherMatrix8[y][x], DitherMatrix8[y & 7][x & 7]);
}

TEST(PixelFormat, BlendTableEntries) {
  for (int w = 0; w <= 32; ++w)
    for (int c = 0; c < 32; ++c) EXPECT_EQ(BlendTable[w][c], w * c * 8);
}

TEST(InverseColourMap, MatchesNearestFindAndPrefersLowerIndex) {
  std::mt19937 rng(11);
  std::vector<PaletteEntry> palette(40);
  for (auto& e : palette) e = {std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0};
  palette[30] = palette[3];  // a duplicate: index 30 must never appear
  auto map = std::make_unique<InverseColourMap>();
  ASSERT_TRUE(BuildInverseColourMap(palette.data(), 40, map.get()));

  ColourOctree tree;
  ASSERT_TRUE(BuildPaletteOctree(palette.data(), 40, &tree));
  EXPECT_EQ(tree.LeafCount(), 39u);
  for (int i = 0; i < 32768; ++i) {
    std::uint8_t r = std::uint8_t((i >> 10) << 3), g = std::uint8_t(((i >> 5) & 31) << 3),
                 b = std::uint8_t((i & 31) << 3);
    ASSERT_EQ(map->index[i], tree.FindNearest(&r, &g, &b)->payload) << i;
    ASSERT_NE(map->index[i], 30);
  }
  // Each palette colour, reduced to the map's grid, finds an entry of the same grid cell
  // when the palette has one there: here all entries on the grid itself find themselves.
  std::vector<PaletteEntry> grid = {{0, 0, 0, 0}, {248, 0, 0, 0}, {0, 248, 0, 0},
                                    {8, 16, 24, 0}};
  ASSERT_TRUE(BuildInverseColourMap(grid.data(), 4, map.get()));
  for (std::uint32_t i = 0; i < grid.size(); ++i) {
    EXPECT_EQ(map->index[InverseMapIndex(grid[i].red, grid[i].green, grid[i].blue)], i);
  }
}

TEST(InverseColourMap, EmptyPaletteGivesZeroMap) {
  auto map = std::make_unique<InverseColourMap>();
  std::fill(map->index, map->index + 32768, 7);
  EXPECT_FALSE(BuildInverseColourMap(nullptr, 0, map.get()));
  EXPECT_EQ(*std::max_element(map->index, map->index + 32768), 0);
}
