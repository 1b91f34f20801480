#pragma once
// The user's line of text: drawn with the platform's text output into the
// back surface in the user's font and colour on a transparent background,
// drifting two pixels a tick, bouncing once it has left the screen and coming
// back at a new random height. Target only.

#include <cstdint>

#include "port/win32.h"
#include "scene/actor.h"
#include "scene/config.h"

struct ActorStage;

class TextActor : public Actor {
 public:
  // font is the decoded "FONT" record, text the "CUSTOMTEXT" string, colour
  // the "FONTCOLOR" value.
  TextActor(const std::uint8_t (&font)[kFontRecordSize], const char* text, COLORREF colour,
            const ActorStage& stage);
  ~TextActor() override;

  std::int32_t Step() override;
  std::int32_t Draw() override;

  const RECT& rect() const { return rect_; }
  std::int32_t speed() const { return speed_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }

 private:
  RECT rect_{};
  std::int32_t speed_ = 2;
  char text_[kConfigTextSize] = {};
  HFONT font_ = nullptr;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  const ActorStage& stage_;
};
