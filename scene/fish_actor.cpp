#include "scene/fish_actor.h"

#include "gfx/image.h"
#include "gfx/random_below.h"
#include "pixel/blit.h"
#include "scene/actor_stage.h"
#include "scene/creature_table.h"

FishActor::FishActor(const SpeciesRecord& record, Image* sprite, Image* mask,
                     const ActorStage& stage)
    : SwimmingActor(sprite, mask, FramesOf(record), stage), totalFrames_(FramesOf(record)) {
  swimFrames_ =
      record.swimFrames > 0 && record.swimFrames <= totalFrames_ ? record.swimFrames : totalFrames_;
  speed_ = record.speed;
  if (speed_ != 0 && (NextRandom() & 1)) speed_ = -speed_;
  if (speed_ != record.speed) blitFlags_ |= BLIT_MIRROR;
  state_ = speed_ != 0 ? kSwimming : kStill;

  hasTurn_ = swimFrames_ != totalFrames_;
  hoverAllowed_ = record.hover;
  bubbleTrigger_ = swimFrames_ + (totalFrames_ - swimFrames_) / 2;

  if (record.spriteName[0] == '\0') {
    x_ = range_.minX = record.left;
    range_.maxX = x_ + width_;
    y_ = range_.minY = record.top;
    range_.maxY = y_ + record.extent;
    if (state_ == kStill && stage.overlays) overlay_ = stage.overlays->Add(StillPicture());
    return;
  }
  range_ = RangeForSpecies(record, height_, stage.backgroundWidth, stage.backgroundHeight);
  PlaceRandomly(range_, x_, y_);
}

FishActor::~FishActor() {
  if (overlay_ >= 0) stage_.overlays->Remove(overlay_);
}

std::int32_t FishActor::SignedDrift(std::int32_t spread) const {
  std::int32_t drift = RandomMod(spread);
  return speed_ < 0 ? -drift : drift;
}

std::int32_t FishActor::Step() {
  switch (state_) {
    case kStill:
      break;
    case kHovering:
      frame_ = (frame_ + 1) % (hasTurn_ ? swimFrames_ : totalFrames_);
      if (RandomMod(100) == 0) state_ = kSwimming;
      break;
    case kSwimming:
      Swim();
      break;
    case kTurning:
      Turn();
      break;
  }
  return 0;
}

void FishActor::Swim() {
  if (hasTurn_)
    SwimWithTurn();
  else
    SwimAndFlip();
  if (RandomMod(100) == 0 && state_ != kTurning && hoverAllowed_ > 0) state_ = kHovering;
}

void FishActor::SwimWithTurn() {
  frame_ = (frame_ + 1) % swimFrames_;
  if (OutOfRange(range_, x_, width_)) {
    frame_ = swimFrames_;
    state_ = kTurning;
    return;
  }
  drift_ = SignedDrift(3);
  x_ += speed_ + drift_;
}

void FishActor::SwimAndFlip() {
  frame_ = (frame_ + 1) % totalFrames_;
  if (OutOfRange(range_, x_, width_)) {
    speed_ = -speed_;
    blitFlags_ ^= BLIT_MIRROR;
    y_ = RandomHeight(range_);
  }
  drift_ = SignedDrift(2);
  x_ += speed_ + drift_;
}

void FishActor::Turn() {
  ++frame_;
  if (frame_ == bubbleTrigger_) {
    bubbleActive_ = true;
    bubbleCounter_ = 0;
    bubbleX_ = x_ + (width_ - kBubbleWidth) / 2;
    bubbleY_ = y_ + height_ - kBubbleHeight;
  }
  if (frame_ < totalFrames_) return;
  frame_ = 0;
  state_ = kSwimming;
  speed_ = -speed_;
  drift_ = -drift_;
  blitFlags_ ^= BLIT_MIRROR;
  x_ += speed_ + drift_;
}

// The burst's frame, its images made for the stage's scale: keyed when it
// has no mask.
void FishActor::DrawBurst(Image& back) {
  Image* sprite = stage_.bubbleSprite;
  const std::int32_t w = sprite->Width(), h = sprite->Height() / kBubbleFrames;
  const std::uint32_t flags = stage_.bubbleMask ? BLIT_MASKBLEND : BLIT_SRCKEY;
  (void)back.BlitFrom(stage_.scale.Floor(bubbleX_), stage_.scale.Floor(bubbleY_), w, h, sprite, 0,
                      bubbleCounter_ * h, w, h, flags, AuxOf(stage_.bubbleMask));
}

std::int32_t FishActor::Draw() {
  if (overlay_ >= 0) {
    stage_.overlays->Draw(overlay_);
    return 0;
  }
  // Reported before drawn (ActorStage): the burst's box, then the frame's.
  const bool burst = bubbleActive_;
  if (burst) stage_.Report({bubbleX_, bubbleY_, kBubbleWidth, kBubbleHeight});
  stage_.Report(FrameRect());
  DrawFrame();
  if (!burst) return 0;
  if (bubbleCounter_ > kBubbleFrames - 1) {
    bubbleActive_ = false;
    return 0;
  }
  // Like the frame, a burst that cannot be drawn leaves the background showing.
  Image* back = stage_.backSurface;
  if (back && stage_.bubbleSprite) DrawBurst(*back);
  ++bubbleCounter_;
  return 0;
}
