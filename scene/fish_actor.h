#pragma once
// A swimming sprite: every species but the puffer, and the still overlay
// pictures of a background (speed 0). It swims at its speed plus a small
// random drift, may hover, and at the ends of its range either flips at once
// or plays its turn frames, releasing a bubble burst halfway. A still one
// hands its picture to the stage's overlays, which draw it where needed.

#include <cstdint>

#include "scene/swimming_actor.h"

class Image;
struct ActorStage;
struct SpeciesRecord;

class FishActor : public SwimmingActor {
 public:
  enum State : std::int32_t { kStill = 0, kHovering = 1, kSwimming = 2, kTurning = 3 };

  // Records with an empty sprite name are placed explicitly: x = left,
  // y = top, the range reaching width to the right and extent down.
  FishActor(const SpeciesRecord& record, Image* sprite, Image* mask, const ActorStage& stage);
  ~FishActor() override;

  std::int32_t Step() override;
  std::int32_t Draw() override;

  // Read-only views for tests and diagnostics.
  State state() const { return state_; }
  bool bubbleActive() const { return bubbleActive_; }
  std::int32_t bubbleCounter() const { return bubbleCounter_; }
  std::int32_t bubbleX() const { return bubbleX_; }
  std::int32_t bubbleY() const { return bubbleY_; }

  static constexpr std::int32_t kBubbleWidth = 160;
  static constexpr std::int32_t kBubbleHeight = 120;
  static constexpr std::int32_t kBubbleFrames = 30;

 private:
  void Swim();
  void SwimWithTurn();
  void SwimAndFlip();
  void Turn();
  void DrawBurst(Image& back);
  std::int32_t SignedDrift(std::int32_t spread) const;

  State state_ = kStill;
  bool hasTurn_ = false;
  std::int32_t totalFrames_ = 1;
  std::int32_t swimFrames_ = 1;
  std::int32_t hoverAllowed_ = 0;
  std::int32_t drift_ = 0;
  bool bubbleActive_ = false;
  std::int32_t bubbleCounter_ = 0;
  std::int32_t bubbleTrigger_ = 0;
  std::int32_t bubbleX_ = 0;
  std::int32_t bubbleY_ = 0;
  int overlay_ = -1;  // its index among the stage's overlays when still
};
