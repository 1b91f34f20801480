#include "scene/scene_graphics.h"

#include <new>

#include "gfx/dib_surface.h"
#include "gfx/display.h"
#include "gfx/graphics_system.h"
#include "gfx/window_surface.h"
#include "scene/scene_state.h"
#include "scene/species_table.h"
#include "scene/swim_range.h"
#include "sound/wave_format.h"
#include "sound/wave_mixer.h"

SceneGraphics::~SceneGraphics() {
  ReleaseMixer();
  ReleaseDisplay();
  ReleaseGraphics();
}

void SceneGraphics::StartGraphicsSystem(HINSTANCE module, HWND window) {
  system_ = new (std::nothrow) GraphicsSystem;
  if (system_) (void)system_->Init(module, window, 0, 0);
  stage_.presentList = &gScene.presentList;
  stage_.restoreList = &gScene.restoreList;
}

Display* SceneGraphics::OpenDisplay(std::int32_t width, std::int32_t height, std::uint16_t type,
                                    HWND window, std::uint32_t flags) {
  if (!system_) return nullptr;
  display_ = system_->NewDisplay();
  if (!display_) return nullptr;
  (void)display_->Open(width, height, type, window, flags);
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
  (void)back->BlitFrom(r.x, r.y, r.width, r.height, background_, r.x, r.y, r.width, r.height, 0,
                       0);
}

void SceneGraphics::PresentRect(const Rect& r, std::int32_t offsetX, std::int32_t offsetY) {
  if (!display_ || !display_->ScreenSurface() || !display_->BackSurface()) return;
  (void)display_->ScreenSurface()->BlitFrom(r.x + offsetX, r.y + offsetY, r.width, r.height,
                                            display_->BackSurface(), r.x, r.y, r.width, r.height,
                                            0, 0);
}

void SceneGraphics::BeginPresent() {
  if (display_ && display_->ScreenSurface()) (void)display_->ScreenSurface()->LockDC();
}

// The screen surface's locks nest: this one releases what BeginPresent took.
void SceneGraphics::EndPresent() {
  if (display_ && display_->ScreenSurface()) display_->ScreenSurface()->UnlockDC();
}

void SceneGraphics::PresentScaled() {
  if (!display_ || !display_->ScreenSurface() || !display_->BackSurface()) return;
  WindowSurface* screen = display_->ScreenSurface();
  DibSurface* back = display_->BackSurface();
  (void)screen->BlitFrom(0, 0, screen->Width(), screen->Height(), back, 0, 0, back->Width(),
                         back->Height(), 0, 0);
}

void SceneGraphics::Paint() {
  if (display_) display_->Paint();
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
