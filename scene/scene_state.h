#pragma once
// The scene's single process-wide state, the frame loop's part of a tick
// (restore, step, draw, present) and the scene's orderly shutdown. The tick's
// message pump and its re-arming through the FrameTimer are in frame_tick.h.

#include <cstdint>

#include "scene/actor_table.h"
#include "scene/dirty_rect_list.h"
#include "scene/scene_objects.h"
#include "scene/still_overlays.h"

// Counted by the tick at no cost per frame and logged once at shutdown, so
// that the pace and the single pending WM_TIMER can be checked from outside.
struct TickCounters {
  std::uint32_t ticks = 0;      // ticks that ran a frame
  std::uint32_t firstTick = 0;  // ms (timeGetTime) of the first and the last
  std::uint32_t lastTick = 0;
  std::uint32_t depth = 0;      // ticks running now: > 1 when one nests in another
  std::uint32_t deepest = 0;
  std::uint32_t earlyTimers = 0;  // re-arms that found another request still armed
};

struct SceneState {
  // The graphics and sound objects; null until setup has made them. Owned.
  SceneObjects* objects = nullptr;
  ActorTable actors;
  // Where the back surface's origin lies in the window (full screen only).
  std::int32_t offsetX = 0;
  std::int32_t offsetY = 0;
  bool preview = false;
  bool shutDown = false;
  // The back surface's size, for drawing it all anew.
  std::int32_t backWidth = 0;
  std::int32_t backHeight = 0;
  // Power: the display is off (no ticks, no sound), or the machine suspends
  // (no sound); loopStopped once a tick found the display off and ended the loop.
  bool displayOff = false;
  bool suspended = false;
  bool loopStopped = false;
  // The FrameTimer stopwatch reserved at setup; kept, not read.
  std::int32_t stopwatch = 0;
  // Setup runs on the first WM_MOVE of the process only.
  bool moved = false;
  TickCounters counters;

  // Rectangles of the back surface to copy to the window at the end of this
  // tick, and those to restore from the background at the start of the next;
  // the background's still overlays, drawn anew only where something touched
  // them. All live for the whole process.
  DirtyRectList presentList;
  DirtyRectList restoreList;
  StillOverlays overlays;
};

extern SceneState gScene;

// Restore under last frame's rectangles, step and draw every actor (the
// further monitors' scenes composed beside), present what changed (in
// preview, the whole back surface scaled into the pane).
void RunFrame(SceneState& scene);

// The two list walks of a frame: RestoreDirty begins the overlays' frame,
// restores every rectangle of the restore list from the background (the
// overlays' tiles it touches whole) and moves it to the present list;
// PresentDirty copies every rectangle of the present list to the window.
void RestoreDirty(SceneState& scene);
// RestoreDirty's walk over any scene's lists and overlays, restoring through
// restore.
void RestoreLists(DirtyRectList& presentList, DirtyRectList& restoreList,
                  StillOverlays& overlays, RestoreRect restore, void* context);
void PresentDirty(SceneState& scene);

// Once only: sets the shut-down flag, destroys the actors from slot 0 to 24,
// then the mixer, the Display and the GraphicsSystem. The lists are left for
// process exit.
void ShutDownScene(SceneState& scene);
