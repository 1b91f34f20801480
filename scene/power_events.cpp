#include "scene/power_events.h"

#include <cstring>

// {6FE69556-704A-47A0-8F24-C28D936FDA47}: Data1 to Data3 little-endian, then Data4.
const std::uint8_t kConsoleDisplayStateGuid[16] = {0x56, 0x95, 0xE6, 0x6F, 0x4A, 0x70, 0xA0, 0x47,
                                                   0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47};

PowerEvent DecodePowerBroadcast(std::uintptr_t event, const std::uint8_t* setting) {
  switch (event) {
    case kPbtApmSuspend: return POWER_SUSPEND;
    case kPbtApmResumeSuspend:
    case kPbtApmResumeAutomatic: return POWER_RESUME;
    case kPbtPowerSettingChange: break;
    default: return POWER_NONE;
  }
  if (!setting || std::memcmp(setting, kConsoleDisplayStateGuid, 16) != 0) return POWER_NONE;
  std::uint32_t length = 0, state = 0;
  std::memcpy(&length, setting + 16, 4);
  if (length < 4) return POWER_NONE;
  std::memcpy(&state, setting + 20, 4);
  return state == 0 ? POWER_DISPLAY_OFF : POWER_DISPLAY_ON;
}

DisplayStateSetting MakeDisplayStateSetting(std::uint32_t state) {
  DisplayStateSetting s;
  std::memcpy(s.guid, kConsoleDisplayStateGuid, 16);
  s.dataLength = 4;
  s.state = state;
  return s;
}
