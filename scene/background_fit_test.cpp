#include "scene/background_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

void ExpectCrop(const PictureCrop& c, std::int32_t x, std::int32_t y, std::int32_t w,
                std::int32_t h) {
  EXPECT_EQ(c.x, x);
  EXPECT_EQ(c.y, y);
  EXPECT_EQ(c.width, w);
  EXPECT_EQ(c.height, h);
}

}  // namespace

TEST(BackgroundFit, CoverCropKeepsTheSceneShapeInsideThePicture) {
  // A wide stock picture under narrower scenes: its full height, its middle.
  ExpectCrop(CoverCrop(1792, 768, 1365, 768, CropAnchor::kFloor), 213, 0, 1365, 768);
  ExpectCrop(CoverCrop(1792, 768, 1024, 768, CropAnchor::kFloor), 384, 0, 1024, 768);
  ExpectCrop(CoverCrop(1792, 768, 1067, 600, CropAnchor::kFloor), 213, 0, 1366, 768);
  // A 4:3 picture under a wide scene: its full width; a stock picture keeps its floor.
  ExpectCrop(CoverCrop(1024, 768, 1365, 768, CropAnchor::kFloor), 0, 192, 1024, 576);
  ExpectCrop(CoverCrop(1024, 768, 1365, 768, CropAnchor::kCentre), 0, 96, 1024, 576);
  // The user's picture of any shape and size, even one pixel.
  ExpectCrop(CoverCrop(4000, 100, 1365, 768, CropAnchor::kCentre), 1911, 0, 178, 100);
  ExpectCrop(CoverCrop(1, 1, 1365, 768, CropAnchor::kCentre), 0, 0, 1, 1);
  ExpectCrop(CoverCrop(3, 5000, 1365, 768, CropAnchor::kCentre), 0, 2499, 3, 2);
  // Nothing to fit: the whole picture.
  ExpectCrop(CoverCrop(640, 480, 0, 768, CropAnchor::kCentre), 0, 0, 640, 480);
  // Every crop lies inside its picture and has the scene's shape to within a pixel.
  for (std::int32_t pw : {1, 7, 640, 1024, 1792, 5000})
    for (std::int32_t ph : {1, 9, 480, 768, 3000})
      for (std::int32_t sw : {432, 960, 1365, 3072}) {
        const PictureCrop c = CoverCrop(pw, ph, sw, 768, CropAnchor::kFloor);
        EXPECT_GE(c.x, 0);
        EXPECT_GE(c.y, 0);
        EXPECT_GE(c.width, 1);
        EXPECT_GE(c.height, 1);
        EXPECT_LE(c.x + c.width, pw);
        EXPECT_LE(c.y + c.height, ph);
        EXPECT_TRUE(c.width == pw || c.height == ph);
        // width / height = sw / 768, give or take a pixel of rounding
        EXPECT_LE(std::llabs(std::int64_t(c.width) * 768 - std::int64_t(sw) * c.height),
                  std::max<std::int64_t>(768, sw))
            << pw << "x" << ph << " for " << sw;
      }
}

TEST(BackgroundFit, OverlaysStayOnTheirSpotOfThePicture) {
  // Identity: the design's own position.
  const OverlayFrame same = IdentityFrame(1024, 768);
  const ScenePoint p = PlaceOverlay(same, 335, 273, 200);
  EXPECT_EQ(p.x, 335);
  EXPECT_EQ(p.y, 273);
  // A wide picture under a 16:9 scene: shifted by half the extra width, same height.
  const OverlayFrame wide = {CoverCrop(1792, 768, 1365, 768, CropAnchor::kFloor), 1792, 768,
                             1365, 768, 1024, {1, 1}};
  const ScenePoint q = PlaceOverlay(wide, 335, 273, 200);
  EXPECT_NEAR(q.x, 335 + (1365 - 1024) / 2, 1);
  EXPECT_EQ(q.y, 273);
  // The M design (800 x 600) on a wide scene 600 high, from the 1792 x 768 picture.
  const OverlayFrame medium = {CoverCrop(1792, 768, 1067, 600, CropAnchor::kFloor), 1792, 768,
                               1067, 600, 800, {1, 1}};
  const ScenePoint m = PlaceOverlay(medium, 262, 213, 150);
  EXPECT_NEAR(m.x, 262 + (1067 - 800) / 2, 1);
  EXPECT_EQ(m.y, 213);
  // The 4:3 picture enlarged under a wide scene: the floor stays the floor, so an
  // overlay standing on it still stands on it (its bottom on the enlarged point).
  const OverlayFrame enlarged = {CoverCrop(1024, 768, 1365, 768, CropAnchor::kFloor), 1024, 768,
                                 1365, 768, 1024, {1, 1}};
  const ScenePoint e = PlaceOverlay(enlarged, 0, 568, 200);
  EXPECT_EQ(e.y + 200, 768);
  EXPECT_EQ(e.x, 0);
  const ScenePoint centre = PlaceOverlay(enlarged, 512, 368, 200);
  EXPECT_NEAR(centre.x, 1365 / 2, 1);
  EXPECT_NEAR(centre.y + 200, 768 - 200 * 1365.0 / 1024, 1);
  // Twice the size: the wide picture at 2x under a scene of twice the pixels
  // gives the same design position as at 1x, and the 1x picture enlarged into
  // a 2x scene too.
  const OverlayFrame twice = {CoverCrop(3584, 1536, 2730, 1536, CropAnchor::kFloor), 3584, 1536,
                              2730, 1536, 1024, {2, 1}};
  const ScenePoint t = PlaceOverlay(twice, 335, 273, 200);
  EXPECT_NEAR(t.x, q.x, 1);
  EXPECT_EQ(t.y, q.y);
  const OverlayFrame older = {CoverCrop(1792, 768, 2730, 1536, CropAnchor::kFloor), 1792, 768,
                              2730, 1536, 1024, {2, 1}};
  const ScenePoint o = PlaceOverlay(older, 335, 273, 200);
  EXPECT_NEAR(o.x, q.x, 1);
  EXPECT_EQ(o.y, q.y);
  // The monitor's own pixels, 1920 x 1080 for the 1365 x 768 design.
  const OverlayFrame own = {CoverCrop(3584, 1536, 1920, 1080, CropAnchor::kFloor), 3584, 1536,
                            1920, 1080, 1024, {1080, 768}};
  const ScenePoint n = PlaceOverlay(own, 335, 273, 200);
  EXPECT_NEAR(n.x, q.x, 1);
  EXPECT_NEAR(n.y, q.y, 1);
}
