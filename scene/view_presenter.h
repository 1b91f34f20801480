#pragma once
// Presents the scene on the monitors, one view a monitor (at most kMaxViews),
// in place of the single copy at the tick's offsets. A centred view copies
// the scene's changed rectangles to its place, clipped to its monitor. A
// scaled view goes through a surface of its own size: the changed rectangles
// are scaled into it (smoothly where the pixels allow, on a second processor
// too: ScaleWorker), then copied to the window. A frame's rectangles are
// gathered on tiles (DirtyTiles) and presented together, as few rectangles
// that do not overlap, when the frame ends. Target only.
//
// Each view shows a source surface of its own choosing and keeps its own
// tiles: every view may show the one back surface (one scene, mirrored), or
// each monitor its own scene's; a changed rectangle goes to the views of its
// source.

#include <cstdint>
#include <vector>

#include "pixel/scale.h"
#include "scene/dirty_tiles.h"
#include "scene/rect.h"
#include "scene/scene_view.h"

class DibSurface;
class GraphicsSystem;
class ScaleWorker;
class WindowSurface;

class ViewPresenter {
 public:
  static constexpr int kMaxViews = 8;

  ViewPresenter() = default;
  ~ViewPresenter() { Drop(); }
  ViewPresenter(const ViewPresenter&) = delete;
  ViewPresenter& operator=(const ViewPresenter&) = delete;

  // View i shows sources[i] on screen; the scaled views' surfaces come from
  // system, in their source's pixel type and palette. False when count is out
  // of range, a source is missing or a scaled view's surface could not be
  // made (the views are then left as they were). The surfaces must outlive
  // the views (Drop).
  bool SetViews(GraphicsSystem& system, WindowSurface& screen, DibSurface* const* sources,
                const SceneView* views, int count);
  int Count() const { return count_; }

  // r of source, to every view that shows it, by the next EndPresent.
  void PresentRect(const DibSurface& source, const Rect& r);
  // Each view's whole source, by the next EndPresent.
  void PresentWhole();
  // The rectangles gathered since the last call, to their views. The caller
  // holds the screen's device context around it (BeginPresent/EndPresent of
  // the scene).
  void EndPresent();

  // No views afterwards: the scaled surfaces and the worker are released.
  void Drop();

 private:
  struct View {
    SceneView place;
    DibSurface* source;         // what it shows
    DibSurface* scaled;         // scaled views only; owned
    ScaleKernel scale;          // scaled views only: the kernel for source's pixels
    DirtyTiles dirty{1, 1};     // source's changes since the last EndPresent
  };
  void PresentCentred(const View& v, const Rect& r);
  void PresentScaled(const View& v, const std::vector<Rect>& rects);

  View views_[kMaxViews] = {};
  int count_ = 0;
  WindowSurface* screen_ = nullptr;
  ScaleWorker* worker_ = nullptr;  // while a view is scaled; owned
};
