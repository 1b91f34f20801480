#pragma once
// The clock overlay: the time (and the long date) in the user's locale,
// drawn once a minute into an image of its own and blitted, keyed, into the
// back surface every tick where ClockMotion has it. Target only.

#include <cstdint>

#include "gfx/dib_surface.h"
#include "port/win32.h"
#include "scene/actor.h"
#include "scene/clock_motion.h"
#include "scene/config.h"

struct ActorStage;

class ClockActor : public Actor {
 public:
  // font is a decoded "FONT" record or null for the plain default; choice is
  // CLOCK_TIME or CLOCK_TIME_AND_DATE.
  ClockActor(const std::uint8_t (*font)[kFontRecordSize], COLORREF colour, std::uint32_t choice,
             const ActorStage& stage);
  ~ClockActor() override;

  std::int32_t Step() override;
  std::int32_t Draw() override;

  std::int32_t x() const { return motion_.x(); }
  std::int32_t y() const { return motion_.y(); }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  // Minutes after midnight of the text in the image; -1 before the first.
  std::int32_t minute() const { return minute_; }

 private:
  void Render(const SYSTEMTIME& now);

  ClockMotion motion_;
  DibSurface image_;
  HFONT font_ = nullptr;
  COLORREF colour_;
  std::uint32_t choice_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t minute_ = -1;
  std::uint32_t ticks_ = 0;
  const ActorStage& stage_;
};
