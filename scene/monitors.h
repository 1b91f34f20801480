#pragma once
// The monitors the full-screen window covers. Target only.

#include "port/win32.h"
#include "scene/rect.h"

// The monitors' rectangles in the coordinates of a window that covers the
// whole virtual screen (its top-left corner at 0, 0), the primary first; at
// most `room` of them. The number found (at least one: the primary screen
// when the platform lists none).
int ListMonitors(Rect* monitors, int room);
