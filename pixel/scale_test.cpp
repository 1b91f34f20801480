#include "pixel/scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "pixel/cpu_features.h"
#include "pixel/pixel_format.h"
#include "pixel/scale_pixels.h"
#include "pixel/scale_simd.h"

namespace {

// A picture with guard bytes around it, top-down or bottom-up (negative pitch).
struct Picture {
  int width, height, bytes;
  std::int32_t pitch;
  std::vector<std::uint8_t> memory;
  std::uint8_t* origin;  // pixel (0, 0)

  Picture(int w, int h, int b, bool bottomUp) : width(w), height(h), bytes(b) {
    const int row = (w * b + 3) / 4 * 4 + 8;
    memory.assign(std::size_t(row) * h + 128, 0xA5);
    origin = memory.data() + 64;
    pitch = row;
    if (bottomUp) {
      origin += std::ptrdiff_t(row) * (h - 1);
      pitch = -row;
    }
  }
  std::uint32_t Get(int x, int y) const {
    std::uint32_t v = 0;
    std::memcpy(&v, origin + std::ptrdiff_t(y) * pitch + x * bytes, bytes);
    return v;
  }
  void Fill(std::mt19937& random) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        std::uint32_t v = random();
        std::memcpy(origin + std::ptrdiff_t(y) * pitch + x * bytes, &v, bytes);
      }
  }
};

// The sampling written from its definition, in exact rational arithmetic.
struct Tap {
  int first, second, weight;
};
Tap ReferenceTap(int d, int s, int n) {
  // u in 1/128 steps, rounded down: (d + 1/2) * s / n - 1/2.
  long long scaled = (2LL * d + 1) * s * 64;
  long long u128 = scaled / n - 64;  // scaled >= 0, so division rounds down
  if (u128 < 0) return {0, 0, 0};
  int first = int(u128 / 128);
  if (first >= s - 1) return {s - 1, s - 1, 0};
  return {first, first + 1, int(u128 % 128)};
}

int Channel(std::uint32_t v, int shift, int bits) {
  int c = int(v >> shift) & ((1 << bits) - 1);
  return bits == 8 ? c : bits == 6 ? (c << 2 | c >> 4) : (c << 3 | c >> 2);
}
int Mix(int a, int b, int w) { return (a * (128 - w) + b * w + 64) >> 7; }

// The expected destination pixel at (x, y), channel by channel, from the formulas.
std::uint32_t ReferenceBilinear(const Picture& src, int x, int y, int dw, int dh, int bytes,
                                int greenBits) {
  Tap tx = ReferenceTap(x, src.width, dw), ty = ReferenceTap(y, src.height, dh);
  // Channel layouts: shift and width of each.
  struct Field { int shift, bits; };
  const Field wide[] = {{0, 8}, {8, 8}, {16, 8}, {24, 8}};
  const Field narrow[] = {{0, 5}, {5, greenBits}, {5 + greenBits, 5}, {16, 0}};
  std::uint32_t out = 0;
  for (const Field& f : bytes == 4 ? wide : narrow) {
    if (f.bits == 0) continue;
    int a = Channel(src.Get(tx.first, ty.first), f.shift, f.bits);
    int b = Channel(src.Get(tx.second, ty.first), f.shift, f.bits);
    int c = Channel(src.Get(tx.first, ty.second), f.shift, f.bits);
    int d = Channel(src.Get(tx.second, ty.second), f.shift, f.bits);
    int v = Mix(Mix(a, b, tx.weight), Mix(c, d, tx.weight), ty.weight);
    out |= std::uint32_t(v >> (8 - f.bits)) << f.shift;
  }
  return out;
}

std::uint32_t ReferenceNearest(const Picture& src, int x, int y, int dw, int dh) {
  Tap tx = ReferenceTap(x, src.width, dw), ty = ReferenceTap(y, src.height, dh);
  return src.Get(tx.weight >= 64 ? tx.second : tx.first, ty.weight >= 64 ? ty.second : ty.first);
}

struct KernelCase {
  const char* name;
  ScaleKernel kernel;
  int bytes;
  int greenBits;  // 0: nearest
};

std::vector<KernelCase> Kernels() {
  std::vector<KernelCase> k = {{"ScaleBilinear32", ScaleBilinear32, 4, 8},
                               {"ScaleBilinear555", ScaleBilinear555, 2, 5},
                               {"ScaleBilinear565", ScaleBilinear565, 2, 6},
                               {"ScaleNearest8", ScaleNearest8, 1, 0},
                               {"ScaleNearest16", ScaleNearest16, 2, 0},
                               {"ScaleNearest32", ScaleNearest32, 4, 0}};
  if (CpuHasSse2()) {
    k.push_back({"ScaleBilinear32Sse2", ScaleBilinear32Sse2, 4, 8});
    k.push_back({"ScaleBilinear555Sse2", ScaleBilinear555Sse2, 2, 5});
    k.push_back({"ScaleBilinear565Sse2", ScaleBilinear565Sse2, 2, 6});
  }
  if (CpuHasSsse3()) {
    k.push_back({"ScaleBilinear32Ssse3", ScaleBilinear32Ssse3, 4, 8});
    k.push_back({"ScaleBilinear555Ssse3", ScaleBilinear555Ssse3, 2, 5});
    k.push_back({"ScaleBilinear565Ssse3", ScaleBilinear565Ssse3, 2, 6});
  }
  return k;
}

// Sizes: up and down, by whole and odd factors, one-pixel pictures, the fill sizes.
const ScaleGeometry kSizes[] = {
    {1024, 768, 1440, 1080}, {40, 30, 57, 43}, {57, 43, 40, 30}, {1, 1, 9, 7},
    {5, 1, 17, 3},           {16, 12, 16, 12}, {7, 9, 21, 27},  {33, 17, 8, 5},
};

}  // namespace

// Every kernel against the formulas: random rectangles of random pictures, both row
// orders, and nothing written outside the rectangle.
TEST(ScaleKernels, MatchTheFormulasInsideTheRectangleOnly) {
  std::mt19937 random(7);
  for (const KernelCase& k : Kernels()) {
    for (const ScaleGeometry& g : kSizes) {
      if (g.srcWidth * g.srcHeight > 2000 && k.bytes != 4) continue;  // keep it quick
      for (int round = 0; round < 6; ++round) {
        Picture src(g.srcWidth, g.srcHeight, k.bytes, round & 1);
        src.Fill(random);
        Picture dst(g.dstWidth, g.dstHeight, k.bytes, round & 2);
        const std::vector<std::uint8_t> before = dst.memory;
        ScaleRect r;
        r.x = int(random() % g.dstWidth);
        r.y = int(random() % g.dstHeight);
        r.width = 1 + int(random() % (g.dstWidth - r.x));
        r.height = 1 + int(random() % std::min(g.dstHeight - r.y, 40));
        k.kernel(dst.origin, dst.pitch, src.origin, src.pitch, g, r);
        for (int y = 0; y < g.dstHeight; ++y)
          for (int x = 0; x < g.dstWidth; ++x) {
            const bool in = x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
            const std::uint32_t want =
                !in ? 0xA5A5A5A5u & (k.bytes == 4 ? ~0u : (1u << (8 * k.bytes)) - 1)
                : k.greenBits ? ReferenceBilinear(src, x, y, g.dstWidth, g.dstHeight, k.bytes,
                                                  k.greenBits)
                              : ReferenceNearest(src, x, y, g.dstWidth, g.dstHeight);
            ASSERT_EQ(dst.Get(x, y), want) << k.name << " " << g.srcWidth << "x" << g.srcHeight
                                           << "->" << g.dstWidth << "x" << g.dstHeight << " at "
                                           << x << "," << y;
          }
        // The guard bytes around the picture.
        const std::size_t row = std::size_t(std::abs(dst.pitch));
        for (std::size_t i = 0; i < 64; ++i) ASSERT_EQ(dst.memory[i], before[i]) << k.name;
        for (std::size_t i = 64 + row * g.dstHeight; i < dst.memory.size(); ++i)
          ASSERT_EQ(dst.memory[i], before[i]) << k.name;
      }
    }
  }
}

// Rectangles scaled one by one give the whole picture scaled at once: no seams.
TEST(ScaleKernels, RectanglesTileWithoutSeams) {
  std::mt19937 random(11);
  const ScaleGeometry g = {200, 150, 281, 211};
  for (const KernelCase& k : Kernels()) {
    Picture src(g.srcWidth, g.srcHeight, k.bytes, false);
    src.Fill(random);
    Picture whole(g.dstWidth, g.dstHeight, k.bytes, false);
    Picture tiled(g.dstWidth, g.dstHeight, k.bytes, false);
    k.kernel(whole.origin, whole.pitch, src.origin, src.pitch, g, {0, 0, g.dstWidth, g.dstHeight});
    for (int y = 0; y < g.dstHeight; y += 37)
      for (int x = 0; x < g.dstWidth; x += 29) {
        ScaleRect r = {x, y, std::min(29, g.dstWidth - x), std::min(37, g.dstHeight - y)};
        k.kernel(tiled.origin, tiled.pitch, src.origin, src.pitch, g, r);
      }
    EXPECT_EQ(tiled.memory, whole.memory) << k.name;
  }
}

// A change of a source rectangle changes destination pixels only inside its dirty
// rectangle, and the dirty rectangle is tight: its edge rows and columns read the change.
TEST(ScaleKernels, DirtyRectangleHoldsEveryChangedPixel) {
  std::mt19937 random(3);
  for (const ScaleGeometry& g : kSizes) {
    if (g.dstWidth * g.dstHeight > 100000) continue;  // keep it quick
    Picture src(g.srcWidth, g.srcHeight, 4, false);
    src.Fill(random);
    Picture before(g.dstWidth, g.dstHeight, 4, false);
    const ScaleRect all = {0, 0, g.dstWidth, g.dstHeight};
    ScaleBilinear32(before.origin, before.pitch, src.origin, src.pitch, g, all);
    for (int round = 0; round < 20; ++round) {
      ScaleRect s;
      s.x = int(random() % g.srcWidth);
      s.y = int(random() % g.srcHeight);
      s.width = 1 + int(random() % (g.srcWidth - s.x));
      s.height = 1 + int(random() % (g.srcHeight - s.y));
      Picture changed = src;
      changed.origin = changed.memory.data() + (src.origin - src.memory.data());
      for (int y = s.y; y < s.y + s.height; ++y)
        for (int x = s.x; x < s.x + s.width; ++x)
          std::memset(changed.origin + y * changed.pitch + x * 4, 0x5A ^ (x + y), 4);
      Picture after(g.dstWidth, g.dstHeight, 4, false);
      ScaleBilinear32(after.origin, after.pitch, changed.origin, changed.pitch, g, all);
      const ScaleRect d = ScaledDirtyRect(g, s);
      for (int y = 0; y < g.dstHeight; ++y)
        for (int x = 0; x < g.dstWidth; ++x) {
          const bool in = x >= d.x && x < d.x + d.width && y >= d.y && y < d.y + d.height;
          if (!in) {
            ASSERT_EQ(after.Get(x, y), before.Get(x, y)) << x << "," << y;
          }
        }
      // Tight: each edge of the dirty rectangle has taps inside the source rectangle.
      auto reads = [&](int d0, int s0, int s1, int sn, int dn) {
        ScaleTap t = ScaleTapAt(d0, sn, dn);
        return (t.first >= s0 && t.first < s1) || (t.second >= s0 && t.second < s1);
      };
      // (Shrinking, some source pixels are read by no destination pixel.)
      if (d.width == 0 || d.height == 0) continue;
      EXPECT_TRUE(reads(d.x, s.x, s.x + s.width, g.srcWidth, g.dstWidth));
      EXPECT_TRUE(reads(d.x + d.width - 1, s.x, s.x + s.width, g.srcWidth, g.dstWidth));
      EXPECT_TRUE(reads(d.y, s.y, s.y + s.height, g.srcHeight, g.dstHeight));
      EXPECT_TRUE(reads(d.y + d.height - 1, s.y, s.y + s.height, g.srcHeight, g.dstHeight));
    }
  }
  EXPECT_EQ(ScaledDirtyRect({10, 10, 20, 20}, {3, 3, 0, 5}).width, 0);
  EXPECT_EQ(ScaledDirtyRect({10, 10, 20, 20}, {12, 0, 4, 4}).width, 0);  // outside
}

// The column taps a kernel prepares step by step are those of the formula, column by
// column, up and down, from any first column, at sizes whose products need 64 bits.
TEST(ScaleKernels, ColumnTapsFollowTheFormula) {
  const ScaleGeometry sizes[] = {{1024, 768, 1440, 1080}, {1440, 1080, 1024, 768},
                                 {7, 1, 3, 1},           {1, 1, 9, 1},
                                 {3000, 1, 7777, 1},     {40000, 1, 60001, 1}};
  for (const ScaleGeometry& g : sizes)
    for (std::int32_t x : {0, 1, 5, g.dstWidth / 3, g.dstWidth - 2}) {
      if (x < 0 || x >= g.dstWidth) continue;
      const ScaleRect r = {x, 0, g.dstWidth - x, 1};
      const std::vector<ScaleTap> taps = ScaleColumnTaps(g, r);
      for (std::int32_t i = 0; i < r.width; ++i) {
        const ScaleTap want = ScaleTapAt(x + i, g.srcWidth, g.dstWidth);
        ASSERT_EQ(taps[i].first, want.first) << g.srcWidth << "->" << g.dstWidth << " at " << x + i;
        ASSERT_EQ(taps[i].second, want.second);
        ASSERT_EQ(taps[i].weight, want.weight);
      }
    }
}

// A flat picture stays flat; a scale of 1 copies (a 555 pixel's unused top bit aside).
TEST(ScaleKernels, FlatPicturesAndUnitScale) {
  std::mt19937 random(5);
  for (const KernelCase& k : Kernels()) {
    Picture src(13, 11, k.bytes, false);
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 13; ++x)
        std::memcpy(src.origin + y * src.pitch + x * k.bytes, "\x12\x34\x56\x78", k.bytes);
    Picture dst(29, 23, k.bytes, false);
    k.kernel(dst.origin, dst.pitch, src.origin, src.pitch, {13, 11, 29, 23}, {0, 0, 29, 23});
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 29; ++x) ASSERT_EQ(dst.Get(x, y), src.Get(0, 0)) << k.name;
    src.Fill(random);
    Picture same(13, 11, k.bytes, true);
    k.kernel(same.origin, same.pitch, src.origin, src.pitch, {13, 11, 13, 11}, {0, 0, 13, 11});
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 13; ++x)
        ASSERT_EQ(same.Get(x, y), src.Get(x, y) & (k.greenBits == 5 ? 0x7FFFu : ~0u)) << k.name;
  }
}

TEST(ScaleKernels, ChosenByDepthLayoutFilterAndProcessor) {
  struct Row {
    std::uint16_t type;
    bool smooth, sse2, ssse3;
    const char* want;
  };
  const Row rows[] = {
      {PIXEL_RGB32, true, false, false, "ScaleBilinear32"},
      {PIXEL_BGR32, true, true, false, "ScaleBilinear32Sse2"},
      {PIXEL_BGR32, true, true, true, "ScaleBilinear32Ssse3"},
      {PIXEL_RGB32, false, true, true, "ScaleNearest32"},
      {PIXEL_RGB565, true, false, false, "ScaleBilinear565"},
      {PIXEL_BGR565, true, true, false, "ScaleBilinear565Sse2"},
      {PIXEL_RGB565, true, true, true, "ScaleBilinear565Ssse3"},
      {PIXEL_RGB555, true, true, false, "ScaleBilinear555Sse2"},
      {PIXEL_RGB555, true, true, true, "ScaleBilinear555Ssse3"},
      {PIXEL_BGR555, true, false, false, "ScaleBilinear555"},
      {PIXEL_RGB555, false, false, false, "ScaleNearest16"},
      {PIXEL_INDEX8, true, true, true, "ScaleNearest8"},
      {PIXEL_INDEX8, false, false, false, "ScaleNearest8"},
      {PIXEL_RGB24, true, true, true, "none"},
      {PIXEL_INDEX4, false, false, false, "none"},
  };
  for (const Row& row : rows) {
    ScaleChoice c = SelectScaleKernel({row.type, row.smooth, row.sse2, row.ssse3});
    EXPECT_STREQ(c.name, row.want) << row.type;
    EXPECT_EQ(c.kernel == nullptr, std::string(row.want) == "none");
  }
}
