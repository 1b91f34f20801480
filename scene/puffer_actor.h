#pragma once
// The puffer: swims at its species speed without drift, flips at the ends of
// its range, and instead of a swim cycle inflates and deflates: its frame
// climbs to a turning frame (usually 4, now and then 15) and back to 0.

#include <cstdint>

#include "scene/actor.h"
#include "scene/swim_range.h"

class Image;
struct ActorStage;
struct SpeciesRecord;

class PufferActor : public Actor {
 public:
  PufferActor(const SpeciesRecord& record, Image* sprite, Image* mask, const ActorStage& stage);

  std::int32_t Step() override;
  std::int32_t Draw() override;

  std::int32_t x() const { return x_; }
  std::int32_t y() const { return y_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  std::int32_t speed() const { return speed_; }
  std::int32_t frame() const { return frame_; }
  std::int32_t turningFrame() const { return turningFrame_; }
  std::uint32_t blitFlags() const { return blitFlags_; }
  const SwimRange& range() const { return range_; }

  static constexpr std::int32_t kSmallTurn = 4;
  static constexpr std::int32_t kFullTurn = 15;

 private:
  std::int32_t x_ = 0;
  std::int32_t y_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t speed_ = 0;
  std::int32_t frame_ = 0;
  std::int32_t frameCount_ = 1;
  std::uint32_t blitFlags_ = 0;
  SwimRange range_;
  std::int32_t turningFrame_ = 0;
  std::int32_t frameStep_ = -1;
  Image* sprite_;
  Image* mask_;
  const ActorStage& stage_;
};
