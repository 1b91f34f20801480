// One-pixel lines and the line clipper the image operation runs first.
#pragma once

#include <cstdint>

// Integer Bresenham from (x0, y0) towards (x1, y1); the end point is not plotted and a
// zero-length line plots nothing. The line is x-major when |dy| < |dx|: |dx| pixels, the
// error (starting at 0) grows by |dy| after each plot and the step is diagonal when it
// exceeds |dx| (which it then loses); otherwise y-major the same way with the axes swapped.
// Callers clip with ClipLine: every plotted pixel lies between the two points.
using LineKernel = void (*)(std::uint8_t* base, std::int32_t pitch, std::int32_t x0,
                            std::int32_t y0, std::int32_t x1, std::int32_t y1,
                            std::uint32_t colour);

void Line8(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
           std::int32_t x1, std::int32_t y1, std::uint32_t colour);
void Line16(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
            std::int32_t x1, std::int32_t y1, std::uint32_t colour);
// Memory order colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff, as FillRect24.
void Line24(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
            std::int32_t x1, std::int32_t y1, std::uint32_t colour);
void Line32(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
            std::int32_t x1, std::int32_t y1, std::uint32_t colour);

// Inclusive bounds: the last visible column is right, the last row bottom.
struct LineClipRect {
  std::int32_t left, top, right, bottom;
};

struct LineSegment {
  std::int32_t x0, y0, x1, y1;
};

// Cohen-Sutherland: clips segment to rect in place. Returns false when nothing of it is
// visible (segment then unspecified). A point outside is moved to one border at a time,
// in the order below, right, left, above, the first point before the second, with
// truncating integer interpolation. Coordinates beyond +-kLineCoordLimit are refused
// (false), so that the interpolation cannot overflow.
constexpr std::int32_t kLineCoordLimit = 1 << 30;
bool ClipLine(const LineClipRect& rect, LineSegment* segment);
