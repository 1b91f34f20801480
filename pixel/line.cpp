#include "pixel/line.h"

#include <cstddef>

#include "pixel/blit_pixels.h"

template <int B>
static void Bresenham(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
                      std::int32_t x1, std::int32_t y1, std::uint32_t colour) {
  const std::int64_t dx = std::int64_t(x1) - x0, dy = std::int64_t(y1) - y0;
  const std::ptrdiff_t xStep = dx > 0 ? B : -B;
  const std::ptrdiff_t yStep = dy > 0 ? pitch : -std::ptrdiff_t(pitch);
  const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  std::uint8_t* p = base + std::ptrdiff_t(y0) * pitch + std::ptrdiff_t(x0) * B;
  // Major axis: `count` plots, stepping `along` each time and `across` as well whenever
  // the error passes the major length.
  const bool xMajor = ady < adx;
  const std::int64_t count = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  const std::ptrdiff_t along = xMajor ? xStep : yStep, across = xMajor ? yStep : xStep;
  std::int64_t error = 0;
  for (std::int64_t i = 0; i < count; ++i) {
    StorePixel<B>(p, colour);
    if (i + 1 == count) break;  // no step past the last plotted pixel
    error += minor;
    p += along;
    if (error > count) {
      p += across;
      error -= count;
    }
  }
}

void Line8(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
           std::int32_t x1, std::int32_t y1, std::uint32_t colour) {
  Bresenham<1>(base, pitch, x0, y0, x1, y1, colour);
}
void Line16(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
            std::int32_t x1, std::int32_t y1, std::uint32_t colour) {
  Bresenham<2>(base, pitch, x0, y0, x1, y1, colour);
}
void Line24(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
            std::int32_t x1, std::int32_t y1, std::uint32_t colour) {
  Bresenham<3>(base, pitch, x0, y0, x1, y1, colour);
}
void Line32(std::uint8_t* base, std::int32_t pitch, std::int32_t x0, std::int32_t y0,
            std::int32_t x1, std::int32_t y1, std::uint32_t colour) {
  Bresenham<4>(base, pitch, x0, y0, x1, y1, colour);
}

enum : unsigned { CLIP_LEFT = 1, CLIP_RIGHT = 2, CLIP_ABOVE = 4, CLIP_BELOW = 8 };

static unsigned OutCode(const LineClipRect& r, std::int64_t x, std::int64_t y) {
  unsigned code = 0;
  if (x < r.left) code |= CLIP_LEFT;
  if (x > r.right) code |= CLIP_RIGHT;
  if (y < r.top) code |= CLIP_ABOVE;
  if (y > r.bottom) code |= CLIP_BELOW;
  return code;
}

bool ClipLine(const LineClipRect& rect, LineSegment* s) {
  if (rect.left > rect.right || rect.top > rect.bottom) return false;
  const auto inRange = [](std::int32_t v) {
    return v >= -kLineCoordLimit && v <= kLineCoordLimit;
  };
  if (!inRange(s->x0) || !inRange(s->y0) || !inRange(s->x1) || !inRange(s->y1) ||
      !inRange(rect.left) || !inRange(rect.top) || !inRange(rect.right) ||
      !inRange(rect.bottom)) {
    return false;
  }
  std::int64_t x0 = s->x0, y0 = s->y0, x1 = s->x1, y1 = s->y1;
  unsigned code0 = OutCode(rect, x0, y0), code1 = OutCode(rect, x1, y1);
  // Each move puts a point on a border between the two points, so a few rounds suffice;
  // the bound only guards against a pathological cycle of truncations.
  for (int round = 0; round < 16; ++round) {
    if ((code0 | code1) == 0) {
      *s = {std::int32_t(x0), std::int32_t(y0), std::int32_t(x1), std::int32_t(y1)};
      return true;
    }
    if (code0 & code1) return false;
    const bool first = code0 != 0;
    const unsigned code = first ? code0 : code1;
    // The border lies between the two points (they share no out-code bit), so neither
    // divisor is 0 and the products stay within 2^62.
    std::int64_t x, y;
    if (code & (CLIP_BELOW | CLIP_RIGHT | CLIP_LEFT)) {
      if (code & CLIP_BELOW) {
        y = rect.bottom;
        x = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
      } else {
        x = code & CLIP_RIGHT ? rect.right : rect.left;
        y = y0 + (x - x0) * (y1 - y0) / (x1 - x0);
      }
    } else {
      y = rect.top;
      x = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
    }
    if (first) {
      x0 = x, y0 = y, code0 = OutCode(rect, x, y);
    } else {
      x1 = x, y1 = y, code1 = OutCode(rect, x, y);
    }
  }
  return false;
}
