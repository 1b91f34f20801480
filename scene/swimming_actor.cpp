#include "scene/swimming_actor.h"

#include "gfx/image.h"
#include "pixel/blit.h"
#include "scene/actor_stage.h"
#include "scene/creature_table.h"

std::int32_t SwimmingActor::FramesOf(const SpeciesRecord& record) {
  return record.totalFrames > 0 ? record.totalFrames : 1;
}

SwimmingActor::SwimmingActor(Image* sprite, Image* mask, std::int32_t frames,
                             const ActorStage& stage)
    : stage_(stage), sprite_(sprite), mask_(mask) {
  // The strip is made for the stage's scale: a frame's design size is its
  // pixels' read back.
  pixelWidth_ = sprite ? sprite->Width() : 0;
  pixelHeight_ = sprite ? static_cast<std::int32_t>(static_cast<std::uint32_t>(sprite->Height()) /
                                                    static_cast<std::uint32_t>(frames))
                        : 0;
  width_ = stage.scale.Units(pixelWidth_);
  height_ = stage.scale.Units(pixelHeight_);
  blitFlags_ = mask ? (BLIT_SRCKEY | BLIT_MASKBLEND) : BLIT_SRCKEY;
}

void SwimmingActor::DrawFrame() {
  // A frame that cannot be drawn (an empty sprite, logged at setup) leaves the
  // background showing; the tick has nothing better to do with the status.
  if (!stage_.backSurface || !sprite_) return;
  const PixelScale& s = stage_.scale;
  (void)stage_.backSurface->BlitFrom(s.Floor(x_), s.Floor(y_), pixelWidth_, pixelHeight_, sprite_,
                                     0, frame_ * pixelHeight_, pixelWidth_, pixelHeight_,
                                     blitFlags_, AuxOf(mask_));
}

StillOverlays::Picture SwimmingActor::StillPicture() const {
  const PixelScale& s = stage_.scale;
  return {sprite_, mask_, blitFlags_, {s.Floor(x_), s.Floor(y_), pixelWidth_, pixelHeight_},
          frame_ * pixelHeight_};
}
