#pragma once
// Setup's room for the further monitors when each has an aquarium of its own
// (edge to edge, "SAMESCENE" 0): every monitor after the primary gets a
// MonitorScene of its own shape, with its own background (the chosen stock
// scene, the user's picture, or, when the choice is random, a random stock
// scene that no other monitor shows while one is left) and its own actors,
// with their own random starts, at twice the size where the monitor is large
// enough and the library has the art. Target only.

#include <cstdint>

#include "port/win32.h"
#include "scene/rect.h"
#include "scene/scene_view.h"
#include "scene/setup_actors.h"

class SceneGraphics;
struct SceneConfig;

struct MonitorSceneSetup {
  const SceneConfig* config;
  HMODULE library;
  std::uint16_t backType;
  std::int32_t bitsPerPixel;  // the screen's, for each monitor's layout
  bool green6;
  std::int32_t mainStock;     // the primary's stock scene, -1 for the user's picture
  ResampledStrips* resampled;  // strips resampled for the primary, for monitors of its scale
};

// One MonitorScene for each of the count monitors (in window coordinates),
// added to graphics in order, with the view that covers its monitor in
// views[i]. Stops at the first that cannot be made (logged); the number made.
int AddMonitorScenes(SceneGraphics& graphics, const Rect* monitors, int count,
                     const MonitorSceneSetup& setup, SceneView* views);
