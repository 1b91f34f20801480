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
  // 3840 x 2160 is more than twice 768 high: twice the pixels, scaled each tick.
  const ScreenLayout uhd = EdgeLayout(3840, 2160, 32, false);
  const ScreenLayout twice = TwiceSizeLayout(uhd, 3840, 2160);
  EXPECT_EQ(twice.scale, (PixelScale{2, 1}));
  EXPECT_EQ(twice.width, 2 * uhd.width);
  EXPECT_EQ(twice.height, 1536);
  EXPECT_EQ(twice.designWidth, uhd.designWidth);
  EXPECT_EQ(twice.type, uhd.type);
  // 1920 x 1080: between 1.25 and 2 times: the monitor's own pixels.
  const ScreenLayout own = TwiceSizeLayout(EdgeLayout(1920, 1080, 32, false), 1920, 1080);
  EXPECT_EQ(own.width, 1920);
  EXPECT_EQ(own.height, 1080);
  EXPECT_EQ(own.scale, (PixelScale{1080, 768}));
  EXPECT_EQ(own.scale.Units(1080), 768);
  // Exactly 1.25 x 768 (960) stays at 1x, one pixel more does not; twice 768
  // exactly is scale 2.
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(1280, 960, 32, false), 1280, 960).scale, PixelScale{});
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(1280, 961, 32, false), 1280, 961).scale,
            (PixelScale{961, 768}));
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(2048, 1536, 32, false), 2048, 1536).scale,
            (PixelScale{2, 1}));
  // A 2560 x 1440 monitor: all of its pixels; a 5:1 one (its scene held at
  // 4:1, 3072 units) only the scene's.
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(2560, 1440, 32, false), 2560, 1440).width, 2560);
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(5000, 1000, 32, false), 5000, 1000).width, 4000);
  // A 600-high scene: from 751 pixels up.
  const ScreenLayout medium = EdgeLayout(1000, 751, 16, true);
  ASSERT_EQ(medium.height, 600);
  EXPECT_EQ(TwiceSizeLayout(medium, 1000, 751).height, 751);
  EXPECT_EQ(TwiceSizeLayout(medium, 1000, 750).scale, PixelScale{});
  // Never on 8 bits, never twice over.
  EXPECT_EQ(TwiceSizeLayout(EdgeLayout(3840, 2160, 8, false), 3840, 2160).scale, PixelScale{});
  EXPECT_EQ(TwiceSizeLayout(twice, 7680, 4320).width, twice.width);
}

TEST(PixelScale, PositionsFloorBoxesCoverAndLengthsReadBack) {
  const PixelScale s{1080, 768};  // 1.40625
  EXPECT_EQ(s.Floor(100), 140);
  EXPECT_EQ(s.Ceil(100), 141);
  EXPECT_EQ(s.Floor(-3), -5);  // -4.22 down
  EXPECT_EQ(s.Ceil(-3), -4);
  const Rect c = s.Cover({-3, 10, 7, 1});
  EXPECT_EQ(c.x, -5);
  EXPECT_EQ(c.width, s.Ceil(4) + 5);
  EXPECT_EQ(c.y, 14);
  EXPECT_EQ(c.height, 16 - 14);
  // A frame of w units drawn Floor(w) pixels wide at Floor(x) stays inside
  // the box, and reads back as w, for every scale from 1 to 2.
  for (std::int32_t num = 768; num <= 1536; num += 37) {
    const PixelScale t{num, 768};
    for (std::int32_t w = 1; w < 300; w += 7) {
      EXPECT_EQ(t.Units(t.Floor(w)), w) << num << " " << w;
      for (std::int32_t x = -40; x < 40; x += 13) {
        const Rect box = t.Cover({x, 0, w, 1});
        EXPECT_LE(box.x, t.Floor(x));
        EXPECT_GE(box.x + box.width, t.Floor(x) + t.Floor(w)) << num << " " << w << " " << x;
      }
    }
  }
}
