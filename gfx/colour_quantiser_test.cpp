#include "gfx/colour_quantiser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

#include "gfx/random_below.h"

namespace {

using Rgb = std::tuple<int, int, int>;

std::vector<Rgb> PaletteOf(ColourQuantiser& q) {
  std::vector<PaletteEntry> entries(q.Budget());
  const int n = q.BuildPalette(entries.data());
  std::vector<Rgb> out;
  for (int i = 0; i < n; ++i) out.emplace_back(entries[i].red, entries[i].green, entries[i].blue);
  return out;
}

TEST(ColourQuantiserTest, StaysWithinTheBudget) {
  ColourQuantiser q(256);
  for (int i = 0; i < 300; ++i) {
    q.AddColour(std::uint8_t(i * 7), std::uint8_t(i * 13), std::uint8_t(i));
    ASSERT_LE(q.ColourCount(), 256u);
  }
  EXPECT_EQ(q.ColourCount(), 256u);
  EXPECT_EQ(PaletteOf(q).size(), 256u);
}

TEST(ColourQuantiserTest, PresentColoursNeverMerge) {
  ColourQuantiser q(4);
  const Rgb colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  for (auto [r, g, b] : colours) q.AddColour(r, g, b);
  const std::vector<Rgb> before = PaletteOf(q);
  for (int i = 0; i < 50; ++i) {
    auto [r, g, b] = colours[i % 4];
    q.AddColour(r, g, b);
  }
  EXPECT_EQ(PaletteOf(q), before);
}

TEST(ColourQuantiserTest, MergesTheDeepestPairIntoItsAverage) {
  ColourQuantiser q(3);
  q.AddColour(200, 0, 0);
  q.AddColour(0, 0, 200);
  q.AddColour(10, 10, 10);
  q.AddColour(11, 10, 10);  // differs only in the last bit of red: merged with (10, 10, 10)
  std::vector<Rgb> palette = PaletteOf(q);
  std::sort(palette.begin(), palette.end());
  const std::vector<Rgb> expected = {{0, 0, 200}, {10, 10, 10}, {200, 0, 0}};
  EXPECT_EQ(palette, expected);
}

TEST(ColourQuantiserTest, MergedColoursWeighTheirPixelCounts) {
  ColourQuantiser q(1);
  q.AddColour(0, 0, 0);
  q.AddColour(3, 0, 0);  // merged: sum 3 over 2 pixels -> (1, 0, 0)
  EXPECT_EQ(PaletteOf(q), std::vector<Rgb>{Rgb(1, 0, 0)});
  q.AddColour(3, 0, 0);  // sum 6 over 3 -> 2
  q.AddColour(3, 0, 0);  // sum 9 over 4 -> 2 (truncated)
  EXPECT_EQ(PaletteOf(q), std::vector<Rgb>{Rgb(2, 0, 0)});
  q.AddColour(6, 0, 0);  // (2) and (6) -> sum 15 over 5 = 3
  EXPECT_EQ(PaletteOf(q), std::vector<Rgb>{Rgb(3, 0, 0)});
}

TEST(ColourQuantiserTest, AMergeLandingOnAPresentColourJoinsIt) {
  // Under one node: A = (1, 0, 1) in child 0, C = (1, 0, 2) in child 1, B = (2, 0, 3) in
  // child 5. Their average (1, 0, 2) is C, which takes the merged pixels.
  ColourQuantiser q(3);
  q.AddColour(1, 0, 1);
  q.AddColour(1, 0, 2);
  q.AddColour(2, 0, 3);
  q.AddColour(200, 200, 200);
  EXPECT_EQ(q.ColourCount(), 2u);
  std::vector<Rgb> palette = PaletteOf(q);
  std::sort(palette.begin(), palette.end());
  EXPECT_EQ(palette, (std::vector<Rgb>{{1, 0, 2}, {200, 200, 200}}));
  // C now stands for three pixels (sums 4, 0, 6): merged with (5, 0, 6) below the same
  // level-5 node it gives (9 / 4, 0, 12 / 4) = (2, 0, 3).
  q.AddColour(5, 0, 6);
  q.AddColour(250, 250, 250);
  palette = PaletteOf(q);
  std::sort(palette.begin(), palette.end());
  EXPECT_EQ(palette, (std::vector<Rgb>{{2, 0, 3}, {200, 200, 200}, {250, 250, 250}}));
}

// A 24-bit picture whose 4 x 4 blocks each have their own colour.
std::vector<std::uint8_t> BlockPicture(int width, int rows, int pitch) {
  std::vector<std::uint8_t> pixels(std::size_t(pitch) * rows, 0);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &pixels[std::size_t(y) * pitch + x * 3];
      p[0] = std::uint8_t(x / 4 * 40);  // blue
      p[1] = std::uint8_t(y / 4 * 40);  // green
      p[2] = 77;                        // red
    }
  return pixels;
}

struct ProgressLog {
  std::vector<int> values;
  static void Record(void* user, std::int32_t progress) {
    static_cast<ProgressLog*>(user)->values.push_back(progress);
  }
};

TEST(ColourQuantiserTest, AddsEveryPixelWithProgressPerRow) {
  const int width = 10, rows = 9, pitch = 32;
  std::vector<std::uint8_t> pixels = BlockPicture(width, rows, pitch);
  ColourQuantiser q(256);
  ProgressLog log;
  q.AddPixels(pixels.data(), width, pitch, rows, &ProgressLog::Record, &log, 0);
  EXPECT_EQ(q.ColourCount(), 3u * 3u);  // partial blocks count too
  std::vector<int> expected;
  for (int r = 0; r < rows; ++r) expected.push_back(100 * r / rows);
  EXPECT_EQ(log.values, expected);
  std::set<Rgb> colours;
  for (auto c : PaletteOf(q)) colours.insert(c);
  EXPECT_TRUE(colours.count(Rgb(77, 80, 80)));
}

TEST(ColourQuantiserTest, SamplingTakesOnePixelOfEachWholeBlock) {
  const int width = 10, rows = 9, pitch = 30;
  std::vector<std::uint8_t> pixels = BlockPicture(width, rows, pitch);
  for (std::uint32_t seed : {1u, 2u, 12345u}) {
    SeedRandom(seed);
    ColourQuantiser q(256);
    ProgressLog log;
    q.AddPixels(pixels.data(), width, pitch, rows, &ProgressLog::Record, &log, QUANTISE_SAMPLE);
    std::vector<Rgb> palette = PaletteOf(q);
    std::sort(palette.begin(), palette.end());
    const std::vector<Rgb> expected = {{77, 0, 0}, {77, 0, 40}, {77, 40, 0}, {77, 40, 40}};
    EXPECT_EQ(palette, expected) << seed;
    EXPECT_EQ(log.values, (std::vector<int>{0, 400 / 9}));
  }
  ColourQuantiser few(256);
  few.AddPixels(pixels.data(), width, pitch, 3, nullptr, nullptr, QUANTISE_SAMPLE);
  EXPECT_EQ(few.ColourCount(), 0u);
}

TEST(ColourQuantiserTest, SamplingDrawsOneRandomNumberPerBlock) {
  // Each block's pixel k (RandomBelow(16)) is at row k / 4, column k % 4.
  const int width = 4, rows = 4, pitch = 12;
  std::vector<std::uint8_t> pixels(pitch * rows);
  for (int k = 0; k < 16; ++k) {
    std::uint8_t* p = &pixels[(k / 4) * pitch + (k % 4) * 3];
    p[0] = p[1] = 0;
    p[2] = std::uint8_t(k);
  }
  SeedRandom(99);
  const int k = RandomBelow(16);
  SeedRandom(99);
  ColourQuantiser q(16);
  q.AddPixels(pixels.data(), width, pitch, rows, nullptr, nullptr, QUANTISE_SAMPLE);
  EXPECT_EQ(PaletteOf(q), std::vector<Rgb>{Rgb(k, 0, 0)});
}

}  // namespace
