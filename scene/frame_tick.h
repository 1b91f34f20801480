#pragma once
// The frame tick, run on every WM_TIMER of the saver window: empty the
// window's queue, re-arm the next tick 80 ms on through the FrameTimer, then
// restore, step, draw and present (RunFrame).

#include <windows.h>

#include <cstdint>

constexpr std::int32_t kTickIntervalMs = 80;

void FrameTick(HWND window);

// The end of every setup: reserves a FrameTimer stopwatch, puts the whole
// back surface (width x height) in the restore list and posts the first
// WM_TIMER.
void StartFrameLoop(HWND window, std::int32_t width, std::int32_t height);

// One diagnostic line with the tick counters (nothing when no tick ran).
void LogTickCounters();
