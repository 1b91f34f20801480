#include "scene/fish_actor.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/random_below.h"
#include "pixel/blit.h"
#include "scene/actor_test_support.h"
#include "scene/creature_table.h"

namespace {

const SpeciesRecord& Species(const char* name) {
  for (int i = 0; i < kSpeciesCount; ++i)
    if (std::string(SpeciesAt(i)->spriteName) == name) return *SpeciesAt(i);
  std::abort();
}

}  // namespace

TEST(FishActor, FlipsInstantlyWithoutTurnFramesAndKeepsItsPace) {
  TestStage t(640, 480);
  const SpeciesRecord& clown = Species("CLOWN");  // N = M = 10, speed -3
  SizedImage sprite(80, 40 * 10), mask(80, 40 * 10);
  for (std::uint32_t seed = 1; seed < 40; ++seed) {
    SeedRandom(seed);
    FishActor fish(clown, &sprite, &mask, t.stage);
    EXPECT_EQ(fish.height(), 40);
    EXPECT_EQ(fish.state(), FishActor::kSwimming);
    bool mirrored = fish.speed() != clown.speed;
    EXPECT_EQ((fish.blitFlags() & BLIT_MIRROR) != 0, mirrored);
    EXPECT_EQ(fish.blitFlags() & ~BLIT_MIRROR, BLIT_SRCKEY | BLIT_MASKBLEND);
    EXPECT_GE(fish.x(), fish.range().minX);
    EXPECT_LE(fish.x(), fish.range().maxX - 2);
    EXPECT_GE(fish.y(), fish.range().minY);
    EXPECT_LT(fish.y(), fish.range().maxY);
    EXPECT_EQ(fish.range().maxY, 480 - 40);

    fish.Step();
    EXPECT_EQ(fish.frame(), 1);
    for (int tick = 0; tick < 2000; ++tick) {
      std::int32_t x = fish.x(), speed = fish.speed();
      std::uint32_t flags = fish.blitFlags();
      bool leaving = OutOfRange(fish.range(), x, fish.width());
      fish.Step();
      ASSERT_NE(fish.state(), FishActor::kTurning);
      if (leaving) {
        EXPECT_EQ(fish.speed(), -speed);
        EXPECT_NE(fish.blitFlags(), flags);
      }
      std::int32_t moved = fish.x() - x;
      std::int32_t pace = fish.speed() < 0 ? -moved : moved;
      EXPECT_TRUE(pace == 3 || pace == 4) << pace;
      EXPECT_EQ(moved < 0, fish.speed() < 0);
      EXPECT_GE(fish.y(), fish.range().minY);
      EXPECT_LT(fish.y(), fish.range().maxY);
    }
  }
}

TEST(FishActor, TurnsInPlaceAndReleasesBubblesHalfway) {
  TestStage t(800, 600);
  const SpeciesRecord& angel = Species("ANGEL");  // N = 30, M = 10, speed -2, hovers
  SizedImage sprite(100, 120 * 30);
  SeedRandom(7);
  FishActor fish(angel, &sprite, nullptr, t.stage);
  EXPECT_EQ(fish.blitFlags() & ~BLIT_MIRROR, BLIT_SRCKEY);
  int turns = 0;
  for (int tick = 0; tick < 20000 && turns < 3; ++tick) {
    std::int32_t x = fish.x(), speed = fish.speed();
    FishActor::State before = fish.state();
    fish.Step();
    fish.Draw();  // as the frame loop does: a finished burst clears in Draw
    t.back.calls.clear();
    t.present.Clear();
    t.restore.Clear();
    if (before == FishActor::kHovering) {
      EXPECT_EQ(fish.x(), x);
      EXPECT_LT(fish.frame(), 10);
    }
    if (before == FishActor::kSwimming && fish.state() == FishActor::kSwimming) {
      std::int32_t pace = speed < 0 ? x - fish.x() : fish.x() - x;
      EXPECT_TRUE(pace >= 2 && pace <= 4) << pace;
    }
    if (fish.state() != FishActor::kTurning || before == FishActor::kTurning) continue;
    // The turn: frames 10..29 in place, the burst at frame 20, then reversed.
    ++turns;
    EXPECT_EQ(fish.frame(), 10);
    EXPECT_EQ(fish.x(), x);
    std::uint32_t flags = fish.blitFlags();
    for (int f = 11; f < 30; ++f) {
      fish.Step();
      fish.Draw();
      ASSERT_EQ(fish.state(), FishActor::kTurning);
      EXPECT_EQ(fish.frame(), f);
      EXPECT_EQ(fish.x(), x);
      EXPECT_EQ(fish.bubbleActive(), f >= 20);
    }
    EXPECT_EQ(fish.bubbleX(), x + (100 - 160) / 2);
    EXPECT_EQ(fish.bubbleY(), fish.y() + 120 - 120);
    fish.Step();
    EXPECT_EQ(fish.state(), FishActor::kSwimming);
    EXPECT_EQ(fish.frame(), 0);
    EXPECT_EQ(fish.speed(), -speed);
    EXPECT_EQ(fish.blitFlags(), flags ^ BLIT_MIRROR);
    EXPECT_NE(fish.x(), x);
  }
  EXPECT_EQ(turns, 3);
}

TEST(FishActor, BurstPlaysThirtyFramesThenClearsOnce) {
  TestStage t(640, 480);
  const SpeciesRecord& generic = Species("GENERIC");  // N = 30, M = 15
  SizedImage sprite(60, 30 * 30);
  SeedRandom(3);
  FishActor fish(generic, &sprite, nullptr, t.stage);
  while (!fish.bubbleActive()) fish.Step();
  std::int32_t bx = fish.bubbleX(), by = fish.bubbleY();
  for (int k = 0; k < 30; ++k) {
    t.back.calls.clear();
    fish.Draw();
    ASSERT_EQ(t.back.calls.size(), 2u);
    const BlitCall& burst = t.back.calls[1];
    EXPECT_EQ(burst.source, &t.bubble);
    EXPECT_EQ(burst.sy, k * 120);
    EXPECT_EQ(burst.flags, BLIT_MASKBLEND);
    EXPECT_EQ(burst.aux, AuxOf(&t.bubbleMask));
    EXPECT_EQ(burst.dx, bx);
    EXPECT_EQ(burst.dy, by);
  }
  t.back.calls.clear();
  fish.Draw();  // the tick that clears the burst draws only the fish
  EXPECT_EQ(t.back.calls.size(), 1u);
  EXPECT_FALSE(fish.bubbleActive());
  // The burst's rectangle was reported before the fish's.
  Rect first = t.present.TakeFirst();
  EXPECT_EQ(first.x, bx);
  EXPECT_EQ(first.width, 160);
}

TEST(FishActor, OverlayStandsStillAndBottomDwellersWalkTheFloor) {
  TestStage t(1024, 768);
  SpeciesRecord overlay{};
  overlay.totalFrames = 1;
  overlay.left = 335;
  overlay.top = 273;
  SizedImage picture(200, 150);
  FishActor still(overlay, &picture, nullptr, t.stage);
  for (int i = 0; i < 50; ++i) still.Step();
  EXPECT_EQ(still.state(), FishActor::kStill);
  EXPECT_EQ(still.x(), 335);
  EXPECT_EQ(still.y(), 273);
  EXPECT_EQ(still.blitFlags(), BLIT_SRCKEY);
  // Handed to the stage's overlays: drawn where something touched it, its
  // tiles a row at a time, and never reported for itself.
  still.Draw();
  EXPECT_TRUE(t.back.calls.empty());
  t.overlays.BeginFrame(nullptr, nullptr);
  t.overlays.TouchAll();
  still.Draw();
  ASSERT_EQ(t.back.calls.size(), 10u);  // 150 rows in tiles of 16
  EXPECT_EQ(t.back.calls[0].dx, 335);
  EXPECT_EQ(t.back.calls[0].dw, 200);
  EXPECT_EQ(t.back.calls[9].dy, 273 + 144);
  EXPECT_EQ(t.back.calls[9].sy, 144);
  EXPECT_EQ(t.present.Count(), 0u);
  EXPECT_EQ(t.restore.Count(), 0u);

  const SpeciesRecord& crab = Species("CRAB");  // top = 100
  SizedImage crabSprite(90, 50 * 19);
  for (std::uint32_t seed = 0; seed < 20; ++seed) {
    SeedRandom(seed);
    FishActor walker(crab, &crabSprite, nullptr, t.stage);
    EXPECT_EQ(walker.range().minY, walker.range().maxY - 2);
    for (int i = 0; i < 500; ++i) {
      walker.Step();
      EXPECT_GE(walker.y(), 768 - 50 - 2);
      EXPECT_LT(walker.y(), 768 - 50);
    }
  }
  // A walker is presented where it is drawn.
  FishActor walker(crab, &crabSprite, nullptr, t.stage);
  walker.Step();
  walker.Draw();
  EXPECT_EQ(t.present.Count(), 1u);
  EXPECT_EQ(t.restore.Count(), 1u);
}

TEST(FishActor, EmptySpriteDoesNotDivideByZero) {
  TestStage t(640, 480);
  SpeciesRecord narrow = Species("AUL");
  narrow.left = narrow.right = 50;
  SizedImage empty(0, 0);
  SeedRandom(11);
  FishActor fish(narrow, &empty, nullptr, t.stage);
  for (int i = 0; i < 100; ++i) fish.Step();
  fish.Draw();
  SUCCEED();
}

TEST(FishActor, AtAnyScaleMovesAsAt1xAndDrawsItsStripAtItsPositionsPixels) {
  const SpeciesRecord& generic = Species("GENERIC");  // N = 30, M = 15
  // Twice the size, and a 1920 x 1080 monitor's own pixels (1080 / 768).
  for (const PixelScale scale : {PixelScale{2, 1}, PixelScale{1080, 768}}) {
    SCOPED_TRACE(scale.num);
    TestStage one(640, 480);
    TestStage big(scale.Floor(640), scale.Floor(480));
    big.stage.scale = scale;
    big.stage.SizeBy(&big.back);
    ASSERT_EQ(big.stage.backgroundWidth, 640);
    // The strips as made for the scale: each frame Floor of the design's.
    const std::int32_t fw = scale.Floor(60), fh = scale.Floor(30);
    SizedImage sprite1(60, 30 * 30), sprite(fw, fh * 30);
    SizedImage bubble(scale.Floor(160), scale.Floor(120) * 30);
    big.stage.SetBubbles(&bubble, nullptr);  // keyed
    SeedRandom(11);
    FishActor a(generic, &sprite1, nullptr, one.stage);
    SeedRandom(11);
    FishActor b(generic, &sprite, nullptr, big.stage);
    ASSERT_EQ(b.width(), 60);
    ASSERT_EQ(b.height(), 30);
    bool burst = false;
    for (int tick = 0; tick < 400; ++tick) {
      SeedRandom(1000 + tick);
      a.Step();
      SeedRandom(1000 + tick);
      b.Step();
      ASSERT_EQ(a.x(), b.x());
      ASSERT_EQ(a.y(), b.y());
      ASSERT_EQ(a.frame(), b.frame());
      big.back.calls.clear();
      const bool bursting = b.bubbleActive();
      b.Draw();
      ASSERT_GE(big.back.calls.size(), 1u);
      const BlitCall& f = big.back.calls[0];
      EXPECT_EQ(f.dx, scale.Floor(b.x()));
      EXPECT_EQ(f.dy, scale.Floor(b.y()));
      EXPECT_EQ(f.dw, fw);
      EXPECT_EQ(f.dh, fh);
      EXPECT_EQ(f.sy, b.frame() * fh);
      if (big.back.calls.size() == 2) {
        const BlitCall& drawn = big.back.calls[1];
        EXPECT_EQ(drawn.dx, scale.Floor(b.bubbleX()));
        EXPECT_EQ(drawn.dw, bubble.Width());
        EXPECT_EQ(drawn.flags, BLIT_SRCKEY);
        burst = true;
      }
      // What is reported covers the frame drawn: the design box in pixels.
      const Rect r = big.present.TakeFirst();
      if (!bursting) {
        EXPECT_EQ(r.x, scale.Floor(b.x()));
        EXPECT_EQ(r.y, scale.Floor(b.y()));
        EXPECT_EQ(r.x + r.width, scale.Ceil(b.x() + 60));
        EXPECT_GE(r.x + r.width, f.dx + f.dw);
        EXPECT_GE(r.y + r.height, f.dy + f.dh);
      }
      big.present.Clear();
      big.restore.Clear();
    }
    EXPECT_TRUE(burst);
  }
}
