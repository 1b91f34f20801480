#pragma once
// The puffer: swims at its species speed without drift, flips at the ends of
// its range, and instead of a swim cycle inflates and deflates: its frame
// climbs to a turning frame (usually 4, now and then 15) and back to 0.

#include <cstdint>

#include "scene/swimming_actor.h"

class Image;
struct ActorStage;
struct SpeciesRecord;

class PufferActor : public SwimmingActor {
 public:
  PufferActor(const SpeciesRecord& record, Image* sprite, Image* mask, const ActorStage& stage);

  std::int32_t Step() override;
  std::int32_t Draw() override;

  std::int32_t turningFrame() const { return turningFrame_; }

  static constexpr std::int32_t kSmallTurn = 4;
  static constexpr std::int32_t kFullTurn = 15;

 private:
  std::int32_t frameCount_ = 1;
  std::int32_t turningFrame_ = 0;
  std::int32_t frameStep_ = -1;
};
