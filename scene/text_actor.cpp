#include "scene/text_actor.h"

#include <cstring>

#include "gfx/image.h"
#include "gfx/random_below.h"
#include "scene/actor_stage.h"

namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_BOTTOM;
// The room a line starts with below its top, in design units (the text sits
// at its bottom); also the box its height is measured in.
constexpr std::int32_t kLineRoom = 200;

}  // namespace

LONG ScaledFontSize(LONG size, const PixelScale& scale) {
  return size < 0 ? -scale.Floor(-size) : scale.Floor(size);
}

TextActor::TextActor(const std::uint8_t (&fontRecord)[kFontRecordSize], const char* text,
                     COLORREF colour, const ActorStage& stage)
    : stage_(stage) {
  const std::int32_t w = stage.Width();
  const std::int32_t h = stage.Height();
  rect_.left = RandomMod(w);
  rect_.right = 0;
  rect_.top = RandomMod(h - kLineRoom);
  rect_.bottom = rect_.top + kLineRoom;
  speed_ = (NextRandom() & 1) ? -2 : 2;
  if (text) {
    std::strncpy(text_, text, sizeof text_ - 1);
    text_[sizeof text_ - 1] = '\0';
  }
  font_ = CreateRecordFont(fontRecord, stage.scale);

  Image* back = stage.backSurface;
  HDC dc = back ? back->LockDC() : nullptr;
  if (!dc) return;
  SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  RECT measured{0, 0, 0, stage.scale.Floor(kLineRoom)};
  DrawTextA(dc, text_, static_cast<int>(std::strlen(text_)), &measured,
            DT_CALCRECT | kTextFormat);
  pixelWidth_ = measured.right - measured.left;
  pixelHeight_ = measured.bottom - measured.top;
  width_ = stage.scale.Units(pixelWidth_);
  height_ = stage.scale.Units(pixelHeight_);
  back->UnlockDC();
}

TextActor::~TextActor() {
  if (font_) DeleteObject(font_);
}

std::int32_t TextActor::Step() {
  const std::int32_t w = stage_.Width();
  const std::int32_t h = stage_.Height();
  if (rect_.left < -width_ || rect_.left > w) {
    speed_ = -speed_;
    rect_.top = RandomMod(h - height_);
    rect_.bottom = rect_.top + kLineRoom;
  }
  rect_.left += speed_;
  return 0;
}

std::int32_t TextActor::Draw() {
  Image* back = stage_.backSurface;
  rect_.bottom = rect_.top + height_;
  rect_.right = rect_.left + width_;
  const Rect box = {rect_.left, rect_.top, width_, height_};
  const std::int32_t x = stage_.scale.Floor(box.x), y = stage_.scale.Floor(box.y);
  RECT drawn = {x, y, x + pixelWidth_, y + pixelHeight_};
  stage_.Report(box);
  HDC dc = back ? back->LockDC() : nullptr;
  if (dc) {
    DrawTextA(dc, text_, static_cast<int>(std::strlen(text_)), &drawn, kTextFormat);
    back->UnlockDC();
  }
  return 0;
}

HFONT CreateRecordFont(const std::uint8_t (&record)[kFontRecordSize], const PixelScale& scale) {
  static_assert(sizeof(LOGFONTA) == kFontRecordSize, "LOGFONTA is the stored record");
  LOGFONTA font;
  std::memcpy(&font, record, sizeof font);
  font.lfFaceName[LF_FACESIZE - 1] = '\0';  // a face name is always terminated
  font.lfHeight = ScaledFontSize(font.lfHeight, scale);
  font.lfWidth = ScaledFontSize(font.lfWidth, scale);
  return CreateFontIndirectA(&font);
}
