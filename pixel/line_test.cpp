#include "pixel/line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

using Points = std::set<std::pair<int, int>>;

static Points Plotted(int x0, int y0, int x1, int y1, int bytes = 1) {
  const int w = 40, h = 40;
  std::vector<std::uint8_t> m(std::size_t(w) * h * bytes, 0);
  const auto kernel = bytes == 1 ? Line8 : bytes == 2 ? Line16 : bytes == 3 ? Line24 : Line32;
  kernel(m.data(), w * bytes, x0, y0, x1, y1, 0x00c0ffee);
  Points p;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (m[(std::size_t(y) * w + x) * bytes]) p.insert({x, y});
  return p;
}

// The stated Bresenham in coordinates rather than pointers.
static Points Reference(int x0, int y0, int x1, int y1) {
  const int dx = x1 - x0, dy = y1 - y0, sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
  Points p;
  int x = x0, y = y0, error = 0;
  if (std::abs(dy) < std::abs(dx)) {
    for (int i = 0; i < std::abs(dx); ++i) {
      p.insert({x, y});
      error += std::abs(dy);
      x += sx;
      if (error > std::abs(dx)) y += sy, error -= std::abs(dx);
    }
  } else {
    for (int i = 0; i < std::abs(dy); ++i) {
      p.insert({x, y});
      error += std::abs(dx);
      y += sy;
      if (error > std::abs(dy)) x += sx, error -= std::abs(dy);
    }
  }
  return p;
}

TEST(Line, StatedEndPoints) {
  EXPECT_EQ(Plotted(0, 0, 5, 0), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
  EXPECT_EQ(Plotted(3, 7, 3, 4), (Points{{3, 7}, {3, 6}, {3, 5}}));
  EXPECT_TRUE(Plotted(9, 9, 9, 9).empty());
  // Diagonal: y-major, the first step straight, then diagonal ones.
  EXPECT_EQ(Plotted(0, 0, 4, 4), (Points{{0, 0}, {0, 1}, {1, 2}, {2, 3}}));
}

TEST(Line, MatchesReferenceOnEveryDepth) {
  std::mt19937 rng(8);
  for (int i = 0; i < 2000; ++i) {
    const int x0 = int(rng() % 40), y0 = int(rng() % 40), x1 = int(rng() % 40),
              y1 = int(rng() % 40);
    const Points got = Plotted(x0, y0, x1, y1, 1 + i % 4);
    EXPECT_EQ(got, Reference(x0, y0, x1, y1)) << x0 << "," << y0 << " " << x1 << "," << y1;
    EXPECT_EQ(got.count({x1, y1}), 0u);  // never the end point
    EXPECT_EQ(got.size(), std::size_t(std::max(std::abs(x1 - x0), std::abs(y1 - y0))));
  }
}

TEST(Line, ColourBytesInMemoryOrder) {
  std::vector<std::uint8_t> m(12, 0);
  Line24(m.data(), 12, 0, 0, 2, 0, 0x00332211);
  EXPECT_EQ(m, (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x11, 0x22, 0x33, 0, 0, 0, 0, 0, 0}));
  std::vector<std::uint8_t> w(8, 0);
  Line16(w.data(), 8, 0, 0, 1, 0, 0xabcd);
  EXPECT_EQ(w[0], 0xcd);
  EXPECT_EQ(w[1], 0xab);
  EXPECT_EQ(w[2], 0);
}

TEST(ClipLine, VisibleHiddenAndOrder) {
  const LineClipRect r{0, 0, 10, 10};
  LineSegment s{2, 3, 8, 9};
  ASSERT_TRUE(ClipLine(r, &s));
  EXPECT_EQ(s.x0, 2);
  EXPECT_EQ(s.y1, 9);
  s = {-5, -3, 20, -1};  // wholly above
  EXPECT_FALSE(ClipLine(r, &s));
  s = {-5, -3, -1, 20};  // wholly left
  EXPECT_FALSE(ClipLine(r, &s));
  s = {-5, 12, 15, 12};  // below
  EXPECT_FALSE(ClipLine(r, &s));
  s = {-5, 5, 15, 5};
  ASSERT_TRUE(ClipLine(r, &s));
  EXPECT_EQ(s.x0, 0);
  EXPECT_EQ(s.x1, 10);
  // Cases where the border order (below, right, left, above) changes the result.
  struct Case {
    LineSegment in, out;
  };
  const Case cases[] = {
      {{5, 16, 15, -8}, {7, 10, 10, 4}},
      {{10, 3, -14, -5}, {10, 3, 0, 0}},
      {{-3, 5, 21, -7}, {0, 4, 8, 0}},
      {{11, -5, -8, 13}, {5, 0, 0, 5}},
  };
  for (const Case& c : cases) {
    s = c.in;
    ASSERT_TRUE(ClipLine(r, &s));
    EXPECT_EQ(s.x0, c.out.x0);
    EXPECT_EQ(s.y0, c.out.y0);
    EXPECT_EQ(s.x1, c.out.x1);
    EXPECT_EQ(s.y1, c.out.y1);
  }
  s = {0, 0, 1, 1};
  EXPECT_FALSE(ClipLine({5, 5, 4, 9}, &s));  // empty rectangle
  s = {-(1 << 30) - 1, 0, 5, 5};
  EXPECT_FALSE(ClipLine(r, &s));  // beyond the coordinate limit
}

TEST(ClipLine, ClippedEndsLieInsideAndOnTheSegment) {
  std::mt19937 rng(12);
  for (int i = 0; i < 20000; ++i) {
    const LineClipRect r{int(rng() % 20), int(rng() % 20), 20 + int(rng() % 20),
                         20 + int(rng() % 20)};
    LineSegment s{int(rng() % 200) - 80, int(rng() % 200) - 80, int(rng() % 200) - 80,
                  int(rng() % 200) - 80};
    const LineSegment in = s;
    if (!ClipLine(r, &s)) continue;
    for (auto [x, y] : {std::pair<int, int>{s.x0, s.y0}, {s.x1, s.y1}}) {
      ASSERT_GE(x, r.left);
      ASSERT_LE(x, r.right);
      ASSERT_GE(y, r.top);
      ASSERT_LE(y, r.bottom);
      ASSERT_GE(x, std::min(in.x0, in.x1));
      ASSERT_LE(x, std::max(in.x0, in.x1));
      ASSERT_GE(y, std::min(in.y0, in.y1));
      ASSERT_LE(y, std::max(in.y0, in.y1));
    }
  }
}
