#pragma once
// Where the scene shows on a monitor: at its own size, centred (the default),
// scaled to fit the monitor with its shape kept and black bars on the long
// sides ("FILLSCREEN" 1), or scaled to cover the monitor, edge to edge
// ("FILLSCREEN" 2: a scene of the monitor's own shape covers it exactly; one
// of another shape is cropped equally on both sides). The full-screen window
// covers every monitor; each monitor gets one view of the same scene.

#include <cstdint>

#include "scene/fill_mode.h"
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

// The scene scaled to the smallest size that covers the monitor with its
// shape kept (rounded to whole pixels), centred: the parts past the monitor
// are not shown.
SceneView CoveringView(const Rect& monitor, std::int32_t width, std::int32_t height);

// One view a monitor for fill (a FillMode: centred, filled or covering) into
// views (room for count); the number made.
int MakeViews(const Rect* monitors, int count, std::int32_t width, std::int32_t height,
              FillMode fill, SceneView* views);
