// The stock scenes and their overlays against the background table.
#include "assets/art/scene_kit.h"
#include "assets/art/scenes.h"
#include "scene/creature_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>

namespace {

// The pictures of a scene whose 4:3 screen, `screenW` wide, starts at column
// `shiftX` of a background `W` wide: opaque, overlays at the table's
// positions times `factor` (shifted), each showing exactly the background
// under it.
void CheckPictures(const ScenePictures& pics, const BackgroundVariant& v, int W, int screenW,
                   int shiftX, int factor = 1) {
  const int H = screenW * 3 / 4;
  ASSERT_EQ(pics.background.width, W);
  ASSERT_EQ(pics.background.height, H);
  for (std::size_t i = 3; i < pics.background.pixels.size(); i += 4) {
    ASSERT_EQ(pics.background.pixels[i], 255);
  }
  const PlacedPicture* placed[2] = {&v.overlayA, &v.overlayB};
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(pics.hasOverlay[k], placed[k]->name != nullptr);
    if (!pics.hasOverlay[k]) continue;
    const RgbaImage& o = pics.overlay[k];
    const int x0 = placed[k]->x * factor, y0 = placed[k]->y * factor;
    EXPECT_EQ(pics.overlayX[k], x0 + shiftX);
    EXPECT_EQ(pics.overlayY[k], y0);
    // Inside the logical screen, and a real part of the picture.
    EXPECT_LE(x0 + o.width, screenW);
    EXPECT_LE(y0 + o.height, H);
    int visible = 0, differ = 0;
    for (int y = 0; y < o.height; ++y) {
      for (int x = 0; x < o.width; ++x) {
        const std::uint8_t* p = o.At(x, y);
        if (p[3] == 0) continue;
        ASSERT_EQ(p[3], 255);
        ++visible;
        const std::uint8_t* b = pics.background.At(pics.overlayX[k] + x, y0 + y);
        differ += p[0] != b[0] || p[1] != b[1] || p[2] != b[2];
      }
    }
    EXPECT_GT(visible, o.width * o.height / 10);
    // The overlay shows exactly the background under it, so fish that swim
    // behind it vanish into the scene rather than under a pasted patch.
    EXPECT_EQ(differ, 0);
  }
}

void CheckScene(int index, int width) {
  SCOPED_TRACE(testing::Message() << "scene " << index << " width " << width);
  CheckPictures(RenderScene(index, width), *BackgroundAt(index, width), width, width, 0);
}

TEST(Scenes, EveryScenePlacesItsOverlaysAtTheTablePositions) {
  for (int i = 0; i < kBackgroundCount; ++i) CheckScene(i, 640);
  CheckScene(0, 800);
}

// The grain is made only where a texture is painted; wherever it is painted,
// in whatever order, it is the grain of the whole canvas.
TEST(Scenes, GrainPaintedPieceByPieceIsTheWholeCanvasGrain) {
  auto grey = [](SceneCanvas& sc) {
    cairo_set_source_rgb(sc.cr(), 0.5, 0.5, 0.5);
    cairo_paint(sc.cr());
  };
  SceneCanvas whole(300, 200, 77), pieces(300, 200, 77);
  grey(whole);
  whole.Texture(0.8);
  grey(pieces);
  // Device rectangles across tile edges, the later one beside the earlier.
  const int rects[2][4] = {{70, 10, 90, 120}, {160, 10, 140, 190}};
  for (const auto& r : rects) {
    cairo_t* c = pieces.cr();
    cairo_save(c);
    cairo_identity_matrix(c);
    cairo_rectangle(c, r[0], r[1], r[2], r[3]);
    cairo_clip(c);
    pieces.Texture(0.8);
    cairo_restore(c);
  }
  const RgbaImage a = whole.canvas().ToImage(), b = pieces.canvas().ToImage();
  int differ = 0;
  for (const auto& r : rects) {
    for (int y = r[1]; y < r[1] + r[3]; ++y) {
      for (int x = r[0]; x < r[0] + r[2]; ++x) {
        differ += std::memcmp(a.At(x, y), b.At(x, y), 4) != 0;
      }
    }
  }
  EXPECT_EQ(differ, 0);
  // Outside them nothing was painted.
  EXPECT_EQ(b.At(20, 150)[0], b.At(20, 160)[0]);
  EXPECT_NE(a.pixels, b.pixels);
}

TEST(Scenes, ScenesAreDistinctAndDeterministic) {
  const ScenePictures a = RenderScene(2, 640), b = RenderScene(2, 640), c = RenderScene(3, 640);
  EXPECT_EQ(a.background.pixels, b.background.pixels);
  EXPECT_NE(a.background.pixels, c.background.pixels);
  EXPECT_TRUE(RenderScene(8, 640).background.Empty());
}

// ---- wide pictures ----------------------------------------------------------

constexpr int kSide = (kWidePictureWidth - 1024) / 2;  // columns of each side band

double Luma(const RgbaImage& im, int x, int y) {
  const std::uint8_t* p = im.At(x, y);
  return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

// Mean absolute luminance step from column x - 1 to column x over rows
// [y0, y1).
double ColumnStep(const RgbaImage& im, int x, int y0, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y) sum += std::fabs(Luma(im, x, y) - Luma(im, x - 1, y));
  return sum / (y1 - y0);
}

// Detail of columns [x0, x1): the mean luminance step between horizontally
// neighbouring 4 x 4 block averages. Outlines of things count; the water's
// gradients, the rays and the sand's grain and ripples (which run across)
// hardly do.
double Detail(const RgbaImage& im, int x0, int x1) {
  auto block = [&](int bx, int by) {
    double sum = 0;
    for (int y = by * 4; y < by * 4 + 4; ++y) {
      for (int x = bx * 4; x < bx * 4 + 4; ++x) sum += Luma(im, x, y);
    }
    return sum / 16;
  };
  double sum = 0;
  int n = 0;
  for (int by = 0; by < im.height / 4; ++by) {
    for (int bx = x0 / 4 + 1; bx < x1 / 4; ++bx, ++n) {
      sum += std::fabs(block(bx, by) - block(bx - 1, by));
    }
  }
  return sum / n;
}

// Each scene is drawn once at L and once wide for all the wide checks.
class WideScene : public testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() {
    for (int i = 0; i < kBackgroundCount; ++i) {
      large_[i] = RenderScene(i, 1024);
      wide_[i] = RenderWideScene(i);
    }
  }
  static void TearDownTestSuite() {
    for (int i = 0; i < kBackgroundCount; ++i) large_[i] = wide_[i] = ScenePictures();
  }
  const ScenePictures& Large() const { return large_[GetParam()]; }
  const ScenePictures& Wide() const { return wide_[GetParam()]; }

 private:
  static ScenePictures large_[kBackgroundCount];
  static ScenePictures wide_[kBackgroundCount];
};

ScenePictures WideScene::large_[kBackgroundCount];
ScenePictures WideScene::wide_[kBackgroundCount];

// How far the visible pixels of `part` are from `whole` under it with
// `part`'s corner at column x: the mean channel difference in levels, and the
// share of pixels off by more than 8 levels in some channel.
struct Difference {
  double mean = 0, visiblyOff = 0;
};

Difference Compare(const RgbaImage& part, const RgbaImage& whole, int x) {
  long sum = 0, off = 0, n = 0;
  for (int py = 0; py < part.height; ++py) {
    for (int px = 0; px < part.width; ++px) {
      if (part.At(px, py)[3] == 0) continue;
      int worst = 0;
      for (int c = 0; c < 3; ++c) {
        const int d = std::abs(int(part.At(px, py)[c]) - int(whole.At(x + px, py)[c]));
        sum += d;
        worst = std::max(worst, d);
      }
      off += worst > 8;
      ++n;
    }
  }
  return {double(sum) / (3.0 * std::max(1L, n)), double(off) / std::max(1L, n)};
}

// What a 4:3 monitor sees of the wide picture is the L picture: side content
// reaches into the middle at a few pixels at most. The saver draws the L
// overlays, shifted by the side band, over the wide picture: they must match
// what is under them just as well.
TEST_P(WideScene, MiddleIsTheLargePictureAndHoldsItsOverlays) {
  CheckPictures(Wide(), *BackgroundAt(GetParam(), 1024), kWidePictureWidth, 1024, kSide);
  const Difference middle = Compare(Large().background, Wide().background, kSide);
  EXPECT_LT(middle.mean, 0.25);
  EXPECT_LT(middle.visiblyOff, 0.005);
  for (int k = 0; k < 2; ++k) {
    if (!Large().hasOverlay[k]) continue;
    SCOPED_TRACE(testing::Message() << "overlay " << k);
    const RgbaImage& o = Large().overlay[k];
    // The overlay's rows of the wide background, to compare from its corner.
    const RgbaImage under = CropImage(Wide().background, 0, Large().overlayY[k],
                                      kWidePictureWidth, o.height);
    const Difference d = Compare(o, under, kSide + Large().overlayX[k]);
    EXPECT_LT(d.mean, 0.25);
    EXPECT_LT(d.visiblyOff, 0.005);
  }
}

// Every 128-column band of the side bands has things in it (at least a
// quarter of the middle's mean detail), so no crop up to 21:9 shows an empty
// stretch.
TEST_P(WideScene, SideBandsHaveThingsOfTheirOwn) {
  const RgbaImage& wide = Wide().background;
  double middle = 0;
  for (int x = kSide; x < kSide + 1024; x += 128) middle += Detail(wide, x, x + 128) / 8;
  for (int x = 0; x < kSide; x += 128) {
    EXPECT_GT(Detail(wide, x, x + 128), middle / 4) << "left band at " << x;
    const int right = kWidePictureWidth - x - 128;
    EXPECT_GT(Detail(wide, right, right + 128), middle / 4) << "right band at " << right;
  }
}

// Water, rays, haze, the floor and the corners' darkening run on across the
// joins at design x = 0 and 1024: the step from the column before a join to
// the one after it is no bigger than the steps between its neighbours, over
// the whole height and over the floor's rows alone.
TEST_P(WideScene, WaterAndFloorRunOnAcrossTheJoins) {
  const RgbaImage& wide = Wide().background;
  for (int join : {kSide, kSide + 1024}) {
    for (int y0 : {0, 440}) {
      double nearby = 0;
      for (int d : {-6, -4, -2, 2, 4, 6}) nearby += ColumnStep(wide, join + d, y0, 768) / 6;
      EXPECT_LE(ColumnStep(wide, join, y0, 768), 1.5 * nearby + 0.5)
          << "join at " << join << ", rows from " << y0;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryScene, WideScene, testing::Range(0, kBackgroundCount));

// ---- twice the size ----------------------------------------------------------

// Scenes with one overlay, with two (one against the screen's left edge), and
// with one covering the whole screen.
class TwiceWideScene : public testing::TestWithParam<int> {};

// The 2x picture halved is the 1x picture; each 2x overlay sits at twice the
// 1x overlay's place, is exactly twice its size, shows exactly the 2x
// picture under it and, halved, the 1x overlay.
TEST_P(TwiceWideScene, HalvedIsTheWidePictureWithOverlaysAtTwiceTheirPlaceAndSize) {
  const ScenePictures once = RenderWideScene(GetParam());
  const ScenePictures twice = RenderWideSceneTwice(GetParam(), once);
  CheckPictures(twice, *BackgroundAt(GetParam(), 1024), 2 * kWidePictureWidth, 2048, 2 * kSide,
                2);
  const Difference whole =
      Compare(ReduceImage(twice.background, kWidePictureWidth, 768), once.background, 0);
  EXPECT_LT(whole.mean, 1.0);
  EXPECT_LT(whole.visiblyOff, 0.01);
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(twice.hasOverlay[k], once.hasOverlay[k]);
    if (!once.hasOverlay[k]) continue;
    SCOPED_TRACE(testing::Message() << "overlay " << k);
    EXPECT_EQ(twice.overlayX[k], 2 * once.overlayX[k]);
    EXPECT_EQ(twice.overlayY[k], 2 * once.overlayY[k]);
    EXPECT_EQ(twice.overlay[k].width, 2 * once.overlay[k].width);
    EXPECT_EQ(twice.overlay[k].height, 2 * once.overlay[k].height);
    // Halved, it covers what the 1x overlay covers: the pixels of either
    // alone are few (edges).
    const RgbaImage halved =
        ReduceImage(twice.overlay[k], once.overlay[k].width, once.overlay[k].height);
    long onlyOne = 0, both = 0;
    for (int y = 0; y < halved.height; ++y) {
      for (int x = 0; x < halved.width; ++x) {
        const bool a = once.overlay[k].At(x, y)[3] != 0, b = halved.At(x, y)[3] >= 128;
        both += a && b;
        onlyOne += a != b;
      }
    }
    EXPECT_LT(double(onlyOne) / std::max(1L, both), 0.05);
  }
}

INSTANTIATE_TEST_SUITE_P(SomeScenes, TwiceWideScene, testing::Values(1, 2, 5));

TEST(WideScenes, NoWidePictureOutsideTheTable) {
  EXPECT_TRUE(RenderWideScene(kBackgroundCount).background.Empty());
  EXPECT_TRUE(RenderWideScene(-1).background.Empty());
}

}  // namespace
