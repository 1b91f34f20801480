#include "scene/clock_motion.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Over many ticks and sizes the box stays in the area, moves at most one
// pixel per axis in kClockTicksPerPixel ticks, and reaches both edges.
TEST(ClockMotion, StaysInsideMovesSlowlyAndReachesBothEdges) {
  for (std::int32_t w : {1, 50, 300, 1023}) {
    ClockMotion m(17 % (1024 - w), 5);
    bool left = false, right = false, top = false, bottom = false;
    std::int32_t px = m.x(), py = m.y();
    for (int tick = 1; tick <= 20000; ++tick) {
      m.Step(1024, 768, w, 40);
      ASSERT_GE(m.x(), 0);
      ASSERT_LE(m.x() + w, 1024);
      ASSERT_GE(m.y(), 0);
      ASSERT_LE(m.y() + 40, 768);
      const bool moves = tick % kClockTicksPerPixel == 0;
      ASSERT_EQ(std::abs(m.x() - px), (moves && w < 1024) ? 1 : 0) << tick;
      ASSERT_EQ(std::abs(m.y() - py), moves ? 1 : 0) << tick;
      px = m.x();
      py = m.y();
      left |= m.x() == 0;
      right |= m.x() + w == 1024;
      top |= m.y() == 0;
      bottom |= m.y() + 40 == 768;
    }
    EXPECT_TRUE(left && right && top && bottom) << w;
  }
}

TEST(ClockMotion, BoxLargerThanTheAreaOrOutsideIt) {
  ClockMotion big(30, 30);
  for (int i = 0; i < kClockTicksPerPixel; ++i) big.Step(100, 100, 200, 200);
  EXPECT_EQ(big.x(), 0);
  EXPECT_EQ(big.y(), 0);
  ClockMotion outside(5000, -7);  // the area shrank under it
  for (int i = 0; i < kClockTicksPerPixel; ++i) outside.Step(100, 100, 10, 10);
  EXPECT_GE(outside.x(), 0);
  EXPECT_LE(outside.x(), 90);
  EXPECT_GE(outside.y(), 0);
  EXPECT_LE(outside.y(), 90);
}

TEST(ParseHourMinute, TheWholeDayAndNothingElse) {
  std::int32_t m = -1;
  EXPECT_TRUE(ParseHourMinute("00:00", m));
  EXPECT_EQ(m, 0);
  EXPECT_TRUE(ParseHourMinute("23:59", m));
  EXPECT_EQ(m, 23 * 60 + 59);
  EXPECT_TRUE(ParseHourMinute("09:05", m));
  EXPECT_EQ(m, 545);
  m = 7;
  for (const char* bad : {"24:00", "12:60", "1:00", "12:0", "12:000", "12-00", "ab:cd", "", " 1:00"})
    EXPECT_FALSE(ParseHourMinute(bad, m)) << bad;
  EXPECT_FALSE(ParseHourMinute(nullptr, m));
  EXPECT_EQ(m, 7);
}

}  // namespace
