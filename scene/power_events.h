#pragma once
// What a WM_POWERBROADCAST message means to the scene. The console display
// state arrives as PBT_POWERSETTINGCHANGE with a POWERBROADCAST_SETTING: the
// setting's GUID (16 bytes), the data length (32-bit), then the data, here a
// 32-bit state: 0 off, 1 on, 2 dimmed (which counts as on). Suspend and the
// two kinds of resume come as plain events. Anything else, a setting of
// another GUID or one whose data is too short, means nothing. Portable.

#include <cstdint>

enum PowerEvent : int {
  POWER_NONE = 0,
  POWER_DISPLAY_OFF,
  POWER_DISPLAY_ON,
  POWER_SUSPEND,
  POWER_RESUME,
};

// The broadcast events the scene answers (WM_POWERBROADCAST's wParam).
constexpr std::uintptr_t kPbtApmSuspend = 0x0004;
constexpr std::uintptr_t kPbtApmResumeSuspend = 0x0007;
constexpr std::uintptr_t kPbtApmResumeAutomatic = 0x0012;
constexpr std::uintptr_t kPbtPowerSettingChange = 0x8013;

// GUID_CONSOLE_DISPLAY_STATE as it lies in memory.
extern const std::uint8_t kConsoleDisplayStateGuid[16];

// The POWERBROADCAST_SETTING's bytes, as the message's lParam points at them
// (null for the plain events).
PowerEvent DecodePowerBroadcast(std::uintptr_t event, const std::uint8_t* setting);

// A setting record for the display state, as the platform sends it: for the
// test hook that delivers one to the saver.
struct DisplayStateSetting {
  std::uint8_t guid[16];
  std::uint32_t dataLength;
  std::uint32_t state;
};
DisplayStateSetting MakeDisplayStateSetting(std::uint32_t state);
