#include "scene/text_actor.h"

#include <cstring>

#include "gfx/image.h"
#include "gfx/random_below.h"
#include "scene/actor_stage.h"

namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_BOTTOM;

}  // namespace

TextActor::TextActor(const std::uint8_t (&fontRecord)[kFontRecordSize], const char* text,
                     COLORREF colour, const ActorStage& stage)
    : stage_(stage) {
  Image* back = stage.backSurface;
  std::int32_t w = back ? back->Width() : 0;
  std::int32_t h = back ? back->Height() : 0;
  rect_.left = RandomMod(w);
  rect_.right = 0;
  rect_.top = RandomMod(h - 200);
  rect_.bottom = rect_.top + 200;
  speed_ = (NextRandom() & 1) ? -2 : 2;
  if (text) {
    std::strncpy(text_, text, sizeof text_ - 1);
    text_[sizeof text_ - 1] = '\0';
  }

  static_assert(sizeof(LOGFONTA) == kFontRecordSize, "LOGFONTA is the stored record");
  LOGFONTA font;
  std::memcpy(&font, fontRecord, sizeof font);
  font.lfFaceName[LF_FACESIZE - 1] = '\0';  // a face name is always terminated
  font_ = CreateFontIndirectA(&font);

  HDC dc = back ? back->LockDC() : nullptr;
  if (!dc) return;
  SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextA(dc, text_, static_cast<int>(std::strlen(text_)), &rect_,
            DT_CALCRECT | kTextFormat);
  width_ = rect_.right - rect_.left;
  height_ = rect_.bottom - rect_.top;
  back->UnlockDC();
}

TextActor::~TextActor() {
  if (font_) DeleteObject(font_);
}

std::int32_t TextActor::Step() {
  Image* back = stage_.backSurface;
  std::int32_t w = back ? back->Width() : 0;
  std::int32_t h = back ? back->Height() : 0;
  if (rect_.left < -width_ || rect_.left > w) {
    speed_ = -speed_;
    rect_.top = RandomMod(h - height_);
    rect_.bottom = rect_.top + 200;
  }
  rect_.left += speed_;
  return 0;
}

std::int32_t TextActor::Draw() {
  Image* back = stage_.backSurface;
  rect_.bottom = rect_.top + height_;
  rect_.right = rect_.left + width_;
  HDC dc = back ? back->LockDC() : nullptr;
  if (dc) {
    DrawTextA(dc, text_, static_cast<int>(std::strlen(text_)), &rect_, kTextFormat);
    back->UnlockDC();
  }
  stage_.Report({rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top});
  return 0;
}
