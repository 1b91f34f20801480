#pragma once
// Where the scene shows on a monitor: at its own size, centred (the default),
// or scaled to fill the monitor with its shape kept and black bars on the
// long sides ("FILLSCREEN" 1). The full-screen window covers every monitor;
// each monitor gets one view of the same scene.

#include <cstdint>

#include "scene/rect.h"

struct SceneView {
  Rect area;     // the scene's rectangle on the window (may reach past the monitor)
  Rect monitor;  // the monitor's rectangle on the window: nothing is drawn outside it
  bool scaled;   // area differs in size from the scene
};

// The scene of width x height centred on the monitor, at its own size; a
// monitor smaller than the scene shows its top-left part.
SceneView CentredView(const Rect& monitor, std::int32_t width, std::int32_t height);

// The scene scaled to the largest size that fits the monitor with its shape
// kept (rounded to whole pixels), centred.
SceneView FilledView(const Rect& monitor, std::int32_t width, std::int32_t height);

// One view a monitor, filled or centred, into views (room for count); the
// number made.
int MakeViews(const Rect* monitors, int count, std::int32_t width, std::int32_t height,
              bool fill, SceneView* views);
