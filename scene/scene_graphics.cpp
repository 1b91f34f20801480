#include "scene/scene_graphics.h"

#include <new>

#include "gfx/debug_log.h"
#include "gfx/dib_surface.h"
#include "gfx/display.h"
#include "gfx/graphics_system.h"
#include "gfx/window_surface.h"
#include "scene/frame_worker.h"
#include "scene/monitor_scene.h"

SceneGraphics::SceneGraphics(DirtyRectList& presentList, DirtyRectList& restoreList,
                             StillOverlays& overlays) {
  stage_.presentList = &presentList;
  stage_.restoreList = &restoreList;
  stage_.overlays = &overlays;
}

SceneGraphics::~SceneGraphics() {
  ReleaseMixer();
  ReleaseDisplay();
  ReleaseGraphics();
}

void SceneGraphics::StartGraphicsSystem(HINSTANCE module, HWND window) {
  system_ = new (std::nothrow) GraphicsSystem;
  const std::int32_t status = system_ ? system_->Init(module, window, 0, 0) : GFX_BAD_ARGUMENT;
  if (status != GFX_OK) DebugLog("Tidewater: graphics system not started (status %d)\n", status);
}

Display* SceneGraphics::OpenDisplay(std::int32_t width, std::int32_t height, std::uint16_t type,
                                    HWND window, std::uint32_t flags) {
  if (!system_) return nullptr;
  display_ = system_->NewDisplay();
  if (!display_) return nullptr;
  const std::int32_t status = display_->Open(width, height, type, window, flags);
  if (status != GFX_OK) DebugLog("Tidewater: display not opened (status %d)\n", status);
  stage_.backSurface = display_->BackSurface();
  stage_.overlays->Attach(stage_.backSurface);
  return display_;
}

void SceneGraphics::SetBackground(DibSurface* background) {
  background_ = background;
  stage_.SizeBy(background);
}

void SceneGraphics::SetBubbles(Image* sprite, Image* mask) { stage_.SetBubbles(sprite, mask); }

void SceneGraphics::StartMixer(HWND window, HMODULE library, const SoundPlan& plan,
                               SceneSound::LibraryOpener reopen) {
  sound_.Start(window, library, plan, reopen);
}

void SceneGraphics::PlayAmbientSound(std::uint32_t nowMs) { sound_.PlayAmbient(nowMs); }
void SceneGraphics::TickSound(std::uint32_t nowMs) { sound_.Tick(nowMs); }
void SceneGraphics::PauseSound() { sound_.Pause(); }
void SceneGraphics::ResumeSound() { sound_.Resume(); }

bool SceneGraphics::AddMonitorScene(MonitorScene* scene) {
  if (!scene || !scene->Ready() || monitorSceneCount_ == ViewPresenter::kMaxViews - 1) {
    delete scene;
    return false;
  }
  monitorScenes_[monitorSceneCount_++] = scene;
  // Without a worker (no memory for it) the scenes are composed one after another.
  if (!frameWorker_) frameWorker_ = new (std::nothrow) FrameWorker;
  return true;
}

bool SceneGraphics::SetViews(const SceneView* views, int count) {
  DibSurface* back = display_ ? display_->BackSurface() : nullptr;
  WindowSurface* screen = display_ ? display_->ScreenSurface() : nullptr;
  if (!back || !screen || !system_ || count < 1 || count > ViewPresenter::kMaxViews) return false;
  if (monitorSceneCount_ != 0 && count != monitorSceneCount_ + 1) return false;
  DibSurface* sources[ViewPresenter::kMaxViews];
  for (int i = 0; i < count; ++i)
    sources[i] = monitorSceneCount_ != 0 && i > 0 ? monitorScenes_[i - 1]->Back() : back;
  return views_.SetViews(*system_, *screen, sources, views, count);
}

void SceneGraphics::BeginMonitorScenes() {
  if (monitorSceneCount_ == 0 || !frameWorker_) return;
  const FrameWorker::Job compose = [](void* context, int i) {
    static_cast<SceneGraphics*>(context)->monitorScenes_[i]->Compose();
  };
  frameWorker_->Post(compose, this, monitorSceneCount_);
}

void SceneGraphics::EndMonitorScenes() {
  if (monitorSceneCount_ == 0) return;
  if (frameWorker_) {
    frameWorker_->Finish();
  } else {
    for (int i = 0; i < monitorSceneCount_; ++i) monitorScenes_[i]->Compose();
  }
  for (int i = 0; i < monitorSceneCount_; ++i) monitorScenes_[i]->Present(views_);
}

void SceneGraphics::RedrawMonitorScenes() {
  for (int i = 0; i < monitorSceneCount_; ++i) monitorScenes_[i]->RedrawAll();
}

void SceneGraphics::RestoreBackground(const Rect& r) {
  DibSurface* back = display_ ? display_->BackSurface() : nullptr;
  if (!back || !background_) return;
  // An empty background (logged at setup) restores nothing; there is nothing else to do.
  (void)back->BlitFrom(r.x, r.y, r.width, r.height, background_, r.x, r.y, r.width, r.height, 0,
                       0);
}

void SceneGraphics::PresentRect(const Rect& r, std::int32_t offsetX, std::int32_t offsetY) {
  if (!display_ || !display_->ScreenSurface() || !display_->BackSurface()) return;
  if (views_.Count() == 0) {
    // As in the preview: a failed copy shows on the next tick that covers the rectangle.
    (void)display_->ScreenSurface()->BlitFrom(r.x + offsetX, r.y + offsetY, r.width, r.height,
                                              display_->BackSurface(), r.x, r.y, r.width,
                                              r.height, 0, 0);
    return;
  }
  views_.PresentRect(*display_->BackSurface(), r);
}

void SceneGraphics::BeginPresent() {
  if (display_ && display_->ScreenSurface()) (void)display_->ScreenSurface()->LockDC();
}

// The frame's gathered changes go to every view first. The screen surface's locks
// nest: this one releases what BeginPresent took.
void SceneGraphics::EndPresent() {
  if (!display_ || !display_->ScreenSurface()) return;
  views_.EndPresent();
  display_->ScreenSurface()->UnlockDC();
}

void SceneGraphics::PresentScaled() {
  if (!display_ || !display_->ScreenSurface() || !display_->BackSurface()) return;
  WindowSurface* screen = display_->ScreenSurface();
  DibSurface* back = display_->BackSurface();
  // A failed stretch leaves the pane as it was until the next tick tries again.
  (void)screen->BlitFrom(0, 0, screen->Width(), screen->Height(), back, 0, 0, back->Width(),
                         back->Height(), 0, 0);
}

void SceneGraphics::Paint() {
  if (!display_) return;
  if (views_.Count() == 0) {
    display_->Paint();
    return;
  }
  // The bars are the window's black background; the views are drawn anew.
  PAINTSTRUCT paint;
  if (!BeginPaint(display_->Window(), &paint)) return;
  EndPaint(display_->Window(), &paint);
  if (!display_->BackSurface() || !display_->ScreenSurface()) return;
  BeginPresent();
  views_.PresentWhole();
  EndPresent();
}

void SceneGraphics::RealizePalette() {
  if (display_) (void)display_->RealizePalette();
}

void SceneGraphics::ReleaseMixer() { sound_.Release(); }

// The views go first: their surfaces take the back surface's palette. Then
// the monitor scenes: their actors and back surfaces.
void SceneGraphics::ReleaseDisplay() {
  views_.Drop();
  delete frameWorker_;  // between frames: no scene is being composed
  frameWorker_ = nullptr;
  for (int i = 0; i < monitorSceneCount_; ++i) {
    delete monitorScenes_[i];
    monitorScenes_[i] = nullptr;
  }
  monitorSceneCount_ = 0;
  delete display_;
  display_ = nullptr;
  stage_.backSurface = nullptr;
  stage_.overlays->Attach(nullptr);
}

// The GraphicsSystem frees every image still registered with it: the
// background, the sprites, the bubbles and the overlays. The stage keeps its
// lists.
void SceneGraphics::ReleaseGraphics() {
  delete system_;
  system_ = nullptr;
  background_ = nullptr;
  stage_.backSurface = nullptr;
  stage_.backgroundWidth = stage_.backgroundHeight = 0;
  stage_.bubbleSprite = stage_.bubbleMask = nullptr;
}
