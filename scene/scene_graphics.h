#pragma once
// The objects of a running scene, and the frame loop's way to them
// (SceneObjects): the GraphicsSystem, its Display (screen and back surface),
// the background image and the stage the actors draw on, whose lifetimes this
// class keeps; the views on the monitors (ViewPresenter) and the sound
// (SceneSound), which it holds. Setup makes one over the scene's dirty lists
// and hands it to the scene state; the tick restores and presents through it
// and shutdown releases it in order. Target only.

#include <cstdint>

#include "port/win32.h"
#include "scene/actor_stage.h"
#include "scene/dirty_rect_list.h"
#include "scene/scene_objects.h"
#include "scene/scene_sound.h"
#include "scene/scene_view.h"
#include "scene/view_presenter.h"

class DibSurface;
class Display;
class FrameWorker;
class GraphicsSystem;
class Image;
class MonitorScene;

class SceneGraphics : public SceneObjects {
 public:
  // The actors report to these lists (through the stage), which must outlive
  // the scene.
  SceneGraphics(DirtyRectList& presentList, DirtyRectList& restoreList,
                StillOverlays& overlays);
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
  // Back-surface pixels per design unit (ActorStage), before the actors.
  void SetScale(const PixelScale& scale) { stage_.scale = scale; }
  // The scene's sound (SceneSound::Start, then PlayAmbient).
  void StartMixer(HWND window, HMODULE library, const SoundPlan& plan,
                  SceneSound::LibraryOpener reopen);
  void PlayAmbientSound(std::uint32_t nowMs);

  // A further monitor's own scene, owned from here on (null, or one that is
  // not Ready, is refused: false).
  bool AddMonitorScene(MonitorScene* scene);
  int MonitorSceneCount() const { return monitorSceneCount_; }

  // Where the scene shows, one view a monitor (ViewPresenter), in place of
  // the single copy at the tick's offsets: view 0 shows the back surface, and
  // so does every other view unless monitor scenes were added, one for each
  // of views 1 on. The back surface must exist. False when a scaled view's
  // surface could not be made or the count does not match the monitor scenes
  // (the views are then left as they were).
  bool SetViews(const SceneView* views, int count);

  GraphicsSystem* System() const { return system_; }
  const ActorStage& Stage() const { return stage_; }

  void RestoreBackground(const Rect& r) override;
  void PresentRect(const Rect& r, std::int32_t offsetX, std::int32_t offsetY) override;
  void BeginPresent() override;
  void EndPresent() override;
  void PresentScaled() override;
  void BeginMonitorScenes() override;
  void EndMonitorScenes() override;
  void RedrawMonitorScenes() override;
  void Paint() override;
  void RealizePalette() override;
  void TickSound(std::uint32_t nowMs) override;
  void PauseSound() override;
  void ResumeSound() override;
  void ReleaseMixer() override;
  void ReleaseDisplay() override;
  void ReleaseGraphics() override;

 private:
  GraphicsSystem* system_ = nullptr;
  Display* display_ = nullptr;
  DibSurface* background_ = nullptr;
  ActorStage stage_;
  ViewPresenter views_;
  MonitorScene* monitorScenes_[ViewPresenter::kMaxViews - 1] = {};  // owned
  int monitorSceneCount_ = 0;
  FrameWorker* frameWorker_ = nullptr;  // with the monitor scenes; owned
  SceneSound sound_;
};
