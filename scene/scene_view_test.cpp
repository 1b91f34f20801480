#include "scene/scene_view.h"

#include <gtest/gtest.h>

namespace {

void ExpectArea(const SceneView& v, std::int32_t x, std::int32_t y, std::int32_t w,
                std::int32_t h) {
  EXPECT_EQ(v.area.x, x);
  EXPECT_EQ(v.area.y, y);
  EXPECT_EQ(v.area.width, w);
  EXPECT_EQ(v.area.height, h);
}

}  // namespace

TEST(SceneView, CentredKeepsTheSceneSizeAndNeverStartsBeforeTheMonitor) {
  ExpectArea(CentredView({0, 0, 1920, 1080}, 1024, 768), 448, 156, 1024, 768);
  ExpectArea(CentredView({1280, 0, 1024, 768}, 1024, 768), 1280, 0, 1024, 768);
  // A monitor smaller than the scene shows its top-left part.
  ExpectArea(CentredView({1920, 100, 800, 600}, 1024, 768), 1920, 100, 1024, 768);
  EXPECT_FALSE(CentredView({0, 0, 1920, 1080}, 1024, 768).scaled);
}

TEST(SceneView, FilledKeepsTheShapeWithBarsOnTheLongSides) {
  const SceneView wide = FilledView({0, 0, 1920, 1080}, 1024, 768);
  ExpectArea(wide, 240, 0, 1440, 1080);
  EXPECT_TRUE(wide.scaled);
  ExpectArea(FilledView({0, 0, 1280, 1024}, 1024, 768), 0, 32, 1280, 960);
  ExpectArea(FilledView({1280, 0, 1024, 768}, 1024, 768), 1280, 0, 1024, 768);
  EXPECT_FALSE(FilledView({1280, 0, 1024, 768}, 1024, 768).scaled);
  // Smaller monitors shrink the scene; odd sizes round to the nearest pixel.
  ExpectArea(FilledView({0, 0, 800, 600}, 1024, 768), 0, 0, 800, 600);
  ExpectArea(FilledView({0, 0, 3840, 2160}, 640, 480), 480, 0, 2880, 2160);
  ExpectArea(FilledView({0, 0, 1366, 768}, 1024, 768), 171, 0, 1024, 768);
  ExpectArea(FilledView({0, 0, 1001, 1000}, 640, 480), 0, 124, 1001, 751);
  EXPECT_EQ(FilledView({5, 7, 1001, 1000}, 640, 480).monitor.x, 5);
}

TEST(SceneView, CoveringReachesEveryEdgeAndCentresWhatIsCropped) {
  // A scene of the monitor's shape covers it exactly, give or take the rounding.
  const SceneView exact = CoveringView({0, 0, 1920, 1080}, 1365, 768);
  EXPECT_EQ(exact.area.x, 0);
  EXPECT_EQ(exact.area.width, 1920);
  EXPECT_GE(exact.area.height, 1080);
  EXPECT_LE(exact.area.height, 1081);
  EXPECT_TRUE(exact.scaled);
  // Another shape: the long side reaches past the monitor, equally on both sides.
  ExpectArea(CoveringView({0, 0, 1920, 1080}, 1024, 768), 0, -180, 1920, 1440);
  ExpectArea(CoveringView({1920, 0, 1280, 1024}, 1365, 768), 1920 - 270, 0, 1820, 1024);
  ExpectArea(CoveringView({0, 0, 1024, 768}, 1024, 768), 0, 0, 1024, 768);
  EXPECT_FALSE(CoveringView({0, 0, 1024, 768}, 1024, 768).scaled);
  // For every monitor shape the covering area holds the monitor whole.
  for (std::int32_t mw : {640, 1000, 1280, 1920, 2560, 3840})
    for (std::int32_t mh : {480, 777, 1024, 1080, 2160}) {
      const Rect m = {100, 50, mw, mh};
      const SceneView v = CoveringView(m, 1365, 768);
      EXPECT_LE(v.area.x, m.x) << mw << "x" << mh;
      EXPECT_LE(v.area.y, m.y) << mw << "x" << mh;
      EXPECT_GE(v.area.x + v.area.width, m.x + m.width) << mw << "x" << mh;
      EXPECT_GE(v.area.y + v.area.height, m.y + m.height) << mw << "x" << mh;
      EXPECT_TRUE(v.area.width == mw || v.area.height == mh) << mw << "x" << mh;
    }
}

TEST(SceneView, MakeViewsFollowsTheFillMode) {
  const Rect monitors[2] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  SceneView views[2];
  ASSERT_EQ(MakeViews(monitors, 2, 1024, 768, FILL_CENTRED, views), 2);
  ExpectArea(views[1], 1920 + 128, 128, 1024, 768);
  MakeViews(monitors, 2, 1024, 768, FILL_BARS, views);
  ExpectArea(views[0], 240, 0, 1440, 1080);
  MakeViews(monitors, 2, 1024, 768, FILL_EDGE, views);
  ExpectArea(views[0], 0, -180, 1920, 1440);
  ExpectArea(views[1], 1920 - 42, 0, 1365, 1024);
}
