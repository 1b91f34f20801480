#include "scene/swim_range.h"

#include <gtest/gtest.h>

#include "gfx/random_below.h"
#include "scene/creature_table.h"

namespace {

SpeciesRecord RangeRecord(std::int32_t left, std::int32_t top, std::int32_t right) {
  SpeciesRecord record{};
  record.left = left;
  record.top = top;
  record.right = right;
  return record;
}

}  // namespace

TEST(SwimRange, PercentOfTheBackground) {
  SwimRange r = RangeForSpecies(RangeRecord(10, 25, 90), 60, 800, 600);
  EXPECT_EQ(r.minX, 80);
  EXPECT_EQ(r.maxX, 720);
  EXPECT_EQ(r.minY, 150);
  EXPECT_EQ(r.maxY, 540);
}

TEST(SwimRange, DegenerateRangesWidenOneAcrossAndTwoDown) {
  SwimRange across = RangeForSpecies(RangeRecord(50, 0, 50), 10, 800, 600);
  EXPECT_EQ(across.minX, across.maxX - 1);
  SwimRange down = RangeForSpecies(RangeRecord(0, 100, 100), 10, 800, 600);
  EXPECT_EQ(down.maxY, 590);
  EXPECT_EQ(down.minY, down.maxY - 2);
  // An empty background (no picture) still gives ranges the placement can use.
  SwimRange empty = RangeForSpecies(RangeRecord(10, 10, 90), 0, 0, 0);
  EXPECT_EQ(empty.minX, -1);
  EXPECT_EQ(empty.minY, -2);
}

TEST(SwimRange, PlacementStaysInsideOverManySeeds) {
  for (std::uint32_t seed = 1; seed <= 2000; ++seed) {
    SeedRandom(seed);
    for (SwimRange r : {RangeForSpecies(RangeRecord(10, 25, 90), 60, 800, 600),
                        RangeForSpecies(RangeRecord(50, 100, 50), 60, 800, 600)}) {
      std::int32_t x = 0, y = 0;
      PlaceRandomly(r, x, y);
      EXPECT_GE(x, r.minX);
      EXPECT_LE(x, r.maxX > r.minX + 1 ? r.maxX - 2 : r.minX);
      EXPECT_GE(y, r.minY);
      EXPECT_LT(y, r.maxY);
      std::int32_t h = RandomHeight(r);
      EXPECT_GE(h, r.minY);
      EXPECT_LT(h, r.maxY);
    }
  }
}

TEST(SwimRange, OutOfRangeOnlyOnceWhollyPast) {
  SwimRange r{100, 0, 500, 400};
  const std::int32_t width = 60;
  EXPECT_FALSE(OutOfRange(r, 100 - width, width));
  EXPECT_TRUE(OutOfRange(r, 100 - width - 1, width));
  EXPECT_FALSE(OutOfRange(r, 500, width));
  EXPECT_TRUE(OutOfRange(r, 501, width));
}
