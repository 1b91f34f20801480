#include "shell/dismissal_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(DismissalRules, MouseThresholdIsTheSumOfBothDistances) {
  EXPECT_FALSE(MovedPastThreshold(100, 100, 100, 100));
  EXPECT_FALSE(MovedPastThreshold(100, 100, 103, 101));  // 3 + 1
  EXPECT_TRUE(MovedPastThreshold(100, 100, 103, 102));   // 3 + 2
  EXPECT_FALSE(MovedPastThreshold(100, 100, 96, 100));
  EXPECT_TRUE(MovedPastThreshold(100, 100, 95, 100));
  EXPECT_FALSE(MovedPastThreshold(100, 100, 98, 98));
  EXPECT_TRUE(MovedPastThreshold(100, 100, 97, 98));
  for (int dx = -6; dx <= 6; ++dx)
    for (int dy = -6; dy <= 6; ++dy)
      EXPECT_EQ(MovedPastThreshold(10, 20, 10 + dx, 20 + dy), std::abs(dx) + std::abs(dy) > 4)
          << dx << "," << dy;
}

TEST(DismissalRules, ExtremeCoordinatesDoNotOverflow) {
  EXPECT_TRUE(MovedPastThreshold(INT32_MIN, 0, INT32_MAX, 0));
  EXPECT_TRUE(MovedPastThreshold(INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX));
  EXPECT_FALSE(MovedPastThreshold(INT32_MIN, INT32_MAX, INT32_MIN + 2, INT32_MAX - 2));
}

TEST(DismissalRules, RefusalWindow) {
  EXPECT_FALSE(WithinRefusalWindow(kNeverVerified, 0));
  EXPECT_FALSE(WithinRefusalWindow(kNeverVerified, 100));
  EXPECT_TRUE(WithinRefusalWindow(1000, 1000));
  EXPECT_TRUE(WithinRefusalWindow(1000, 1199));
  EXPECT_FALSE(WithinRefusalWindow(1000, 1200));
  EXPECT_FALSE(WithinRefusalWindow(1000, 5000));
  // The tick count wraps after 49.7 days.
  EXPECT_TRUE(WithinRefusalWindow(0xFFFFFFA0u, 0x10u));   // 112 ms later
  EXPECT_TRUE(WithinRefusalWindow(0xFFFFFFA0u, 0x67u));   // 199 ms
  EXPECT_FALSE(WithinRefusalWindow(0xFFFFFFA0u, 0x68u));  // 200 ms
}
