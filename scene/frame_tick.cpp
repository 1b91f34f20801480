#include "scene/frame_tick.h"

#include <mmsystem.h>

#include "gfx/debug_log.h"
#include "scene/scene_state.h"
#include "scene/tick_trace.h"
#include "sound/frame_timer.h"

namespace {

// Dispatches what is already queued for the window; input handled here can
// close the window and shut the scene down. A quit message met on the way is
// put back for the main loop, which must see it to end.
void DispatchQueued(HWND window) {
  MSG msg;
  while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void CountTick(TickCounters& c) {
  DWORD now = timeGetTime();
  if (c.ticks == 0) c.firstTick = now;
  c.lastTick = now;
  ++c.ticks;
  if (gFrameTimer.ArmedCount() != 0) ++c.earlyTimers;
}

}  // namespace

void FrameTick(HWND window) {
  TickCounters& c = gScene.counters;
  if (++c.depth > c.deepest) c.deepest = c.depth;
  DispatchQueued(window);
  // With the display off the loop ends here, until the display comes back.
  if (gScene.displayOff) {
    gScene.loopStopped = true;
  } else if (!gScene.shutDown && !TracePaused(c.ticks + 1)) {
    // Past a trace build's pause point the loop is not re-armed and the last
    // frame stays on the screen.
    CountTick(c);
    gFrameTimer.PostAfter(window, WM_TIMER, 0, 0, TraceTickInterval(kTickIntervalMs));
    RunFrame(gScene);
    if (gScene.objects) gScene.objects->TickSound(timeGetTime());
    TraceTick(gScene, c.ticks);
  }
  --c.depth;
}

void StartFrameLoop(HWND window, std::int32_t width, std::int32_t height) {
  gScene.stopwatch = gFrameTimer.ReserveStopwatch();
  gScene.backWidth = width;
  gScene.backHeight = height;
  gScene.restoreList.Add({0, 0, width, height});
  PostMessageA(window, WM_TIMER, 0, 0);
}

void LogTickCounters() {
  const TickCounters& c = gScene.counters;
  if (c.ticks == 0) return;
  DebugLog("Tidewater: %u frame ticks in %u ms, deepest %u, early timers %u\n", c.ticks,
           c.lastTick - c.firstTick, c.deepest, c.earlyTimers);
}
