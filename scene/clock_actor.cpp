#include "scene/clock_actor.h"

#include <cstring>

#include "gfx/debug_log.h"
#include "gfx/palette.h"
#include "gfx/random_below.h"
#include "pixel/blit.h"
#include "pixel/pixel_format.h"
#include "scene/actor_stage.h"
#include "scene/text_actor.h"
#include "scene/tick_trace.h"

namespace {

constexpr UINT kClockFormat = DT_CENTER | DT_NOPREFIX;
// The image's background, skipped by the keyed blit: raw pixel 0 (on 8 bits
// see PaletteKey).
constexpr std::uint32_t kClockKey = 0;

// The plain font when there is no custom text: bold 32-pixel Tahoma, at the
// stage's scale.
HFONT DefaultClockFont(const PixelScale& scale) {
  LOGFONTA font{};
  font.lfHeight = ScaledFontSize(-32, scale);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(font.lfFaceName, "Tahoma", LF_FACESIZE - 1);
  return CreateFontIndirectA(&font);
}

// Pure black would be the key: drawn one step lighter.
COLORREF Drawable(COLORREF colour) { return colour == RGB(0, 0, 0) ? RGB(8, 8, 8) : colour; }

// The key of an 8-bit image: the palette entry farthest from the text's
// colour. Raw 0 will not do there: the text is drawn in the entry nearest
// its colour, which for dark text is often entry 0 (black), and the text
// would vanish. Raw 0 when the palette cannot be read.
std::uint32_t PaletteKey(const Palette* palette, COLORREF colour) {
  PaletteEntry entries[256];
  const std::int32_t count = palette ? palette->Count() : 0;
  if (count <= 0 || count > 256 || palette->GetEntries(entries, 0, count) != PALETTE_OK)
    return kClockKey;
  std::uint32_t key = kClockKey;
  std::int32_t farthest = -1;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t r = entries[i].red - GetRValue(colour);
    const std::int32_t g = entries[i].green - GetGValue(colour);
    const std::int32_t b = entries[i].blue - GetBValue(colour);
    if (r * r + g * g + b * b > farthest) {
      farthest = r * r + g * g + b * b;
      key = static_cast<std::uint32_t>(i);
    }
  }
  return key;
}

// The clock's text, "time" or "time\r\nlong date", in the user's locale.
void FormatClock(const SYSTEMTIME& now, std::uint32_t choice, char* text, int size) {
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, text, size);
  if (n <= 0) {
    text[0] = '\0';
    return;
  }
  if (choice != CLOCK_TIME_AND_DATE || n + 2 >= size) return;
  std::strcat(text, "\r\n");
  const int used = n - 1 + 2;
  if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, text + used,
                     size - used) <= 0)
    text[n - 1] = '\0';  // no date: the time alone
}

}  // namespace

ClockActor::ClockActor(const std::uint8_t (*font)[kFontRecordSize], COLORREF colour,
                       std::uint32_t choice, const ActorStage& stage)
    : motion_(0, 0), colour_(Drawable(colour)), choice_(choice), stage_(stage) {
  const std::int32_t w = stage.Width();
  const std::int32_t h = stage.Height();
  motion_ = ClockMotion(RandomMod(w / 2 > 0 ? w / 2 : 1), RandomMod(h / 2 > 0 ? h / 2 : 1));
  font_ = font ? CreateRecordFont(*font, stage.scale) : DefaultClockFont(stage.scale);
}

ClockActor::~ClockActor() {
  if (font_) DeleteObject(font_);
}

void ClockActor::Render(const SYSTEMTIME& now) {
  Image* back = stage_.backSurface;
  if (!back) return;
  char text[160];
  FormatClock(now, choice_, text, sizeof text);
  HDC measure = back->LockDC();
  if (!measure) return;
  HGDIOBJ old = SelectObject(measure, font_);
  RECT box{0, 0, 0, 0};
  DrawTextA(measure, text, -1, &box, DT_CALCRECT | kClockFormat);
  SelectObject(measure, old);
  back->UnlockDC();
  const std::int32_t w = box.right, h = box.bottom;
  if (w <= 0 || h <= 0) return;
  if (w != image_.Width() || h != image_.Height() || image_.Type() != back->Type()) {
    if (image_.Create(w, h, back->Type()) != GFX_OK) {
      DebugLog("Tidewater: no clock image %dx%d\n", w, h);
      width_ = height_ = 0;
      return;
    }
    if (back->Type() == PIXEL_INDEX8 && back->GetPalette()) image_.SetPalette(back->GetPalette());
    width_ = stage_.scale.Units(w);
    height_ = stage_.scale.Units(h);
  }
  const std::uint32_t key =
      back->Type() == PIXEL_INDEX8 ? PaletteKey(back->GetPalette(), colour_) : kClockKey;
  image_.FillRect(0, 0, w, h, key);
  image_.SetSourceKey(key);
  HDC dc = image_.LockDC();
  if (!dc) return;
  SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour_);
  DrawTextA(dc, text, -1, &box, kClockFormat);
  GdiFlush();
  image_.UnlockDC();
}

std::int32_t ClockActor::Step() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::int32_t minutes = now.wHour * 60 + now.wMinute;
  if (TraceClockMinutes(ticks_++, minutes)) {
    now.wHour = static_cast<WORD>(minutes / 60 % 24);
    now.wMinute = static_cast<WORD>(minutes % 60);
  }
  if (minutes != minute_) {
    Render(now);
    minute_ = minutes;
  }
  motion_.Step(stage_.Width(), stage_.Height(), width_, height_);
  return 0;
}

std::int32_t ClockActor::Draw() {
  Image* back = stage_.backSurface;
  if (!back || width_ <= 0 || height_ <= 0) return 0;
  const Rect box = {motion_.x(), motion_.y(), width_, height_};
  const std::int32_t w = image_.Width(), h = image_.Height();
  stage_.Report(box);
  // A clock that could not be drawn shows again on the next tick.
  (void)back->BlitFrom(stage_.scale.Floor(box.x), stage_.scale.Floor(box.y), w, h, &image_, 0, 0,
                       w, h, BLIT_SRCKEY, 0);
  return 0;
}
