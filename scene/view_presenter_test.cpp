#include "scene/view_presenter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "gfx/dib_surface.h"
#include "gfx/graphics_system.h"
#include "gfx/window_surface.h"
#include "gfx/window_test_support.h"
#include "pixel/pixel_format.h"

namespace {

constexpr std::int32_t kWindowWidth = 200, kWindowHeight = 120;
constexpr std::int32_t kSceneWidth = 40, kSceneHeight = 30;

// Two views of a 40 x 30 scene on a 200 x 120 window: one at its own size at
// (10, 10) on a monitor that ends at x 30, so the scene's columns from 20 on
// are cut off; one scaled to 80 x 60 at (100, 20).
const SceneView kViews[2] = {
    {{10, 10, kSceneWidth, kSceneHeight}, {0, 0, 30, kWindowHeight}, false},
    {{100, 20, 80, 60}, {60, 0, 140, kWindowHeight}, true},
};

// The window's pixels as 32-bit values (blue in the low byte), top row first.
class Screenshot {
 public:
  explicit Screenshot(WindowSurface& screen) : pixels_(kWindowWidth * kWindowHeight) {
    DibSurface* shot = new DibSurface;
    if (shot->Create(kWindowWidth, kWindowHeight, PIXEL_RGB32) == GFX_OK &&
        screen.DrawOnto(shot, 0, 0, kWindowWidth, kWindowHeight, 0, 0, kWindowWidth,
                        kWindowHeight, 0, 0) == GFX_OK) {
      for (std::int32_t y = 0; y < kWindowHeight; ++y)
        for (std::int32_t x = 0; x < kWindowWidth; ++x)
          pixels_[std::size_t(y * kWindowWidth + x)] = shot->GetPixel(x, y) & 0xFFFFFF;
    }
    shot->Release();
  }
  std::uint32_t At(std::int32_t x, std::int32_t y) const {
    return pixels_[std::size_t(y * kWindowWidth + x)];
  }

 private:
  std::vector<std::uint32_t> pixels_;
};

class ViewPresenterTest : public ::testing::Test {
 protected:
  ViewPresenterTest() : window_(kWindowWidth, kWindowHeight) {
    system_.Init(GetModuleHandleA(nullptr), window_.Handle(), 0, 0);
    screen_ = new WindowSurface;
    ok_ = screen_->AttachWindow(window_.Handle(), FALSE) == GFX_OK;
    scene_ = system_.NewDibSurface();
    ok_ = ok_ && scene_ && scene_->Create(kSceneWidth, kSceneHeight, PIXEL_RGB32) == GFX_OK;
    std::mt19937 random(5);
    for (std::int32_t y = 0; ok_ && y < kSceneHeight; ++y)
      for (std::int32_t x = 0; x < kSceneWidth; ++x)
        scene_->SetPixel(x, y, random() & 0xFFFFFF);
    Clear();
  }
  ~ViewPresenterTest() override {
    views_.Drop();
    if (scene_) scene_->Release();
    screen_->Release();
  }

  void Clear() {
    (void)screen_->FillRect(0, 0, kWindowWidth, kWindowHeight, 0);
    TestWindow::Pump();
  }
  // One frame's presenting, with the window's device context held as the scene holds it.
  void Present(const Rect* rects, int count) {
    (void)screen_->LockDC();
    for (int i = 0; i < count; ++i) views_.PresentRect(*scene_, rects[i]);
    views_.EndPresent();
    screen_->UnlockDC();
    TestWindow::Pump();
  }

  // Every view shows the scene.
  DibSurface* const* Sources() {
    for (DibSurface*& s : sources_) s = scene_;
    return sources_;
  }

  // The scene scaled whole to the second view's size, as its kernel does it.
  std::vector<std::uint8_t> ScaledScene() {
    std::vector<std::uint8_t> scaled(80 * 60 * 4);
    std::uint8_t* bits = nullptr;
    std::int32_t pitch = 0;
    if (scene_->Lock(&bits, &pitch) != GFX_OK) return scaled;
    ScaleBilinear32(scaled.data(), 80 * 4, bits, pitch, {kSceneWidth, kSceneHeight, 80, 60},
                    {0, 0, 80, 60});
    (void)scene_->Unlock();
    return scaled;
  }

  // Outside `shown` (window pixels) the window is black; inside, the centred view shows
  // the scene's pixel, the scaled view the scaled scene's.
  void ExpectShown(const Screenshot& shot, const Rect& centred, const Rect& scaledPart) {
    const std::vector<std::uint8_t> scaled = ScaledScene();
    int wrong = 0;
    for (std::int32_t y = 0; y < kWindowHeight; ++y)
      for (std::int32_t x = 0; x < kWindowWidth; ++x) {
        std::uint32_t want = 0;
        if (Inside(centred, x, y)) {
          want = scene_->GetPixel(x - 10, y - 10) & 0xFFFFFF;
        } else if (Inside(scaledPart, x, y)) {
          const std::uint8_t* p = &scaled[std::size_t(((y - 20) * 80 + (x - 100)) * 4)];
          want = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
        }
        if (shot.At(x, y) != want && wrong++ < 5)
          ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << shot.At(x, y)
                        << " instead of " << want;
      }
    EXPECT_EQ(wrong, 0);
  }
  static bool Inside(const Rect& r, std::int32_t x, std::int32_t y) {
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
  }

  TestWindow window_;
  GraphicsSystem system_;
  WindowSurface* screen_ = nullptr;
  DibSurface* scene_ = nullptr;
  DibSurface* sources_[ViewPresenter::kMaxViews + 1] = {};
  ViewPresenter views_;
  bool ok_ = false;
};

}  // namespace

// A frame's rectangles reach each view as the whole tiles they touch: at its
// place in the centred view, clipped to that view's monitor, and scaled in the
// scaled one. Nothing else is drawn, and the next frame starts with no tiles.
TEST_F(ViewPresenterTest, PresentsTheTilesOfAFrameToEveryView) {
  if (ScreenDepth() < 24) GTEST_SKIP() << "needs a screen that keeps every colour";
  ASSERT_TRUE(ok_);
  ASSERT_TRUE(views_.SetViews(system_, *screen_, Sources(), kViews, 2));
  EXPECT_EQ(views_.Count(), 2);

  // Both rectangles lie in the first row of tiles: columns 0..31, rows 0..15.
  const Rect rects[2] = {{3, 2, 5, 4}, {18, 9, 6, 3}};
  Present(rects, 2);
  const ScaleRect part = ScaledDirtyRect({kSceneWidth, kSceneHeight, 80, 60}, {0, 0, 32, 16});
  ExpectShown(Screenshot(*screen_), {10, 10, 20, 16},
              {100 + part.x, 20 + part.y, part.width, part.height});

  Clear();
  Present(nullptr, 0);
  ExpectShown(Screenshot(*screen_), {0, 0, 0, 0}, {0, 0, 0, 0});

  views_.PresentWhole();
  Present(nullptr, 0);
  ExpectShown(Screenshot(*screen_), {10, 10, 20, kSceneHeight}, {100, 20, 80, 60});
}

// Views out of range are refused and leave the views as they were; Drop
// leaves none, and rectangles then go nowhere.
TEST_F(ViewPresenterTest, KeepsItsViewsUntilNewOnesAreMade) {
  ASSERT_TRUE(ok_);
  ASSERT_TRUE(views_.SetViews(system_, *screen_, Sources(), kViews, 2));
  SceneView many[ViewPresenter::kMaxViews + 1] = {};
  EXPECT_FALSE(views_.SetViews(system_, *screen_, Sources(), many, ViewPresenter::kMaxViews + 1));
  EXPECT_FALSE(views_.SetViews(system_, *screen_, Sources(), many, -1));
  EXPECT_EQ(views_.Count(), 2);
  ASSERT_TRUE(views_.SetViews(system_, *screen_, Sources(), kViews, 1));
  EXPECT_EQ(views_.Count(), 1);
  views_.Drop();
  EXPECT_EQ(views_.Count(), 0);
  if (ScreenDepth() < 24) return;
  const Rect whole = {0, 0, kSceneWidth, kSceneHeight};
  Present(&whole, 1);
  ExpectShown(Screenshot(*screen_), {0, 0, 0, 0}, {0, 0, 0, 0});
}

// A covering view reaches past its monitor: only what lies on the monitor is
// drawn, so a neighbouring monitor keeps its own picture.
TEST_F(ViewPresenterTest, ACoveringViewDrawsOnItsMonitorOnly) {
  if (ScreenDepth() < 24) GTEST_SKIP() << "needs a screen that keeps every colour";
  ASSERT_TRUE(ok_);
  const SceneView covering = {{100, 20, 80, 60}, {110, 30, 50, 30}, true};
  ASSERT_TRUE(views_.SetViews(system_, *screen_, Sources(), &covering, 1));
  views_.PresentWhole();
  Present(nullptr, 0);
  ExpectShown(Screenshot(*screen_), {0, 0, 0, 0}, {110, 30, 50, 30});
}

// Views of two sources: a rectangle of one reaches only the views that show
// it, and a view without a source is refused.
TEST_F(ViewPresenterTest, EachViewShowsItsOwnSource) {
  if (ScreenDepth() < 24) GTEST_SKIP() << "needs a screen that keeps every colour";
  ASSERT_TRUE(ok_);
  DibSurface* other = system_.NewDibSurface();
  ASSERT_TRUE(other && other->Create(kSceneWidth, kSceneHeight, PIXEL_RGB32) == GFX_OK);
  (void)other->FillRect(0, 0, kSceneWidth, kSceneHeight, 0x00FF00);  // shows if presented
  DibSurface* sources[2] = {other, scene_};
  ASSERT_TRUE(views_.SetViews(system_, *screen_, sources, kViews, 2));
  const Rect whole = {0, 0, kSceneWidth, kSceneHeight};
  (void)screen_->LockDC();
  views_.PresentRect(*scene_, whole);
  views_.EndPresent();
  screen_->UnlockDC();
  TestWindow::Pump();
  // Only the scaled view shows the scene; the other one's source was not presented.
  ExpectShown(Screenshot(*screen_), {0, 0, 0, 0}, {100, 20, 80, 60});
  DibSurface* missing[2] = {scene_, nullptr};
  EXPECT_FALSE(views_.SetViews(system_, *screen_, missing, kViews, 2));
  EXPECT_EQ(views_.Count(), 2);
  views_.Drop();
  other->Release();
}
