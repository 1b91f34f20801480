// The stock scenes and their overlays against the background table.
#include "assets/art/scenes.h"
#include "scene/species_table.h"

#include <gtest/gtest.h>

namespace {

void CheckScene(int index, int width) {
  SCOPED_TRACE(testing::Message() << "scene " << index << " width " << width);
  const ScenePictures pics = RenderScene(index, width);
  const int W = width, H = width * 3 / 4;
  ASSERT_EQ(pics.background.width, W);
  ASSERT_EQ(pics.background.height, H);
  for (std::size_t i = 3; i < pics.background.pixels.size(); i += 4) {
    ASSERT_EQ(pics.background.pixels[i], 255);
  }
  const BackgroundVariant* v = BackgroundAt(index, width);
  const PlacedPicture* placed[2] = {&v->overlayA, &v->overlayB};
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(pics.hasOverlay[k], placed[k]->name != nullptr);
    if (!pics.hasOverlay[k]) continue;
    const RgbaImage& o = pics.overlay[k];
    EXPECT_EQ(pics.overlayX[k], placed[k]->x);
    EXPECT_EQ(pics.overlayY[k], placed[k]->y);
    // Inside the logical screen, and a real part of the picture.
    EXPECT_LE(placed[k]->x + o.width, W);
    EXPECT_LE(placed[k]->y + o.height, H);
    int visible = 0, differ = 0;
    for (int y = 0; y < o.height; ++y) {
      for (int x = 0; x < o.width; ++x) {
        const std::uint8_t* p = o.At(x, y);
        if (p[3] == 0) continue;
        ASSERT_EQ(p[3], 255);
        ++visible;
        const std::uint8_t* b = pics.background.At(placed[k]->x + x, placed[k]->y + y);
        differ += p[0] != b[0] || p[1] != b[1] || p[2] != b[2];
      }
    }
    EXPECT_GT(visible, o.width * o.height / 10);
    // The overlay shows exactly the background under it, so fish that swim
    // behind it vanish into the scene rather than under a pasted patch.
    EXPECT_EQ(differ, 0);
  }
}

TEST(Scenes, EveryScenePlacesItsOverlaysAtTheTablePositions) {
  for (int i = 0; i < kBackgroundCount; ++i) CheckScene(i, 640);
  CheckScene(0, 800);
}

TEST(Scenes, ScenesAreDistinctAndDeterministic) {
  const ScenePictures a = RenderScene(2, 640), b = RenderScene(2, 640), c = RenderScene(3, 640);
  EXPECT_EQ(a.background.pixels, b.background.pixels);
  EXPECT_NE(a.background.pixels, c.background.pixels);
  EXPECT_TRUE(RenderScene(8, 640).background.Empty());
}

}  // namespace
