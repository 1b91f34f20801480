#pragma once
// The tick trace: a test build of the saver (tidewater_trace, never shipped)
// logs every actor's state after every frame, so that the end-to-end tests
// check the rules of motion per tick instead of guessing them from
// screenshots. The scene is built into two libraries that differ in this
// room alone: tw_scene, the shipped saver's, links tick_trace_off.cpp (the
// given seed and period, no pause, no lines); tw_scene_trace links
// tick_trace.cpp. The trace takes three settings from the environment:
//
//   TW_TRACE_SEED     seed of the scene's generator (decimal; default: the
//                     multimedia time, as the saver does), so a run repeats
//   TW_TRACE_TICK_MS  the frame tick's period (default 80)
//   TW_TRACE_PAUSE    the last tick to run: after it the frame loop stops and
//                     the window keeps showing that frame, for a screenshot
//   TW_TRACE_MINUTE_MS the length of the scene's minute in ms (default 60000,
//                     at least 1000), so that what happens after minutes (the
//                     sound's fade and changes, the clock's next minute) is
//                     seen in seconds
//
// It also answers a test message, "TidewaterTestPower" (registered), that a
// test program posts to the saver window: wParam 0, 1 or 2 is a display
// state, which the trace build sends to its own window as the platform does
// (WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE and a POWERBROADCAST_SETTING in
// this process); 3 is a suspend, 4 a resume. Each is logged as
//   trace power EVENT
//
// Lines (DebugLog), with the numbers in decimal:
//   trace seed S
//   T TICK SLOT fish X Y W H FRAME STATE SPEED MIRROR MINX MAXX BUBBLE COUNTER BX BY
//   T TICK SLOT puffer X Y W H FRAME TURNINGFRAME SPEED MIRROR MINX MAXX
//   T TICK SLOT text LEFT TOP WIDTH HEIGHT SPEED
//   T TICK SLOT clock LEFT TOP WIDTH HEIGHT MINUTE (minutes after midnight)
//   trace paused after tick N
// A fish's COUNTER is the bubble counter after drawing, so the burst frame on
// screen is COUNTER - 1 while BUBBLE is 1.

#include <cstdint>

#include "port/win32.h"

struct SceneState;

// The seed to use: TW_TRACE_SEED when set, else fallback. Logs it.
std::uint32_t TraceSeed(std::uint32_t fallback);
// The frame tick's period in ms.
std::int32_t TraceTickInterval(std::int32_t fallback);
// True when tick number `tick` (1 for the first) is past the pause point;
// logs the pause once.
bool TracePaused(std::uint32_t tick);
// One line per occupied slot, after the frame of tick number `tick`.
void TraceTick(const SceneState& scene, std::uint32_t tick);
// A minute of real time in ms, the default of TraceMinuteMs.
constexpr std::uint32_t kMinuteMs = 60000;
// The length of the scene's minute in ms.
std::uint32_t TraceMinuteMs(std::uint32_t fallback);
// True when the message was the test's power message, now delivered.
bool TraceTestMessage(HWND window, UINT message, std::uintptr_t wParam);
// The clock's time in a trace build: with TW_TRACE_CLOCK_START "HH:MM" the
// clock reads that time at its first tick and one minute more each time the
// ticks have filled the scene's minute (TW_TRACE_MINUTE_MS over the tick
// period: 750 ticks of 80 ms by default); false (the real time) when unset.
// `tick` counts from 0.
bool TraceClockMinutes(std::uint32_t tick, std::int32_t& minutes);
