#include "scene/swimming_actor.h"

#include "gfx/image.h"
#include "pixel/blit.h"
#include "scene/actor_stage.h"
#include "scene/species_table.h"

std::int32_t SwimmingActor::FramesOf(const SpeciesRecord& record) {
  return record.totalFrames > 0 ? record.totalFrames : 1;
}

SwimmingActor::SwimmingActor(Image* sprite, Image* mask, std::int32_t frames,
                             const ActorStage& stage)
    : stage_(stage), sprite_(sprite), mask_(mask) {
  // The strip is drawn at the stage's scale: its frames are scale times the
  // design size.
  const auto scale = static_cast<std::uint32_t>(stage.scale);
  width_ = sprite ? static_cast<std::int32_t>(static_cast<std::uint32_t>(sprite->Width()) / scale)
                  : 0;
  height_ = sprite ? static_cast<std::int32_t>(static_cast<std::uint32_t>(sprite->Height()) /
                                               static_cast<std::uint32_t>(frames) / scale)
                   : 0;
  blitFlags_ = mask ? (BLIT_SRCKEY | BLIT_MASKBLEND) : BLIT_SRCKEY;
}

void SwimmingActor::DrawFrame() {
  // A frame that cannot be drawn (an empty sprite, logged at setup) leaves the
  // background showing; the tick has nothing better to do with the status.
  if (!stage_.backSurface || !sprite_) return;
  const Rect p = stage_.InPixels(FrameRect());
  (void)stage_.backSurface->BlitFrom(p.x, p.y, p.width, p.height, sprite_, 0, frame_ * p.height,
                                     p.width, p.height, blitFlags_, AuxOf(mask_));
}
