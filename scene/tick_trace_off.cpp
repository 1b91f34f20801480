// The tick trace of the shipped saver (tw_scene): the given seed and period,
// no pause, no lines. tick_trace.cpp is the trace build's.
#include "scene/tick_trace.h"

std::uint32_t TraceSeed(std::uint32_t fallback) { return fallback; }

std::int32_t TraceTickInterval(std::int32_t fallback) { return fallback; }

bool TracePaused(std::uint32_t) { return false; }

void TraceTick(const SceneState&, std::uint32_t) {}

std::uint32_t TraceMinuteMs(std::uint32_t fallback) { return fallback; }

bool TraceTestMessage(HWND, UINT, std::uintptr_t) { return false; }
bool TraceClockMinutes(std::uint32_t, std::int32_t&) { return false; }
