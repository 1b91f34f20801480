#pragma once
// What the fish and the puffer share: a sprite strip of frames stacked
// vertically (with its mask, when it has one), the frame size the strip is
// cut into, where the swimmer is, its speed, its frame, how it is drawn and
// the range it swims in.

#include <cstdint>

#include "scene/actor.h"
#include "scene/rect.h"
#include "scene/still_overlays.h"
#include "scene/swim_range.h"

class Image;
struct ActorStage;
struct SpeciesRecord;

class SwimmingActor : public Actor {
 public:
  // Read-only views for tests and diagnostics.
  std::int32_t x() const { return x_; }
  std::int32_t y() const { return y_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  std::int32_t speed() const { return speed_; }
  std::int32_t frame() const { return frame_; }
  std::uint32_t blitFlags() const { return blitFlags_; }
  const SwimRange& range() const { return range_; }

  // The frames of a record's strip: its total, at least 1.
  static std::int32_t FramesOf(const SpeciesRecord& record);

 protected:

  // A strip of frames (1 or more) frames; drawn keyed, and through the mask
  // when there is one.
  SwimmingActor(Image* sprite, Image* mask, std::int32_t frames, const ActorStage& stage);

  // Draws the current frame into the back surface (nothing reported).
  void DrawFrame();
  // The current frame as a still overlay draws it (StillOverlays).
  StillOverlays::Picture StillPicture() const;
  // The rectangle the current frame covers.
  Rect FrameRect() const { return {x_, y_, width_, height_}; }

  std::int32_t x_ = 0;
  std::int32_t y_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t speed_ = 0;
  std::int32_t frame_ = 0;
  std::int32_t pixelWidth_ = 0;   // of a frame of the strip, made for the stage's scale
  std::int32_t pixelHeight_ = 0;
  std::uint32_t blitFlags_ = 0;
  SwimRange range_;
  const ActorStage& stage_;

 private:
  Image* sprite_;
  Image* mask_;
};
