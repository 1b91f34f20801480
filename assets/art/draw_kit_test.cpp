// The drawing helpers the art leans on: pixel conversions, compositing,
// interpolation and noise, against slow obvious references.
#include "assets/art/canvas.h"
#include "assets/art/draw_kit.h"
#include "assets/art/fish_model.h"
#include "assets/art/creature_art.h"
#include "scene/creature_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

TEST(Canvas, PremultipliedRoundTripKeepsColoursOfVisiblePixels) {
  RgbaImage im(37, 5);
  std::srand(5);
  for (auto& b : im.pixels) b = std::uint8_t(std::rand());
  Canvas c(37, 5);
  c.FromImage(im);
  const RgbaImage back = c.ToImage();
  for (std::size_t i = 0; i < im.pixels.size(); i += 4) {
    const int a = im.pixels[i + 3];
    EXPECT_EQ(back.pixels[i + 3], a);
    if (a < 16) continue;  // premultiplying loses colour at very low alpha
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(back.pixels[i + k], im.pixels[i + k], 255.0 / a + 1) << i;
    }
  }
}

TEST(Canvas, CompositeOverMatchesTheFormulaAndClips) {
  RgbaImage dst(4, 4), src(3, 3);
  std::srand(9);
  for (auto& b : dst.pixels) b = std::uint8_t(std::rand());
  for (auto& b : src.pixels) b = std::uint8_t(std::rand());
  const RgbaImage before = dst;
  CompositeOver(dst, src, 2, -1);  // only src rows 1..2, columns 0..1 land
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const int sx = x - 2, sy = y + 1;
      const std::uint8_t* d0 = before.At(x, y);
      const std::uint8_t* d1 = dst.At(x, y);
      if (sx < 0 || sx >= 3 || sy < 0 || sy >= 3) {
        for (int k = 0; k < 4; ++k) EXPECT_EQ(d1[k], d0[k]);
        continue;
      }
      const std::uint8_t* s = src.At(sx, sy);
      const double sa = s[3] / 255.0, da = d0[3] / 255.0, oa = sa + da * (1 - sa);
      EXPECT_NEAR(d1[3], oa * 255, 1);
      for (int k = 0; k < 3 && oa > 0; ++k) {
        EXPECT_NEAR(d1[k], (s[k] * sa + d0[k] * da * (1 - sa)) / oa, 1);
      }
    }
  }
}

TEST(DrawKit, MonotoneCubicPassesThroughKnotsWithoutOvershoot) {
  std::srand(3);
  for (int trial = 0; trial < 50; ++trial) {
    std::vector<Point> k;
    double x = 0;
    for (int i = 0; i < 7; ++i) {
      x += 0.1 + (std::rand() % 100) / 100.0;
      k.push_back(Point{x, (std::rand() % 200) / 10.0 - 10});
    }
    for (const Point& p : k) EXPECT_NEAR(MonotoneCubic(k, p.x), p.y, 1e-9);
    for (std::size_t i = 0; i + 1 < k.size(); ++i) {
      const double lo = std::min(k[i].y, k[i + 1].y), hi = std::max(k[i].y, k[i + 1].y);
      for (int s = 1; s < 20; ++s) {
        const double v = MonotoneCubic(k, Lerp(k[i].x, k[i + 1].x, s / 20.0));
        EXPECT_GE(v, lo - 1e-9);
        EXPECT_LE(v, hi + 1e-9);
      }
    }
    EXPECT_EQ(MonotoneCubic(k, -5), k.front().y);
    EXPECT_EQ(MonotoneCubic(k, 1e6), k.back().y);
  }
}

TEST(DrawKit, NoiseIsBoundedSmoothAndPeriodicWhereAsked) {
  double lo = 1, hi = 0;
  for (int i = 0; i < 2000; ++i) {
    const double x = i * 0.173, y = i * 0.071;
    const double v = FractalNoise(7, x, y, 4);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    // Continuous: a tiny step moves the value a tiny amount.
    EXPECT_LT(std::fabs(ValueNoise(7, x + 1e-4, y) - ValueNoise(7, x, y)), 1e-3);
    EXPECT_NEAR(PeriodicNoise1(3, x, 12), PeriodicNoise1(3, x + 12, 12), 1e-12);
  }
  EXPECT_GE(lo, 0.0);
  EXPECT_LE(hi, 1.0);
  EXPECT_GT(hi - lo, 0.4);  // not flat
  Rng a(1), b(1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(a.Next(), b.Next());
  for (int i = 0; i < 1000; ++i) {
    const int v = a.Below(7);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 7);
  }
}

TEST(FishModel, BodyOutlineIsClosedAndInflationRoundsIt) {
  Creature c;
  ASSERT_TRUE(CreatureFor("PUFFER", &c));
  FishDesign d;
  d.length = 100;
  d.profile = {{0, -0.05, 0.05}, {0.3, -0.2, 0.2}, {0.7, -0.15, 0.12}, {1, -0.05, 0.05}};
  FishPose slim, round;
  round.inflate = 1;
  const FishBody a(d, slim), b(d, round);
  for (int i = 0; i <= 100; ++i) {
    const double t = i / 100.0;
    EXPECT_LT(a.Top(t), a.Bottom(t));
    EXPECT_LE(b.Top(t), a.Top(t) + 1e-9);
    EXPECT_GE(b.Bottom(t), a.Bottom(t) - 1e-9);
    EXPECT_NEAR(a.At(t, -1).y, a.Top(t), 1e-9);
    EXPECT_NEAR(a.At(t, 1).y, a.Bottom(t), 1e-9);
  }
  // Fully inflated, the middle of the body is about as tall as it is long.
  EXPECT_GT(b.Bottom(0.46) - b.Top(0.46), 0.9 * d.length);
}

TEST(SpeciesArt, NothingIsCutOffAtTheFrameEdges) {
  // Every frame keeps a transparent border, so no fin or claw is clipped.
  for (int i = 0; i < kSpeciesCount; i += 3) {
    const SpeciesRecord* s = SpeciesAt(i);
    Creature c;
    ASSERT_TRUE(CreatureFor(s->spriteName, &c));
    const FrameStrip strip = RenderCreature(c, s->totalFrames, s->swimFrames);
    for (int k = 0; k < strip.frames; ++k) {
      const RgbaImage f = StripFrame(strip, k);
      for (int x = 0; x < f.width; ++x) {
        EXPECT_EQ(f.At(x, 0)[3], 0) << s->spriteName << " frame " << k;
        EXPECT_EQ(f.At(x, f.height - 1)[3], 0) << s->spriteName << " frame " << k;
      }
      for (int y = 0; y < f.height; ++y) {
        EXPECT_EQ(f.At(0, y)[3], 0) << s->spriteName << " frame " << k;
        EXPECT_EQ(f.At(f.width - 1, y)[3], 0) << s->spriteName << " frame " << k;
      }
    }
  }
}

}  // namespace
