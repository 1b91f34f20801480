#include "scene/dirty_tiles.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr std::int32_t T = DirtyTiles::kTile;

// How many of the rectangles hold pixel (x, y).
int Holding(const std::vector<Rect>& rects, std::int32_t x, std::int32_t y) {
  int n = 0;
  for (const Rect& r : rects) n += x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
  return n;
}

}  // namespace

// Random rectangles, some past the edges, on surfaces whose sides are and are not whole
// tiles: what comes out covers exactly the tiles the rectangles touch, each pixel once.
TEST(DirtyTiles, CoverTheTouchedTilesOnceEach) {
  std::mt19937 random(7);
  const std::int32_t sizes[][2] = {{160, 96}, {150, 101}, {17, 1}};
  for (const auto& size : sizes) {
    const std::int32_t w = size[0], h = size[1];
    for (int round = 0; round < 40; ++round) {
      DirtyTiles tiles(w, h);
      std::vector<Rect> added;
      const int count = 1 + round % 9;
      for (int i = 0; i < count; ++i) {
        const Rect r = {std::int32_t(random() % (w + 40)) - 20, std::int32_t(random() % (h + 40)) - 20,
                        std::int32_t(random() % 60), std::int32_t(random() % 60)};
        added.push_back(r);
        tiles.Add(r);
      }
      const std::vector<Rect> out = tiles.Take();
      for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
          // The tile of (x, y) is touched when some added rectangle meets it.
          bool touched = false;
          for (const Rect& r : added)
            touched |= r.width > 0 && r.height > 0 && r.x < (x / T + 1) * T &&
                       r.x + r.width > x / T * T && r.y < (y / T + 1) * T &&
                       r.y + r.height > y / T * T && r.x < w && r.y < h && r.x + r.width > 0 &&
                       r.y + r.height > 0;
          ASSERT_EQ(Holding(out, x, y), touched ? 1 : 0) << w << "x" << h << " round " << round
                                                         << " at " << x << "," << y;
        }
      for (const Rect& r : out) {
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.width, w);
        EXPECT_LE(r.y + r.height, h);
      }
      EXPECT_TRUE(tiles.Empty());
      EXPECT_TRUE(tiles.Take().empty());
    }
  }
}

// Many overlapping rectangles over one area come out as one; separate areas stay apart.
TEST(DirtyTiles, MergeOverlapsIntoFewRectangles) {
  DirtyTiles tiles(1024, 768);
  // Two squares of four tiles a side, overlapping by two: three bands of rows.
  tiles.Add({0, 0, 4 * T, 4 * T});
  tiles.Add({2 * T, 2 * T, 4 * T, 4 * T});
  for (int i = 0; i < 10; ++i) tiles.Add({2 * T + i, 2 * T + i, 2 * T, 2 * T});
  tiles.Add({800, 600, 10, 10});
  const std::vector<Rect> out = tiles.Take();
  ASSERT_EQ(out.size(), 4u);
  const Rect want[] = {{0, 0, 4 * T, 2 * T}, {0, 2 * T, 6 * T, 2 * T}, {2 * T, 4 * T, 4 * T, 2 * T},
                       {800, 592, T, 2 * T}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(out[i].x, want[i].x) << i;
    EXPECT_EQ(out[i].y, want[i].y) << i;
    EXPECT_EQ(out[i].width, want[i].width) << i;
    EXPECT_EQ(out[i].height, want[i].height) << i;
  }
  tiles.Add({0, 0, 1024, 768});
  const std::vector<Rect> whole = tiles.Take();
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0].width, 1024);
  EXPECT_EQ(whole[0].height, 768);
}
