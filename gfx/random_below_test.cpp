#include "gfx/random_below.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace {

// The multiplicative inverse of 214013 modulo 2^32 (Newton's iteration).
std::uint32_t InverseMultiplier() {
  std::uint32_t a = 214013u, x = 1;
  for (int i = 0; i < 6; ++i) x *= 2 - a * x;
  return x;
}

// Seeds so that the next state is `next`.
void SeedForNextState(std::uint32_t next) {
  SeedRandom((next - 2531011u) * InverseMultiplier());
}

TEST(RandomTest, SequenceFromSeedOneIsTheClassicOne) {
  SeedRandom(1);
  const std::int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (std::int32_t value : expected) EXPECT_EQ(NextRandom(), value);
}

TEST(RandomTest, ReseedingRepeatsTheSequence) {
  SeedRandom(0xDEADBEEF);
  std::vector<std::int32_t> first;
  for (int i = 0; i < 100; ++i) first.push_back(NextRandom());
  SeedRandom(0xDEADBEEF);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(NextRandom(), first[i]);
}

// A scope's draws come from its own state; the process-wide sequence goes on
// where it was, on this thread and on another.
TEST(RandomTest, AScopeDrawsFromItsOwnSequence) {
  SeedRandom(1);
  EXPECT_EQ(NextRandom(), 41);
  std::uint32_t own = 1;
  {
    RandomScope scope(own);
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    std::uint32_t inner = 1;
    {
      RandomScope nested(inner);
      EXPECT_EQ(NextRandom(), 41);
    }
    EXPECT_EQ(NextRandom(), 6334);
  }
  EXPECT_EQ(NextRandom(), 18467);
  std::thread other([] {
    std::uint32_t theirs = 1;
    RandomScope scope(theirs);
    for (int i = 0; i < 1000; ++i) NextRandom();
  });
  other.join();
  EXPECT_EQ(NextRandom(), 6334);
}

TEST(RandomBelowTest, LargestDrawStaysBelowN) {
  SeedForNextState(0xFFFF1234u);  // draw 32767
  EXPECT_EQ(RandomBelow(16), 15);
  SeedForNextState(0x7FFF0000u);
  EXPECT_EQ(RandomBelow(1), 0);
  SeedForNextState(0x00000000u);  // draw 0
  EXPECT_EQ(RandomBelow(16), 0);
  for (std::int32_t n : {1, 2, 7, 8, 16, 100, 32768, 1 << 30, INT32_MAX}) {
    EXPECT_LT(ScaleRandomBelow(kRandomMax, n), n) << n;
    EXPECT_GE(ScaleRandomBelow(kRandomMax, n), 0) << n;
  }
}

TEST(RandomBelowTest, NonPositiveRangeGivesZero) {
  EXPECT_EQ(RandomBelow(0), 0);
  EXPECT_EQ(RandomBelow(-5), 0);
}

// Every draw maps to floor(draw * 32769 * n / 2^30) computed exactly, so
// each of n values is hit about equally often.
TEST(RandomBelowTest, ScalingMatchesExactArithmetic) {
  for (std::int32_t n : {3, 8, 16, 25, 1000}) {
    std::vector<int> hits(n, 0);
    for (std::int32_t draw = 0; draw <= kRandomMax; ++draw) {
      std::int64_t exact = (static_cast<std::int64_t>(draw) * 32769 * n) >> 30;
      ASSERT_EQ(ScaleRandomBelow(draw, n), exact) << draw << " " << n;
      ++hits[exact];
    }
    for (int h : hits) EXPECT_NEAR(h, 32768 / n, 2) << n;
  }
}

}  // namespace

TEST(RandomModTest, TakesTheDrawModuloNAndAlwaysDraws) {
  for (std::int32_t n : {1, 2, 7, 100, 32767, 32768, 100000}) {
    SeedRandom(12345);
    const std::int32_t draw = NextRandom();
    SeedRandom(12345);
    EXPECT_EQ(RandomMod(n), draw % n) << n;
  }
  for (std::int32_t n : {0, -1, INT32_MIN}) {
    SeedRandom(7);
    EXPECT_EQ(RandomMod(n), 0) << n;
    const std::int32_t next = NextRandom();
    SeedRandom(7);
    NextRandom();
    EXPECT_EQ(NextRandom(), next) << "one draw is used up for " << n;
  }
}
