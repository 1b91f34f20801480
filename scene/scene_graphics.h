#pragma once
// The graphics and sound objects of a running scene: the GraphicsSystem, its
// Display (screen and back surface), the background image, the stage the
// actors draw on and the WaveMixer. Setup makes one and hands it to the scene
// state; the tick restores and presents through it and shutdown releases it in
// order. Target only.

#include <cstdint>
#include <vector>

#include "port/win32.h"
#include "pixel/scale.h"
#include "scene/actor_stage.h"
#include "scene/dirty_tiles.h"
#include "scene/scene_objects.h"
#include "scene/scene_view.h"

class DibSurface;
class Display;
class GraphicsSystem;
class Image;
class ScaleWorker;
class WaveMixer;

class SceneGraphics : public SceneObjects {
 public:
  SceneGraphics() = default;
  ~SceneGraphics() override;

  // A new GraphicsSystem, initialised for the module and window.
  void StartGraphicsSystem(HINSTANCE module, HWND window);
  // The Display opened at the scene's size and type; null when it could not be made.
  Display* OpenDisplay(std::int32_t width, std::int32_t height, std::uint16_t type, HWND window,
                       std::uint32_t flags);
  // Takes the background image (held until the GraphicsSystem goes) and sizes the
  // actors' ranges by it.
  void SetBackground(DibSurface* background);
  void SetBubbles(Image* sprite, Image* mask);
  // The WaveMixer, made in every full-screen scene. Unless muted it is opened
  // for PCM 22050 Hz, 8 bits, mono, activated, and one of the library's
  // ambient sounds (chosen at random) is copied out of the library into a
  // slot, so that the library can be freed at once.
  void StartMixer(HWND window, HMODULE library, bool muted);
  // Slot 0 from its first frame, looping until shutdown, pan and volume as
  // they are; nothing when the mixer was not opened.
  void PlayAmbientSound();

  // Where the scene shows, one view a monitor (at most kMaxViews), in place of
  // the single copy at the tick's offsets. A scaled view goes through a
  // surface of its own size: the back surface's changed rectangles are scaled
  // into it (smoothly where the pixels allow, on a second processor too:
  // ScaleWorker), then copied to the window. A
  // frame's rectangles are gathered on tiles (DirtyTiles) and presented
  // together, as few rectangles that do not overlap, when the frame ends. The
  // back surface must exist. False when a scaled view's surface could not be
  // made (the views are then left as they were).
  bool SetViews(const SceneView* views, int count);

  static constexpr int kMaxViews = 8;

  GraphicsSystem* System() const { return system_; }
  const ActorStage& Stage() const { return stage_; }

  void RestoreBackground(const Rect& r) override;
  void PresentRect(const Rect& r, std::int32_t offsetX, std::int32_t offsetY) override;
  void BeginPresent() override;
  void EndPresent() override;
  void PresentScaled() override;
  void Paint() override;
  void RealizePalette() override;
  void ReleaseMixer() override;
  void ReleaseDisplay() override;
  void ReleaseGraphics() override;

 private:
  struct ViewSurface {
    SceneView view;
    DibSurface* scaled;  // scaled views only; owned
  };
  void PresentViews(const std::vector<Rect>& rects);
  void PresentCentredView(const SceneView& v, const Rect& r);
  void PresentScaledView(const ViewSurface& v, const std::vector<Rect>& rects);
  void DropViews();

  GraphicsSystem* system_ = nullptr;
  Display* display_ = nullptr;
  DibSurface* background_ = nullptr;
  WaveMixer* mixer_ = nullptr;
  ActorStage stage_;
  ViewSurface views_[kMaxViews] = {};
  int viewCount_ = 0;
  DirtyTiles dirty_{1, 1};  // the frame's changes while there are views
  ScaleKernel scale_ = nullptr;
  ScaleWorker* worker_ = nullptr;  // while a view is scaled; owned
};
