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
