#include "scene/puffer_actor.h"

#include <gtest/gtest.h>

#include "gfx/random_below.h"
#include "pixel/blit.h"
#include "scene/actor_test_support.h"
#include "scene/creature_table.h"

TEST(PufferActor, InflatesAndDeflatesWithinItsTurningFrame) {
  TestStage t(640, 480);
  const SpeciesRecord& puffer = *SpeciesAt(9);
  SizedImage sprite(90, 70 * 16), mask(90, 70 * 16);
  int fullCycles = 0;
  for (std::uint32_t seed = 0; seed < 10; ++seed) {
    SeedRandom(seed);
    PufferActor fish(puffer, &sprite, &mask, t.stage);
    EXPECT_EQ(fish.speed(), -2);  // never negated at random
    EXPECT_EQ(fish.blitFlags(), BLIT_SRCKEY | BLIT_MASKBLEND);
    std::int32_t top = 0;
    for (int tick = 0; tick < 3000; ++tick) {
      std::int32_t before = fish.frame();
      std::int32_t x = fish.x(), speed = fish.speed();
      bool leaving = OutOfRange(fish.range(), x, fish.width());
      fish.Step();
      EXPECT_EQ(std::abs(fish.frame() - before), 1);
      EXPECT_GE(fish.frame(), 0);
      EXPECT_LE(fish.frame(), fish.turningFrame());
      top = std::max(top, fish.frame());
      if (fish.frame() == 0) {
        fullCycles += top == 15;
        EXPECT_TRUE(top == 4 || top == 15) << top;
        top = 0;
      }
      EXPECT_EQ(fish.speed(), leaving ? -speed : speed);
      EXPECT_EQ(fish.x(), x + fish.speed());
    }
  }
  EXPECT_GT(fullCycles, 0);
}

TEST(PufferActor, DrawsItsFrameAndReportsIt) {
  TestStage t(800, 600);
  SizedImage sprite(90, 70 * 16);
  SeedRandom(5);
  PufferActor fish(*SpeciesAt(9), &sprite, nullptr, t.stage);
  fish.Step();
  fish.Step();
  fish.Draw();
  ASSERT_EQ(t.back.calls.size(), 1u);
  EXPECT_EQ(t.back.calls[0].sy, 2 * 70);
  EXPECT_EQ(t.back.calls[0].flags, BLIT_SRCKEY);
  EXPECT_EQ(t.present.Count(), 1u);
  EXPECT_EQ(t.restore.Count(), 1u);
}
