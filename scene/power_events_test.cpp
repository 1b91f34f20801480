#include "scene/power_events.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::uint8_t* Bytes(const DisplayStateSetting& s) {
  return reinterpret_cast<const std::uint8_t*>(&s);
}

TEST(PowerEventsTest, TheDisplayStateOffOnAndDimmed) {
  EXPECT_EQ(sizeof(DisplayStateSetting), 24u);  // GUID, length, one 32-bit state
  EXPECT_EQ(DecodePowerBroadcast(kPbtPowerSettingChange, Bytes(MakeDisplayStateSetting(0))),
            POWER_DISPLAY_OFF);
  EXPECT_EQ(DecodePowerBroadcast(kPbtPowerSettingChange, Bytes(MakeDisplayStateSetting(1))),
            POWER_DISPLAY_ON);
  EXPECT_EQ(DecodePowerBroadcast(kPbtPowerSettingChange, Bytes(MakeDisplayStateSetting(2))),
            POWER_DISPLAY_ON);  // dimmed is still on
}

TEST(PowerEventsTest, SuspendResumeAndEverythingElse) {
  EXPECT_EQ(DecodePowerBroadcast(kPbtApmSuspend, nullptr), POWER_SUSPEND);
  EXPECT_EQ(DecodePowerBroadcast(kPbtApmResumeSuspend, nullptr), POWER_RESUME);
  EXPECT_EQ(DecodePowerBroadcast(kPbtApmResumeAutomatic, nullptr), POWER_RESUME);
  EXPECT_EQ(DecodePowerBroadcast(0x000A, nullptr), POWER_NONE);  // a power status change
  EXPECT_EQ(DecodePowerBroadcast(kPbtPowerSettingChange, nullptr), POWER_NONE);
  DisplayStateSetting other = MakeDisplayStateSetting(0);
  other.guid[15] ^= 1;  // another setting
  EXPECT_EQ(DecodePowerBroadcast(kPbtPowerSettingChange, Bytes(other)), POWER_NONE);
  DisplayStateSetting shortData = MakeDisplayStateSetting(0);
  shortData.dataLength = 2;  // too short to hold a state
  EXPECT_EQ(DecodePowerBroadcast(kPbtPowerSettingChange, Bytes(shortData)), POWER_NONE);
}

}  // namespace
