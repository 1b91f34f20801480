#include "scene/clock_motion.h"

#include <initializer_list>

namespace {

// One axis: moves by d inside [0, limit], turning back at either end.
void Drift(std::int32_t& p, std::int32_t& d, std::int32_t limit) {
  if (limit <= 0) {
    p = 0;
    return;
  }
  if (p < 0) p = 0;
  if (p > limit) p = limit;
  if (p + d < 0 || p + d > limit) d = -d;
  p += d;
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void ClockMotion::Step(std::int32_t areaW, std::int32_t areaH, std::int32_t w, std::int32_t h) {
  if (++ticks_ < kClockTicksPerPixel) return;
  ticks_ = 0;
  Drift(x_, dx_, areaW - w);
  Drift(y_, dy_, areaH - h);
}

bool ParseHourMinute(const char* text, std::int32_t& minutes) {
  if (!text) return false;
  for (int i : {0, 1, 3, 4})
    if (!Digit(text[i])) return false;
  if (text[2] != ':' || text[5] != '\0') return false;
  const std::int32_t hour = (text[0] - '0') * 10 + (text[1] - '0');
  const std::int32_t minute = (text[3] - '0') * 10 + (text[4] - '0');
  if (hour > 23 || minute > 59) return false;
  minutes = hour * 60 + minute;
  return true;
}
