#include "scene/screen_layout.h"

#include <gtest/gtest.h>

#include "pixel/pixel_format.h"

TEST(ScreenLayout, SizeStepsAtEachThreshold) {
  struct Case {
    std::int32_t screen, width, height;
  };
  for (Case c : {Case{0, 640, 480}, Case{799, 640, 480}, Case{800, 800, 600},
                 Case{1023, 800, 600}, Case{1024, 1024, 768}, Case{4096, 1024, 768}}) {
    ScreenLayout layout = FullScreenLayout(c.screen, 2000, 32, false);
    EXPECT_EQ(layout.width, c.width) << c.screen;
    EXPECT_EQ(layout.height, c.height) << c.screen;
  }
}

TEST(ScreenLayout, CentredOnLargerScreensNeverNegative) {
  ScreenLayout big = FullScreenLayout(1280, 1024, 32, false);
  EXPECT_EQ(big.offsetX, 128);
  EXPECT_EQ(big.offsetY, 128);
  ScreenLayout exact = FullScreenLayout(640, 480, 32, false);
  EXPECT_EQ(exact.offsetX, 0);
  EXPECT_EQ(exact.offsetY, 0);
  ScreenLayout odd = FullScreenLayout(700, 500, 32, false);
  EXPECT_EQ(odd.offsetX, 30);
  EXPECT_EQ(odd.offsetY, 10);
  ScreenLayout small = FullScreenLayout(320, 240, 32, false);  // a screen smaller than any scene
  EXPECT_EQ(small.offsetX, 0);
  EXPECT_EQ(small.offsetY, 0);
}

TEST(ScreenLayout, TypeByDepth) {
  EXPECT_EQ(FullScreenLayout(800, 600, 16, false).type, PIXEL_RGB555);
  EXPECT_EQ(FullScreenLayout(800, 600, 16, true).type, PIXEL_RGB565);
  EXPECT_EQ(FullScreenLayout(800, 600, 32, true).type, PIXEL_RGB32);
  EXPECT_EQ(FullScreenLayout(800, 600, 24, false).type, PIXEL_RGB24);
  EXPECT_EQ(FullScreenLayout(800, 600, 32, false).type, PIXEL_RGB32);
  for (std::int32_t bits : {0, 1, 4, 8, 15, 64})
    EXPECT_EQ(FullScreenLayout(800, 600, bits, false).type, PIXEL_INDEX8);
}

TEST(ScreenLayout, EdgeToEdgeTakesTheMonitorsShape) {
  struct Case {
    std::int32_t monitorWidth, monitorHeight, width, height, designWidth;
  };
  for (Case c : {Case{1024, 768, 1024, 768, 1024}, Case{1920, 1200, 1229, 768, 1024},
                 Case{1920, 1080, 1365, 768, 1024}, Case{2560, 1080, 1820, 768, 1024},
                 Case{3840, 2160, 1365, 768, 1024}, Case{1280, 1024, 960, 768, 1024},
                 Case{1080, 1920, 432, 768, 1024},  // portrait
                 Case{1280, 720, 1067, 600, 800},   // no 1024 x 768 box inside
                 Case{800, 480, 800, 480, 640}, Case{640, 480, 640, 480, 640}}) {
    const ScreenLayout layout = EdgeLayout(c.monitorWidth, c.monitorHeight, 32, false);
    EXPECT_EQ(layout.width, c.width) << c.monitorWidth << "x" << c.monitorHeight;
    EXPECT_EQ(layout.height, c.height) << c.monitorWidth << "x" << c.monitorHeight;
    EXPECT_EQ(layout.designWidth, c.designWidth) << c.monitorWidth << "x" << c.monitorHeight;
    EXPECT_EQ(layout.offsetX, 0);
    EXPECT_EQ(layout.offsetY, 0);
    EXPECT_EQ(layout.type, PIXEL_RGB32);
  }
}

TEST(ScreenLayout, EdgeToEdgeHoldsExtremeShapesWithinFourToOne) {
  EXPECT_EQ(EdgeLayout(100000, 1080, 32, false).width, 768 * 4);
  EXPECT_EQ(EdgeLayout(1080, 100000, 32, false).width, 192);
  EXPECT_EQ(EdgeLayout(0x7FFFFFFF, 1, 32, false).width, 480 * 4);
  const ScreenLayout none = EdgeLayout(0, 0, 16, true);
  EXPECT_EQ(none.width, 640);
  EXPECT_EQ(none.height, 480);
  EXPECT_EQ(none.type, PIXEL_RGB565);
}

TEST(ScreenLayout, TwiceTheSizeOnlyAboveAQuarterMoreThanTheScene) {
  // 1920 x 1080 is more than 1.25 x 768 high: twice the pixels, the design kept.
  const ScreenLayout wide = EdgeLayout(1920, 1080, 32, false);
  const ScreenLayout twice = TwiceSizeLayout(wide, 1080);
  EXPECT_EQ(twice.scale, 2);
  EXPECT_EQ(twice.width, 2 * wide.width);
  EXPECT_EQ(twice.height, 1536);
  EXPECT_EQ(twice.designWidth, wide.designWidth);
  EXPECT_EQ(twice.type, wide.type);
  // Exactly 1.25 x 768 (960) stays at 1x, one pixel more does not.
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(1280, 960, 32, false), 960).scale, 1);
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(1280, 961, 32, false), 961).scale, 2);
  // A 600-high scene doubles from 751 pixels up.
  const ScreenLayout medium = EdgeLayout(1000, 751, 16, true);
  ASSERT_EQ(medium.height, 600);
  EXPECT_EQ(TwiceSizeLayout(medium, 751).scale, 2);
  EXPECT_EQ(TwiceSizeLayout(medium, 750).scale, 1);
  // Never on 8 bits, never twice over.
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(3840, 2160, 8, false), 2160).scale, 1);
  EXPECT_EQ(TwiceSizeLayout(twice, 4320).width, twice.width);
}
