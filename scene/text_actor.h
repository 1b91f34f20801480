#pragma once
// The user's line of text: drawn with the platform's text output into the
// back surface in the user's font and colour on a transparent background,
// drifting two pixels a tick, bouncing once it has left the screen and coming
// back at a new random height. Its place and size are in design units, the
// font and the drawing at the stage's scale. Target only.

#include <cstdint>

#include "port/win32.h"
#include "scene/actor.h"
#include "scene/config.h"
#include "scene/pixel_scale.h"

struct ActorStage;

// A font size (a LOGFONT height or width, of either sign) in the pixels of
// the scale: text drawn into a back surface of more pixels is as large.
LONG ScaledFontSize(LONG size, const PixelScale& scale);
// The font of a stored "FONT" record (a LOGFONTA), its size scaled.
HFONT CreateRecordFont(const std::uint8_t (&record)[kFontRecordSize], const PixelScale& scale);

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
  std::int32_t width_ = 0;   // design units, rounded up
  std::int32_t height_ = 0;
  std::int32_t pixelWidth_ = 0;   // of the drawn text, in back-surface pixels
  std::int32_t pixelHeight_ = 0;
  const ActorStage& stage_;
};
