// Clipping of a blit request, shared by every DrawOnto: the destination rectangle is cut
// to the clip rectangle once, and the source rectangle of the visible part follows by
// proportion (truncating integer division).
#pragma once

#include <cstdint>

#include "port/win32.h"

struct BlitGeometry {
  std::int32_t dx, dy, dw, dh;  // visible destination rectangle
  std::int32_t sx, sy, sw, sh;  // the source rectangle drawn into it
};

enum BlitClipResult {
  BLIT_CLIP_VISIBLE,  // geometry filled
  BLIT_CLIP_NOTHING,  // outside the clip or empty: nothing to draw, success
};

// Clips request (dx, dy, dw, dh) <- (sx, sy, sw, sh) to clip (left, top, right, bottom).
// With BLIT_MIRROR (BLIT_FLIP) the source columns (rows) of the visible part are measured
// from the far edge, so a mirrored sprite cut off at either edge shows the part that lies
// on screen. A visible part never gets a source extent below 1. The caller still checks
// the source rectangle against the source's size.
BlitClipResult ClipBlit(const RECT& clip, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                        std::int32_t dh, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                        std::int32_t sh, std::uint32_t flags, BlitGeometry* out);

// True when rectangle (x, y, w, h) lies inside width x height.
bool RectInside(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t width,
                std::int32_t height);
