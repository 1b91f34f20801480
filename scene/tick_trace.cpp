#include "scene/tick_trace.h"

#include <windows.h>

#include <cstdlib>

#include "gfx/debug_log.h"
#include "pixel/blit.h"
#include "scene/clock_actor.h"
#include "scene/clock_motion.h"
#include "scene/fish_actor.h"
#include "scene/frame_tick.h"
#include "scene/power_events.h"
#include "scene/puffer_actor.h"
#include "scene/scene_state.h"
#include "scene/text_actor.h"

namespace {

// A decimal environment setting; false when unset or not a number.
bool ReadSetting(const char* name, std::uint32_t& value) {
  char text[32];
  DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
  if (n == 0 || n >= sizeof text) return false;
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0') return false;
  value = static_cast<std::uint32_t>(v);
  return true;
}

int Mirrored(std::uint32_t flags) { return (flags & BLIT_MIRROR) ? 1 : 0; }

void TraceFish(const FishActor& f, std::uint32_t tick, int slot) {
  DebugLog("T %u %d fish %d %d %d %d %d %d %d %d %d %d %d %d %d %d\n", tick, slot, f.x(), f.y(),
           f.width(), f.height(), f.frame(), static_cast<int>(f.state()), f.speed(),
           Mirrored(f.blitFlags()), f.range().minX, f.range().maxX, f.bubbleActive() ? 1 : 0,
           f.bubbleCounter(), f.bubbleX(), f.bubbleY());
}

void TracePuffer(const PufferActor& p, std::uint32_t tick, int slot) {
  DebugLog("T %u %d puffer %d %d %d %d %d %d %d %d %d %d\n", tick, slot, p.x(), p.y(), p.width(),
           p.height(), p.frame(), p.turningFrame(), p.speed(), Mirrored(p.blitFlags()),
           p.range().minX, p.range().maxX);
}

void TraceText(const TextActor& t, std::uint32_t tick, int slot) {
  DebugLog("T %u %d text %d %d %d %d %d\n", tick, slot, static_cast<int>(t.rect().left),
           static_cast<int>(t.rect().top), t.width(), t.height(), t.speed());
}

void TraceClock(const ClockActor& c, std::uint32_t tick, int slot) {
  DebugLog("T %u %d clock %d %d %d %d %d\n", tick, slot, c.x(), c.y(), c.width(), c.height(),
           c.minute());
}

}  // namespace

std::uint32_t TraceSeed(std::uint32_t fallback) {
  std::uint32_t seed = fallback;
  ReadSetting("TW_TRACE_SEED", seed);
  DebugLog("trace seed %u\n", seed);
  return seed;
}

std::int32_t TraceTickInterval(std::int32_t fallback) {
  std::uint32_t ms = 0;
  if (!ReadSetting("TW_TRACE_TICK_MS", ms) || ms == 0 || ms > 1000) return fallback;
  return static_cast<std::int32_t>(ms);
}

bool TracePaused(std::uint32_t tick) {
  static bool logged = false;
  std::uint32_t last = 0;
  if (!ReadSetting("TW_TRACE_PAUSE", last) || tick <= last) return false;
  if (!logged) DebugLog("trace paused after tick %u\n", last);
  logged = true;
  return true;
}

void TraceTick(const SceneState& scene, std::uint32_t tick) {
  for (int slot = 0; slot < ActorTable::kSlots; ++slot) {
    const Actor* actor = scene.actors.At(slot);
    if (const auto* fish = dynamic_cast<const FishActor*>(actor))
      TraceFish(*fish, tick, slot);
    else if (const auto* puffer = dynamic_cast<const PufferActor*>(actor))
      TracePuffer(*puffer, tick, slot);
    else if (const auto* text = dynamic_cast<const TextActor*>(actor))
      TraceText(*text, tick, slot);
    else if (const auto* clock = dynamic_cast<const ClockActor*>(actor))
      TraceClock(*clock, tick, slot);
  }
}

std::uint32_t TraceMinuteMs(std::uint32_t fallback) {
  std::uint32_t ms = 0;
  if (!ReadSetting("TW_TRACE_MINUTE_MS", ms) || ms < 1000) return fallback;
  return ms;
}

bool TraceTestMessage(HWND window, UINT message, std::uintptr_t wParam) {
  static const UINT kTestPower = RegisterWindowMessageA("TidewaterTestPower");
  if (message != kTestPower || kTestPower == 0) return false;
  DebugLog("trace power %u\n", static_cast<unsigned>(wParam));
  if (wParam <= 2) {
    DisplayStateSetting setting = MakeDisplayStateSetting(static_cast<std::uint32_t>(wParam));
    SendMessageA(window, WM_POWERBROADCAST, kPbtPowerSettingChange,
                 reinterpret_cast<LPARAM>(&setting));
  } else {
    SendMessageA(window, WM_POWERBROADCAST, wParam == 3 ? kPbtApmSuspend : kPbtApmResumeSuspend, 0);
  }
  return true;
}

bool TraceClockMinutes(std::uint32_t tick, std::int32_t& minutes) {
  char text[16];
  DWORD n = GetEnvironmentVariableA("TW_TRACE_CLOCK_START", text, sizeof text);
  std::int32_t start = 0;
  if (n == 0 || n >= sizeof text || !ParseHourMinute(text, start)) return false;
  // The same minute as the sound's: as many ticks as fill TW_TRACE_MINUTE_MS.
  const std::uint32_t period = static_cast<std::uint32_t>(TraceTickInterval(kTickIntervalMs));
  std::uint32_t perMinute = TraceMinuteMs(kMinuteMs) / period;
  if (perMinute == 0) perMinute = 1;
  minutes = static_cast<std::int32_t>((start + tick / perMinute) % (24 * 60));
  return true;
}
