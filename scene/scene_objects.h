#pragma once
// What the frame loop needs from the graphics and sound objects of a running
// scene. Scene setup makes the one implementation, over the GraphicsSystem,
// the Display (its back and screen surfaces), the background image and the
// WaveMixer, and hands it to the scene state; the tick and the shutdown call
// it and never see those classes themselves.

#include <cstdint>

#include "scene/rect.h"

class SceneObjects {
 public:
  SceneObjects() = default;
  SceneObjects(const SceneObjects&) = delete;
  SceneObjects& operator=(const SceneObjects&) = delete;
  // Called after the three releases below.
  virtual ~SceneObjects() = default;

  // Plain copy of the background image into r of the back surface.
  virtual void RestoreBackground(const Rect& r) = 0;
  // Copies r of the back surface to (r.x + offsetX, r.y + offsetY) of the
  // screen surface; where the scene has views of its own (one a monitor,
  // perhaps scaled), to each of them, by EndPresent at the latest.
  virtual void PresentRect(const Rect& r, std::int32_t offsetX, std::int32_t offsetY) = 0;
  // Bracket a tick's run of PresentRect calls, so that the screen surface's
  // device context is taken once for all of them rather than once each, and
  // the views' copies can be made together.
  virtual void BeginPresent() = 0;
  virtual void EndPresent() = 0;
  // One scaled copy of the whole back surface onto the whole screen surface.
  virtual void PresentScaled() = 0;
  // The frame of every further monitor's own scene (edge to edge, a scene a
  // monitor): Begin starts them (restored, stepped and drawn, on a second
  // processor where there is one) beside the main scene's frame; End waits
  // for them and gathers their changes for their views by EndPresent.
  // RedrawMonitorScenes has each of them drawn whole by its next frame.
  virtual void BeginMonitorScenes() = 0;
  virtual void EndMonitorScenes() = 0;
  virtual void RedrawMonitorScenes() = 0;

  // The Display's handling of WM_PAINT and WM_QUERYNEWPALETTE.
  virtual void Paint() = 0;
  virtual void RealizePalette() = 0;

  // The sound's schedule, once a tick (nowMs: the multimedia time); the
  // device closed and opened again around a display that is off or a
  // suspended machine.
  virtual void TickSound(std::uint32_t nowMs) = 0;
  virtual void PauseSound() = 0;
  virtual void ResumeSound() = 0;

  // Shutdown, in this order: the mixer (stops the sound), the Display, the
  // GraphicsSystem (which frees every image still registered with it).
  virtual void ReleaseMixer() = 0;
  virtual void ReleaseDisplay() = 0;
  virtual void ReleaseGraphics() = 0;
};
