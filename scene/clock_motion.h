#pragma once
// Where the clock overlay lies and how it drifts: one pixel across and one
// down every kClockTicksPerPixel ticks, turning back at each edge of the
// area, so that no pixel of the screen stays lit for long. Portable.

#include <cstdint>

constexpr std::int32_t kClockTicksPerPixel = 4;

class ClockMotion {
 public:
  // Starts at (x, y), moving right and down.
  ClockMotion(std::int32_t x, std::int32_t y) : x_(x), y_(y) {}

  // One tick inside an area of areaW x areaH for a box of w x h. A box
  // larger than the area stays at the area's top left.
  void Step(std::int32_t areaW, std::int32_t areaH, std::int32_t w, std::int32_t h);

  std::int32_t x() const { return x_; }
  std::int32_t y() const { return y_; }

 private:
  std::int32_t x_;
  std::int32_t y_;
  std::int32_t dx_ = 1;
  std::int32_t dy_ = 1;
  std::int32_t ticks_ = 0;
};

// Reads "HH:MM" (00:00..23:59) as minutes after midnight; false for
// anything else.
bool ParseHourMinute(const char* text, std::int32_t& minutes);
