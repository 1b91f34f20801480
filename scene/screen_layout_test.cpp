#include "scene/screen_layout.h"

#include <gtest/gtest.h>

#include "pixel/pixel_format.h"

TEST(ScreenLayout, SizeStepsAtEachThreshold) {
  struct Case {
    std::int32_t screen, width, height;
  };
  for (Case c : {Case{0, 640, 480}, Case{799, 640, 480}, Case{800, 800, 600}, Case{1023, 800, 600},
                 Case{1024, 1024, 768}, Case{4096, 1024, 768}}) {
    ScreenLayout layout = FullScreenLayout(c.screen, 2000, 32);
    EXPECT_EQ(layout.width, c.width) << c.screen;
    EXPECT_EQ(layout.height, c.height) << c.screen;
  }
}

TEST(ScreenLayout, CentredOnLargerScreensNeverNegative) {
  ScreenLayout big = FullScreenLayout(1280, 1024, 32);
  EXPECT_EQ(big.offsetX, 128);
  EXPECT_EQ(big.offsetY, 128);
  ScreenLayout exact = FullScreenLayout(640, 480, 32);
  EXPECT_EQ(exact.offsetX, 0);
  EXPECT_EQ(exact.offsetY, 0);
  ScreenLayout odd = FullScreenLayout(700, 500, 32);
  EXPECT_EQ(odd.offsetX, 30);
  EXPECT_EQ(odd.offsetY, 10);
  ScreenLayout small = FullScreenLayout(320, 240, 32);  // a screen smaller than any scene
  EXPECT_EQ(small.offsetX, 0);
  EXPECT_EQ(small.offsetY, 0);
}

TEST(ScreenLayout, TypeByDepth) {
  EXPECT_EQ(FullScreenLayout(800, 600, 16).type, PIXEL_RGB555);
  EXPECT_EQ(FullScreenLayout(800, 600, 24).type, PIXEL_RGB24);
  EXPECT_EQ(FullScreenLayout(800, 600, 32).type, PIXEL_RGB32);
  for (std::int32_t bits : {0, 1, 4, 8, 15, 64})
    EXPECT_EQ(FullScreenLayout(800, 600, bits).type, PIXEL_INDEX8);
}
