#include "scene/monitor_scene.h"

#include "gfx/dib_surface.h"
#include "gfx/graphics_system.h"
#include "gfx/random_below.h"
#include "scene/scene_state.h"
#include "scene/view_presenter.h"

MonitorScene::MonitorScene(GraphicsSystem& system, std::int32_t width, std::int32_t height,
                           std::uint16_t type, const PixelScale& scale) {
  // Seeded from the process-wide sequence, so that a traced run repeats.
  const auto high = static_cast<std::uint32_t>(NextRandom());
  random_ = high << 16 | static_cast<std::uint32_t>(NextRandom());
  stage_.scale = scale;
  stage_.presentList = &presentList_;
  stage_.restoreList = &restoreList_;
  stage_.overlays = &overlays_;
  DibSurface* back = system.NewDibSurface();
  if (!back) return;
  if (back->Create(width, height, type) != GFX_OK) {
    back->Release();
    return;
  }
  back_ = back;
  stage_.backSurface = back_;
  overlays_.Attach(back_);
  RedrawAll();
}

MonitorScene::~MonitorScene() {
  actors_.DestroyAll();
  if (back_) back_->Release();
}

void MonitorScene::SetBackground(DibSurface* background) {
  background_ = background;
  stage_.SizeBy(background);
}

void MonitorScene::SetBubbles(Image* sprite, Image* mask) { stage_.SetBubbles(sprite, mask); }

void MonitorScene::Compose() {
  if (!back_) return;
  RandomScope ownSequence(random_);
  const RestoreRect fromBackground = [](void* context, const Rect& r) {
    auto* self = static_cast<MonitorScene*>(context);
    if (!self->background_) return;
    // An empty background (logged at setup) restores nothing; there is nothing else to do.
    (void)self->back_->BlitFrom(r.x, r.y, r.width, r.height, self->background_, r.x, r.y,
                                r.width, r.height, 0, 0);
  };
  RestoreLists(presentList_, restoreList_, overlays_, fromBackground, this);
  actors_.StepAll();
  actors_.DrawAll();
}

void MonitorScene::Present(ViewPresenter& views) {
  if (!back_) {
    presentList_.Clear();
    return;
  }
  while (presentList_.Count() != 0) views.PresentRect(*back_, presentList_.TakeFirst());
}

void MonitorScene::RedrawAll() {
  if (back_) restoreList_.Add({0, 0, back_->Width(), back_->Height()});
}
