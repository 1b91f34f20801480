#include "pixel/fill_rect.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// Sets one packed pixel the slow way: pixel x of a row is bits
// [8 - depth - (x * depth) % 8, 8 - (x * depth) % 8) of byte x * depth / 8.
static void SetPacked(std::vector<std::uint8_t>& m, std::size_t row, int x, int depth,
                      std::uint32_t v) {
  const int bit = x * depth;
  const int shift = 8 - depth - bit % 8;
  std::uint8_t& b = m[row + std::size_t(bit / 8)];
  const std::uint8_t mask = std::uint8_t(((1u << depth) - 1) << shift);
  b = std::uint8_t((b & ~mask) | ((v << shift) & mask));
}

TEST(FillRect, PackedStatedMasks) {
  std::vector<std::uint8_t> m(8, 0x00);
  FillRectPacked(m.data(), 8, 6, 0, 3, 1, 0xf, 4);  // 4-bit, pixels 6..8
  EXPECT_EQ(m[3], 0xff);
  EXPECT_EQ(m[4], 0xf0);
  std::fill(m.begin(), m.end(), 0);
  FillRectPacked(m.data(), 8, 7, 0, 2, 1, 0xf, 4);  // pixels 7 and 8
  EXPECT_EQ(m[3], 0x0f);
  EXPECT_EQ(m[4], 0xf0);
  EXPECT_EQ(m[2], 0x00);
  std::fill(m.begin(), m.end(), 0xff);
  FillRectPacked(m.data(), 8, 3, 0, 2, 1, 0, 1);  // 1-bit, bits 4 and 3 of byte 0
  EXPECT_EQ(m[0], 0xe7);
  EXPECT_EQ(m[1], 0xff);
  std::fill(m.begin(), m.end(), 0);
  FillRectPacked(m.data(), 8, 0, 0, 4, 1, 2, 2);  // 2-bit colour replicated
  EXPECT_EQ(m[0], 0xaa);
  EXPECT_EQ(m[1], 0x00);
}

TEST(FillRect, EveryDepthMatchesPerPixelReference) {
  std::mt19937 rng(21);
  for (int depth : {1, 2, 4, 8, 16, 24, 32}) {
    for (int i = 0; i < 500; ++i) {
      const int width = 1 + int(rng() % 70), height = 1 + int(rng() % 6);
      const std::int32_t pitch = std::int32_t((width * depth + 31) / 32 * 4 + rng() % 3 * 4);
      std::vector<std::uint8_t> m(std::size_t(pitch) * height + 16);
      for (auto& b : m) b = std::uint8_t(rng());
      const int w = int(rng() % (width + 1)), h = int(rng() % (height + 1));
      const int x = int(rng() % (width - w + 1)), y = int(rng() % (height - h + 1));
      const std::uint32_t colour = rng();
      std::vector<std::uint8_t> want = m;
      for (int r = y; r < y + h; ++r) {
        for (int c = x; c < x + w; ++c) {
          const std::size_t row = std::size_t(r) * pitch;
          if (depth < 8) {
            SetPacked(want, row, c, depth, colour & ((1u << depth) - 1));
          } else {
            for (int k = 0; k < depth / 8; ++k) {
              want[row + std::size_t(c) * (depth / 8) + k] = std::uint8_t(colour >> (8 * k));
            }
          }
        }
      }
      switch (depth) {
        case 8: FillRect8(m.data(), pitch, x, y, w, h, colour); break;
        case 16: FillRect16(m.data(), pitch, x, y, w, h, colour); break;
        case 24: FillRect24(m.data(), pitch, x, y, w, h, colour); break;
        case 32: FillRect32(m.data(), pitch, x, y, w, h, colour); break;
        default: FillRectPacked(m.data(), pitch, x, y, w, h, colour, std::uint32_t(depth));
      }
      ASSERT_EQ(m, want) << "depth " << depth << " x " << x << " w " << w;
    }
  }
}
