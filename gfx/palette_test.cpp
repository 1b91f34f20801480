#include "gfx/palette.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx/graphics_system.h"
#include "pixel/pixel_format.h"

namespace {

std::vector<PaletteEntry> RandomEntries(std::size_t count, std::mt19937& rng) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<PaletteEntry> entries(count);
  for (PaletteEntry& e : entries)
    e = PaletteEntry{std::uint8_t(byte(rng)), std::uint8_t(byte(rng)), std::uint8_t(byte(rng)), 0};
  return entries;
}

TEST(PaletteTest, CreateOnceAndOnlyWithEntries) {
  Palette palette;
  EXPECT_EQ(palette.Count(), 0);
  PaletteEntry e = {1, 2, 3, 0};
  EXPECT_EQ(palette.SetEntries(&e, 0, 1), PALETTE_NO_ENTRIES);
  EXPECT_EQ(palette.GetEntries(&e, 0, 1), PALETTE_NO_ENTRIES);
  EXPECT_EQ(palette.SetEntries(nullptr, 0, 1), PALETTE_NULL_ARGUMENT);
  EXPECT_EQ(palette.Create(0), PALETTE_NO_ENTRIES);
  EXPECT_EQ(palette.Create(257), PALETTE_NO_ENTRIES);
  ASSERT_EQ(palette.Create(256), PALETTE_OK);
  EXPECT_EQ(palette.Create(256), PALETTE_ALREADY_CREATED);
  EXPECT_EQ(palette.Count(), 256);
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& z = palette.Entries()[i];
    ASSERT_EQ(z.red | z.green | z.blue | z.flags, 0);
  }
}

TEST(PaletteTest, RangesMustStayInsideTheTable) {
  Palette palette;
  ASSERT_EQ(palette.Create(16), PALETTE_OK);
  std::vector<PaletteEntry> buffer(32);
  EXPECT_EQ(palette.SetEntries(buffer.data(), 0, 16), PALETTE_OK);
  EXPECT_EQ(palette.SetEntries(buffer.data(), 8, 9), PALETTE_NO_ENTRIES);
  EXPECT_EQ(palette.SetEntries(buffer.data(), -1, 2), PALETTE_NO_ENTRIES);
  EXPECT_EQ(palette.GetEntries(buffer.data(), 15, 2), PALETTE_NO_ENTRIES);
  EXPECT_EQ(palette.GetEntries(buffer.data(), 0, -1), PALETTE_NO_ENTRIES);
  EXPECT_EQ(palette.GetEntries(buffer.data(), 16, 0), PALETTE_OK);
}

TEST(PaletteTest, EntriesCopyBetweenPalettes) {
  std::mt19937 rng(2);
  std::vector<PaletteEntry> entries = RandomEntries(40, rng);
  Palette a;
  ASSERT_EQ(a.Create(40), PALETTE_OK);
  ASSERT_EQ(a.SetEntries(entries.data(), 0, 40), PALETTE_OK);
  Palette b;
  EXPECT_EQ(b.CopyFrom(nullptr), PALETTE_NULL_ARGUMENT);
  Palette empty;
  EXPECT_EQ(b.CopyFrom(&empty), PALETTE_NO_ENTRIES);
  ASSERT_EQ(b.CopyFrom(&a), PALETTE_OK);
  EXPECT_EQ(b.CopyFrom(&a), PALETTE_ALREADY_CREATED);
  std::vector<PaletteEntry> back(40);
  ASSERT_EQ(b.GetEntries(back.data(), 0, 40), PALETTE_OK);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(back[i].red, entries[i].red) << i;

  Palette* clone = a.Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->Count(), 40);
  EXPECT_EQ(clone->Entries()[39].blue, entries[39].blue);
  EXPECT_EQ(clone->Release(), 0);

  // A slice from one palette into another.
  Palette c;
  ASSERT_EQ(c.Create(10), PALETTE_OK);
  ASSERT_EQ(c.SetEntriesFrom(&a, 2, 5, 30), PALETTE_OK);
  EXPECT_EQ(c.Entries()[2].green, entries[30].green);
  EXPECT_EQ(c.Entries()[6].green, entries[34].green);
  EXPECT_EQ(c.SetEntriesFrom(&a, 0, 5, 38), PALETTE_NO_ENTRIES);
}

TEST(PaletteTest, NearestIndexUsesTheOctree) {
  Palette palette;
  EXPECT_EQ(palette.NearestIndex(1, 2, 3), -1);
  ASSERT_EQ(palette.Create(2), PALETTE_OK);
  const PaletteEntry entries[2] = {{0, 0, 0, 0}, {255, 0, 0, 0}};
  ASSERT_EQ(palette.SetEntries(entries, 0, 2), PALETTE_OK);
  EXPECT_EQ(palette.NearestIndex(200, 10, 10), 1);
  EXPECT_EQ(palette.NearestIndex(10, 10, 10), 0);
}

TEST(PaletteTest, EqualEntriesResolveToTheLowerIndex) {
  Palette palette;
  ASSERT_EQ(palette.Create(4), PALETTE_OK);
  const PaletteEntry entries[4] = {{9, 9, 9, 0}, {100, 50, 25, 0}, {100, 50, 25, 0}, {0, 0, 0, 0}};
  ASSERT_EQ(palette.SetEntries(entries, 0, 4), PALETTE_OK);
  EXPECT_EQ(palette.NearestIndex(100, 50, 25), 1);
  const InverseColourMap* map = palette.InverseMap();
  ASSERT_NE(map, nullptr);
  for (std::uint8_t index : map->index) ASSERT_NE(index, 2);
  EXPECT_EQ(map->index[InverseMapIndex(100, 50, 25)], 1);
}

TEST(PaletteTest, ChangesRebuildEverythingDerived) {
  std::mt19937 rng(4);
  Palette palette;
  ASSERT_EQ(palette.Create(256), PALETTE_OK);
  std::vector<PaletteEntry> first = RandomEntries(256, rng);
  ASSERT_EQ(palette.SetEntries(first.data(), 0, 256), PALETTE_OK);
  const std::uint32_t counter = palette.ChangeCounter();

  const PixelLookupTable* table = palette.PixelTable(PIXEL_RGB565);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(palette.PixelTable(PIXEL_RGB565), table);  // cached
  EXPECT_EQ(table->pixel16[17],
            PackPixel(PIXEL_RGB565, first[17].red, first[17].green, first[17].blue));
  const InverseColourMap* map = palette.InverseMap();
  ASSERT_NE(map, nullptr);

  PaletteEntry white = {255, 255, 255, 0};
  ASSERT_EQ(palette.SetEntries(&white, 17, 1), PALETTE_OK);
  EXPECT_EQ(palette.ChangeCounter(), counter + 1);
  const PixelLookupTable* rebuilt = palette.PixelTable(PIXEL_RGB565);
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(rebuilt->pixel16[17], 0xFFFF);
  EXPECT_EQ(palette.NearestIndex(255, 255, 255), 17);
  const InverseColourMap* remapped = palette.InverseMap();
  ASSERT_NE(remapped, nullptr);
  EXPECT_EQ(remapped->index[InverseMapIndex(255, 255, 255)], 17);
}

TEST(PaletteTest, LookupTablesOnlyForDeepTypes) {
  Palette palette;
  EXPECT_EQ(palette.PixelTable(PIXEL_RGB24), nullptr);  // no entries
  ASSERT_EQ(palette.Create(3), PALETTE_OK);
  const PaletteEntry entries[3] = {{255, 255, 255, 0}, {255, 0, 0, 0}, {1, 2, 3, 0}};
  ASSERT_EQ(palette.SetEntries(entries, 0, 3), PALETTE_OK);
  for (std::uint16_t type : {0, 1, 4, 5, 6, 15}) EXPECT_EQ(palette.PixelTable(type), nullptr);
  EXPECT_EQ(palette.PixelTable(PIXEL_RGB555)->pixel16[0], 0x7FFF);
  EXPECT_EQ(palette.PixelTable(PIXEL_BGR555)->pixel16[1], 0x001F);
  EXPECT_EQ(palette.PixelTable(PIXEL_RGB24)->pixel32[0], 0x00FFFFFFu);
  EXPECT_EQ(palette.PixelTable(PIXEL_BGR24)->pixel32[1], 0x0000FFu);
  EXPECT_EQ(palette.PixelTable(PIXEL_RGB32)->pixel32[2], 0x010203u);
}

TEST(PaletteTest, ReferenceCountingAndRegistry) {
  {
    Palette* unregistered = new Palette;  // no GraphicsSystem: not registered
    EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_PALETTES), 0u);
    unregistered->Release();
  }
  GraphicsSystem system;
  auto* palette = new Palette;
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_PALETTES), 1u);
  palette->AddRef();
  EXPECT_EQ(palette->Release(), 1);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_PALETTES), 1u);
  EXPECT_EQ(palette->Release(), 0);
  EXPECT_EQ(GraphicsSystem::RegisteredCount(REGISTRY_PALETTES), 0u);
}

}  // namespace
