#include "scene/puffer_actor.h"

#include "gfx/image.h"
#include "gfx/random_below.h"
#include "pixel/blit.h"
#include "scene/actor_stage.h"
#include "scene/creature_table.h"

PufferActor::PufferActor(const SpeciesRecord& record, Image* sprite, Image* mask,
                         const ActorStage& stage)
    : SwimmingActor(sprite, mask, FramesOf(record), stage), frameCount_(FramesOf(record)) {
  speed_ = record.speed;
  range_ = RangeForSpecies(record, height_, stage.backgroundWidth, stage.backgroundHeight);
  PlaceRandomly(range_, x_, y_);
}

std::int32_t PufferActor::Step() {
  if (frame_ == 0) turningFrame_ = RandomMod(15) == 0 ? kFullTurn : kSmallTurn;
  // A strip shorter than the full turn turns at its last frame instead of
  // showing frames it lacks; a single frame does not animate.
  if (turningFrame_ > frameCount_ - 1) turningFrame_ = frameCount_ - 1;
  if (frame_ == 0 || frame_ == turningFrame_) frameStep_ = -frameStep_;
  if (turningFrame_ > 0) frame_ += frameStep_;
  if (OutOfRange(range_, x_, width_)) {
    speed_ = -speed_;
    blitFlags_ ^= BLIT_MIRROR;
    y_ = RandomHeight(range_);
  }
  x_ += speed_;
  return 0;
}

std::int32_t PufferActor::Draw() {
  stage_.Report(FrameRect());
  DrawFrame();
  return 0;
}
