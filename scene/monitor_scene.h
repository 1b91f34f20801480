#pragma once
// The aquarium of one further monitor when each monitor has its own (edge to
// edge): a back surface of that monitor's shape, its own background, actors
// and dirty lists, run by the same frame tick as the main scene and shown by
// its own view. The main scene keeps the Display's back surface and the
// process-wide state; a MonitorScene holds the same things for its monitor
// alone, and a random sequence of its own, so that it can be composed on
// another thread beside the main scene (FrameWorker). Target only.

#include <cstdint>

#include "scene/actor_stage.h"
#include "scene/actor_table.h"
#include "scene/dirty_rect_list.h"

class DibSurface;
class GraphicsSystem;
class Image;
class ViewPresenter;

class MonitorScene {
 public:
  // A back surface of width x height pixels in type, from system, scale
  // pixels to the design unit; Ready() is false when it could not be made.
  MonitorScene(GraphicsSystem& system, std::int32_t width, std::int32_t height,
               std::uint16_t type, const PixelScale& scale);
  // The actors first, then the back surface. Before the GraphicsSystem goes.
  ~MonitorScene();
  MonitorScene(const MonitorScene&) = delete;
  MonitorScene& operator=(const MonitorScene&) = delete;

  bool Ready() const { return back_ != nullptr; }
  DibSurface* Back() const { return back_; }
  const ActorStage& Stage() const { return stage_; }
  ActorTable& Actors() { return actors_; }

  // Takes the background (freed with the GraphicsSystem) and sizes the
  // actors' ranges by it; the bubble images are loaded for this scene's
  // scale (freed with the GraphicsSystem too).
  void SetBackground(DibSurface* background);
  void SetBubbles(Image* sprite, Image* mask);

  // One frame: last frame's rectangles restored, every actor stepped and
  // drawn. On any thread, one scene on one thread at a time.
  void Compose();
  // What the frame changed, to the views that show this scene; on the
  // thread that presents.
  void Present(ViewPresenter& views);
  // The whole back surface drawn anew by the next frame.
  void RedrawAll();

 private:
  DibSurface* back_ = nullptr;
  DibSurface* background_ = nullptr;
  ActorStage stage_;
  ActorTable actors_;
  DirtyRectList presentList_;
  DirtyRectList restoreList_;
  StillOverlays overlays_;
  std::uint32_t random_ = 0;  // its actors' steps draw from it
};
