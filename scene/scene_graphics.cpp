#include "scene/scene_graphics.h"

#include <new>

#include "gfx/debug_log.h"
#include "gfx/dib_surface.h"
#include "gfx/display.h"
#include "gfx/graphics_system.h"
#include "gfx/palette.h"
#include "gfx/random_below.h"
#include "gfx/window_surface.h"
#include "pixel/cpu_features.h"
#include "scene/scale_worker.h"
#include "scene/scene_state.h"
#include "scene/species_table.h"
#include "sound/wave_format.h"
#include "sound/wave_mixer.h"

SceneGraphics::~SceneGraphics() {
  ReleaseMixer();
  ReleaseDisplay();
  ReleaseGraphics();
}

void SceneGraphics::StartGraphicsSystem(HINSTANCE module, HWND window) {
  system_ = new (std::nothrow) GraphicsSystem;
  const std::int32_t status = system_ ? system_->Init(module, window, 0, 0) : GFX_BAD_ARGUMENT;
  if (status != GFX_OK) DebugLog("Tidewater: graphics system not started (status %d)\n", status);
  stage_.presentList = &gScene.presentList;
  stage_.restoreList = &gScene.restoreList;
  stage_.quietRestoreList = &gScene.quietRestoreList;
}

Display* SceneGraphics::OpenDisplay(std::int32_t width, std::int32_t height, std::uint16_t type,
                                    HWND window, std::uint32_t flags) {
  if (!system_) return nullptr;
  display_ = system_->NewDisplay();
  if (!display_) return nullptr;
  const std::int32_t status = display_->Open(width, height, type, window, flags);
  if (status != GFX_OK) DebugLog("Tidewater: display not opened (status %d)\n", status);
  stage_.backSurface = display_->BackSurface();
  return display_;
}

void SceneGraphics::SetBackground(DibSurface* background) {
  background_ = background;
  stage_.backgroundWidth = background ? background->Width() : 0;
  stage_.backgroundHeight = background ? background->Height() : 0;
}

void SceneGraphics::SetBubbles(Image* sprite, Image* mask) {
  stage_.bubbleSprite = sprite;
  stage_.bubbleMask = mask;
}

void SceneGraphics::RestoreBackground(const Rect& r) {
  DibSurface* back = display_ ? display_->BackSurface() : nullptr;
  if (!back || !background_) return;
  // An empty background (logged at setup) restores nothing; there is nothing else to do.
  (void)back->BlitFrom(r.x, r.y, r.width, r.height, background_, r.x, r.y, r.width, r.height, 0,
                       0);
}

bool SceneGraphics::SetViews(const SceneView* views, int count) {
  DibSurface* back = display_ ? display_->BackSurface() : nullptr;
  if (!back || !system_ || count < 0 || count > kMaxViews) return false;
  ViewSurface made[kMaxViews] = {};
  bool ok = true;
  for (int i = 0; i < count && ok; ++i) {
    made[i].view = views[i];
    if (!views[i].scaled) continue;
    made[i].scaled = system_->NewDibSurface();
    ok = made[i].scaled &&
         made[i].scaled->Create(views[i].area.width, views[i].area.height, back->Type()) ==
             GFX_OK;
    // A palette the surface refuses leaves its default one: colours may be off, nothing fails.
    if (ok && back->GetPalette()) (void)made[i].scaled->SetPalette(back->GetPalette());
  }
  if (!ok) {
    for (ViewSurface& v : made)
      if (v.scaled) v.scaled->Release();
    return false;
  }
  DropViews();
  for (int i = 0; i < count; ++i) views_[i] = made[i];
  viewCount_ = count;
  dirty_ = DirtyTiles(back->Width(), back->Height());
  for (int i = 0; i < count && !worker_; ++i)
    if (views_[i].scaled) worker_ = new (std::nothrow) ScaleWorker;
  scale_ = SelectScaleKernel({back->Type(), true, CpuHasSse2(), CpuHasSsse3()}).kernel;
  return true;
}

void SceneGraphics::DropViews() {
  for (int i = 0; i < viewCount_; ++i)
    if (views_[i].scaled) views_[i].scaled->Release();
  viewCount_ = 0;
  delete worker_;
  worker_ = nullptr;
}

void SceneGraphics::PresentRect(const Rect& r, std::int32_t offsetX, std::int32_t offsetY) {
  if (!display_ || !display_->ScreenSurface() || !display_->BackSurface()) return;
  if (viewCount_ == 0) {
    // As in the preview: a failed copy shows on the next tick that covers the rectangle.
    (void)display_->ScreenSurface()->BlitFrom(r.x + offsetX, r.y + offsetY, r.width, r.height,
                                              display_->BackSurface(), r.x, r.y, r.width,
                                              r.height, 0, 0);
    return;
  }
  dirty_.Add(r);
}

// The frame's changed rectangles to every view.
void SceneGraphics::PresentViews(const std::vector<Rect>& rects) {
  for (int i = 0; i < viewCount_; ++i) {
    if (views_[i].scaled) {
      PresentScaledView(views_[i], rects);
      continue;
    }
    for (const Rect& r : rects) PresentCentredView(views_[i].view, r);
  }
}

// r of the back surface to its place in an unscaled view, clipped to the view's monitor.
void SceneGraphics::PresentCentredView(const SceneView& v, const Rect& r) {
  const Rect& m = v.monitor;
  std::int32_t left = v.area.x + r.x, top = v.area.y + r.y;
  std::int32_t right = left + r.width, bottom = top + r.height;
  if (left < m.x) left = m.x;
  if (top < m.y) top = m.y;
  if (right > m.x + m.width) right = m.x + m.width;
  if (bottom > m.y + m.height) bottom = m.y + m.height;
  if (right <= left || bottom <= top) return;
  const std::int32_t sx = left - v.area.x, sy = top - v.area.y;
  // A failed copy shows on the next tick that covers the rectangle.
  (void)display_->ScreenSurface()->BlitFrom(left, top, right - left, bottom - top,
                                            display_->BackSurface(), sx, sy, right - left,
                                            bottom - top, 0, 0);
}

// The scaled pixels that the rectangles of the back surface reach, computed into the
// view's surface (by this thread and the worker together), each copied to the window as
// soon as it is ready.
void SceneGraphics::PresentScaledView(const ViewSurface& v, const std::vector<Rect>& rects) {
  DibSurface* back = display_->BackSurface();
  const ScaleGeometry g = {back->Width(), back->Height(), v.view.area.width, v.view.area.height};
  std::vector<ScaleRect> scaled;
  for (const Rect& r : rects) {
    const ScaleRect d = ScaledDirtyRect(g, {r.x, r.y, r.width, r.height});
    if (d.width > 0 && d.height > 0) scaled.push_back(d);
  }
  if (!scale_ || !worker_ || scaled.empty()) return;
  std::uint8_t *from = nullptr, *to = nullptr;
  std::int32_t fromPitch = 0, toPitch = 0;
  if (back->Lock(&from, &fromPitch) != GFX_OK) return;
  if (v.scaled->Lock(&to, &toPitch) == GFX_OK) {
    struct Copy {
      WindowSurface* screen;
      const ViewSurface& view;
    } copy = {display_->ScreenSurface(), v};
    // A failed copy shows on the next tick that covers the rectangle.
    const ScaleWorker::RectDone present = [](void* context, const ScaleRect& d) {
      const Copy& c = *static_cast<const Copy*>(context);
      (void)c.screen->BlitFrom(c.view.view.area.x + d.x, c.view.view.area.y + d.y, d.width,
                               d.height, c.view.scaled, d.x, d.y, d.width, d.height, 0, 0);
    };
    worker_->Scale(scale_, to, toPitch, from, fromPitch, g, scaled.data(),
                   static_cast<int>(scaled.size()), present, &copy);
    (void)v.scaled->Unlock();  // the locks above succeeded: their unlocks cannot fail
  }
  (void)back->Unlock();
}

void SceneGraphics::BeginPresent() {
  if (display_ && display_->ScreenSurface()) (void)display_->ScreenSurface()->LockDC();
}

// The frame's gathered changes go to every view first. The screen surface's locks
// nest: this one releases what BeginPresent took.
void SceneGraphics::EndPresent() {
  if (!display_ || !display_->ScreenSurface()) return;
  if (!dirty_.Empty()) PresentViews(dirty_.Take());
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
  if (viewCount_ == 0) {
    display_->Paint();
    return;
  }
  // The bars are the window's black background; the views are drawn anew.
  PAINTSTRUCT paint;
  if (!BeginPaint(display_->Window(), &paint)) return;
  EndPaint(display_->Window(), &paint);
  DibSurface* back = display_->BackSurface();
  if (!back || !display_->ScreenSurface()) return;
  BeginPresent();
  dirty_.Add({0, 0, back->Width(), back->Height()});
  EndPresent();
}

void SceneGraphics::RealizePalette() {
  if (display_) (void)display_->RealizePalette();
}

void SceneGraphics::StartMixer(HWND window, HMODULE library, bool muted) {
  mixer_ = new (std::nothrow) WaveMixer;
  if (!mixer_ || muted) return;
  WAVEFORMATEX format;
  MakePcmFormat(&format, 22050, 8, 1);
  auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  mixer_->Open(module, window, &format, 0);
  mixer_->Activate(false);
  mixer_->Activate(true);
  const int sound = kFirstSoundId + RandomMod(kSoundCount);
  (void)mixer_->LoadResource(mixer_->AllocSlot(), library, MAKEINTRESOURCEA(sound), 1,
                             WAVEMIX_COPY);
}

void SceneGraphics::PlayAmbientSound() {
  if (mixer_)
    mixer_->Play(0, 0, kKeepPanAndVolume, kKeepPanAndVolume, kKeepPanAndVolume, true);
}

// Its destruction stops the sound.
void SceneGraphics::ReleaseMixer() {
  delete mixer_;
  mixer_ = nullptr;
}

void SceneGraphics::ReleaseDisplay() {
  DropViews();
  delete display_;
  display_ = nullptr;
  stage_.backSurface = nullptr;
}

// The GraphicsSystem frees every image still registered with it: the
// background, the sprites, the bubbles and the overlays.
void SceneGraphics::ReleaseGraphics() {
  delete system_;
  system_ = nullptr;
  background_ = nullptr;
  stage_ = ActorStage{};
}
