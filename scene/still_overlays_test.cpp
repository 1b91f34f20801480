#include "scene/still_overlays.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx/image_test_support.h"
#include "gfx/packed_dib_image.h"
#include "pixel/blit.h"
#include "pixel/pixel_format.h"
#include "scene/actor_table.h"
#include "scene/actor_test_support.h"
#include "scene/creature_table.h"
#include "scene/fish_actor.h"
#include "scene/scene_state.h"

namespace {

constexpr std::int32_t kWidth = 240, kHeight = 150;

Ref<PackedDibImage> NewPicture(std::int32_t w, std::int32_t h, std::uint16_t type,
                               std::mt19937& rng, std::uint32_t spread = 0xFFFFFFFFu) {
  Ref<PackedDibImage> image(new PackedDibImage);
  EXPECT_EQ(image->Create(w, h, type), GFX_OK);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image->SetPixel(x, y, std::uint32_t(rng()) % spread);
  return image;
}

std::vector<std::uint32_t> PixelsOf(Image* image) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < image->Height(); ++y)
    for (int x = 0; x < image->Width(); ++x) out.push_back(image->GetPixel(x, y));
  return out;
}

// An opaque box of noise that slides and bounces, reporting before it draws
// as every actor does.
class Slider : public Actor {
 public:
  Slider(const ActorStage& stage, Image* picture, Rect at, int dx, int dy)
      : stage_(stage), picture_(picture), at_(at), dx_(dx), dy_(dy) {}
  std::int32_t Step() override {
    if (at_.x + dx_ < -at_.width / 2 || at_.x + dx_ > kWidth - at_.width / 2) dx_ = -dx_;
    if (at_.y + dy_ < -at_.height / 2 || at_.y + dy_ > kHeight - at_.height / 2) dy_ = -dy_;
    at_.x += dx_;
    at_.y += dy_;
    return 0;
  }
  std::int32_t Draw() override {
    stage_.Report(at_);
    (void)stage_.backSurface->BlitFrom(at_.x, at_.y, at_.width, at_.height, picture_, 0, 0,
                                       at_.width, at_.height, 0, 0);
    return 0;
  }

 private:
  const ActorStage& stage_;
  Image* picture_;
  Rect at_;
  int dx_, dy_;
};

// Two overlays with soft masks, overlapping, between sliders beneath,
// between and above them, on a 32-bit surface. With overlays attached, a tick
// draws them only where something touched them; without, every tick restores
// them and draws them whole, as a tick did before.
struct Scene {
  Scene(bool pieces, std::mt19937& rng)
      : back(NewPicture(kWidth, kHeight, PIXEL_RGB32, rng)),
        background(NewPicture(kWidth, kHeight, PIXEL_RGB32, rng)),
        wreck(NewPicture(90, 60, PIXEL_RGB32, rng)),
        rocks(NewPicture(70, 50, PIXEL_RGB32, rng)),
        wreckMask(NewPicture(90, 60, PIXEL_INDEX8, rng, 256)),
        rocksMask(NewPicture(70, 50, PIXEL_INDEX8, rng, 256)),
        noise(NewPicture(40, 30, PIXEL_RGB32, rng)) {
    stage.backSurface = back.get();
    stage.backgroundWidth = kWidth;
    stage.backgroundHeight = kHeight;
    stage.presentList = &present;
    stage.restoreList = &restore;
    if (pieces) {
      overlays.Attach(back.get());
      stage.overlays = &overlays;
    }
    actors.Place(0, new Slider(stage, noise.get(), {0, 0, 40, 30}, 7, 3));
    actors.Place(1, Still(60, 50, wreck.get(), wreckMask.get()));
    actors.Place(2, new Slider(stage, noise.get(), {200, 100, 25, 20}, -5, -2));
    actors.Place(3, Still(120, 80, rocks.get(), rocksMask.get()));
    actors.Place(4, new Slider(stage, noise.get(), {100, 10, 30, 12}, 3, 5));
    restore.Add({0, 0, kWidth, kHeight});
  }
  Actor* Still(std::int32_t left, std::int32_t top, Image* picture, Image* mask) {
    SpeciesRecord record{};
    record.totalFrames = 1;
    record.left = left;
    record.top = top;
    return new FishActor(record, picture, mask, stage);
  }
  // One tick; what it presents is copied to screen.
  void Tick(Image* screen) {
    const RestoreRect fromBackground = [](void* context, const Rect& r) {
      auto* self = static_cast<Scene*>(context);
      (void)self->back->BlitFrom(r.x, r.y, r.width, r.height, self->background.get(), r.x, r.y,
                                 r.width, r.height, 0, 0);
    };
    if (stage.overlays) {
      RestoreLists(present, restore, overlays, fromBackground, this);
    } else {
      fromBackground(this, {0, 0, kWidth, kHeight});
      restore.Clear();
    }
    actors.StepAll();
    actors.DrawAll();
    while (present.Count() != 0) {
      const Rect r = present.TakeFirst();
      if (screen)
        (void)screen->BlitFrom(r.x, r.y, r.width, r.height, back.get(), r.x, r.y, r.width,
                               r.height, 0, 0);
    }
  }

  Ref<PackedDibImage> back, background, wreck, rocks, wreckMask, rocksMask, noise;
  ActorStage stage;
  DirtyRectList present, restore;
  StillOverlays overlays;
  ActorTable actors;  // last: the actors go before the stage they draw on
};

}  // namespace

TEST(StillOverlays, PiecesGiveThePixelsOfTheWholeFrameAndWhatChangedIsPresented) {
  std::mt19937 rng(21), same(21);
  Scene pieces(true, rng), whole(false, same);
  Ref<PackedDibImage> screen(new PackedDibImage);
  ASSERT_EQ(screen->Create(kWidth, kHeight, PIXEL_RGB32), GFX_OK);
  for (int tick = 0; tick < 120; ++tick) {
    pieces.Tick(screen.get());
    whole.Tick(nullptr);
    const std::vector<std::uint32_t> want = PixelsOf(whole.back.get());
    // Soft edges blended once, actors beneath and above in their order.
    ASSERT_EQ(PixelsOf(pieces.back.get()), want) << "tick " << tick;
    // Only presented rectangles reach the screen, and they are enough.
    ASSERT_EQ(PixelsOf(screen.get()), want) << "tick " << tick;
  }
}

TEST(StillOverlays, AnOverlayIsDrawnOnlyInTheTilesSomethingTouched) {
  TestStage t(640, 480);
  StillOverlays overlays;
  overlays.Attach(&t.back);
  SizedImage picture(200, 100), mask(200, 100);
  const int index =
      overlays.Add({&picture, &mask, BLIT_SRCKEY | BLIT_MASKBLEND, {100, 50, 200, 100}, 0});
  ASSERT_EQ(index, 0);
  std::vector<Rect> restored;
  const RestoreRect record = [](void* context, const Rect& r) {
    static_cast<std::vector<Rect>*>(context)->push_back(r);
  };

  overlays.BeginFrame(record, &restored);
  overlays.Draw(index);
  EXPECT_TRUE(t.back.calls.empty());  // untouched: last frame's pixels stand

  // A touch inside the box: whole tiles restored before anything is drawn.
  overlays.BeginFrame(record, &restored);
  overlays.Touch({130, 70, 10, 10});  // tiles from (100, 50) are 16 square
  ASSERT_EQ(restored.size(), 1u);
  EXPECT_EQ(restored[0].x, 116);  // columns 1 and 2 of the grid
  EXPECT_EQ(restored[0].y, 66);
  EXPECT_EQ(restored[0].width, 32);
  EXPECT_EQ(restored[0].height, 16);
  overlays.Touch({131, 71, 5, 5});  // already touched: nothing again
  EXPECT_EQ(restored.size(), 1u);
  overlays.Draw(index);
  ASSERT_EQ(t.back.calls.size(), 1u);
  const BlitCall& piece = t.back.calls[0];
  EXPECT_EQ(piece.dx, 116);
  EXPECT_EQ(piece.dy, 66);
  EXPECT_EQ(piece.sx, 16);  // the picture's pixels under the piece
  EXPECT_EQ(piece.sy, 16);
  EXPECT_EQ(piece.dw, 32);
  EXPECT_EQ(piece.aux, AuxOf(&mask));

  // Touched after it was drawn: restored, then drawn again into the new tiles.
  t.back.calls.clear();
  overlays.Touch({290, 140, 40, 40});  // the box's last tiles, cut at its edge
  ASSERT_EQ(t.back.calls.size(), 2u);  // a piece a row of tiles
  EXPECT_EQ(t.back.calls[0].dx, 276);
  EXPECT_EQ(t.back.calls[0].dy, 130);
  EXPECT_EQ(t.back.calls[0].dw, 24);
  EXPECT_EQ(t.back.calls[0].dh, 16);
  EXPECT_EQ(t.back.calls[1].dy, 146);
  EXPECT_EQ(t.back.calls[1].dh, 4);
  // Outside every box: nothing.
  restored.clear();
  overlays.Touch({0, 0, 90, 40});
  EXPECT_TRUE(restored.empty());
}

TEST(StillOverlays, RefusesWhatPiecesCannotDrawAndForgetsWhatGoes) {
  TestStage t(640, 480);
  StillOverlays overlays;
  SizedImage picture(50, 50);
  const StillOverlays::Picture plain = {&picture, nullptr, BLIT_SRCKEY, {10, 10, 50, 50}, 0};
  EXPECT_EQ(overlays.Add(plain), -1);  // no surface yet
  overlays.Attach(&t.back);
  StillOverlays::Picture mirrored = plain;
  mirrored.flags |= BLIT_MIRROR;
  EXPECT_EQ(overlays.Add(mirrored), -1);
  StillOverlays::Picture outside = plain;
  outside.box.x = 700;
  EXPECT_EQ(overlays.Add(outside), -1);
  for (int i = 0; i < StillOverlays::kRoom; ++i) EXPECT_EQ(overlays.Add(plain), i);
  EXPECT_EQ(overlays.Add(plain), -1);

  overlays.Remove(1);
  overlays.BeginFrame(nullptr, nullptr);
  overlays.TouchAll();
  overlays.Draw(1);
  EXPECT_TRUE(t.back.calls.empty());
  EXPECT_EQ(overlays.Add(plain), 1);  // its room is free again
  overlays.Attach(&t.back);           // a new surface forgets them all
  overlays.Draw(0);
  EXPECT_TRUE(t.back.calls.empty());
}
