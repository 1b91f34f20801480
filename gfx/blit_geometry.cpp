#include "gfx/blit_geometry.h"

#include <algorithm>

#include "pixel/blit.h"

namespace {

// One axis: clips [d, d + extent) to [low, high) and maps the visible part back to the
// source by proportion; mirrored axes measure the source offset from the far edge.
bool ClipAxis(std::int64_t d, std::int64_t extent, std::int64_t low, std::int64_t high,
              std::int64_t s, std::int64_t sourceExtent, bool mirrored, std::int32_t* outD,
              std::int32_t* outExtent, std::int32_t* outS, std::int32_t* outSourceExtent) {
  const std::int64_t from = std::max(d, low);
  const std::int64_t to = std::min(d + extent, high);
  if (to <= from) return false;
  const std::int64_t cut = mirrored ? (d + extent) - to : from - d;
  *outD = std::int32_t(from);
  *outExtent = std::int32_t(to - from);
  *outS = std::int32_t(s + cut * sourceExtent / extent);
  *outSourceExtent = std::int32_t(std::max<std::int64_t>(1, (to - from) * sourceExtent / extent));
  return true;
}

}  // namespace

BlitClipResult ClipBlit(const RECT& clip, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                        std::int32_t dh, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                        std::int32_t sh, std::uint32_t flags, BlitGeometry* out) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return BLIT_CLIP_NOTHING;
  BlitGeometry g;
  if (!ClipAxis(dx, dw, clip.left, clip.right, sx, sw, (flags & BLIT_MIRROR) != 0, &g.dx, &g.dw,
                &g.sx, &g.sw) ||
      !ClipAxis(dy, dh, clip.top, clip.bottom, sy, sh, (flags & BLIT_FLIP) != 0, &g.dy, &g.dh,
                &g.sy, &g.sh))
    return BLIT_CLIP_NOTHING;
  *out = g;
  return BLIT_CLIP_VISIBLE;
}

bool RectInside(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t width,
                std::int32_t height) {
  return x >= 0 && y >= 0 && w >= 0 && h >= 0 && std::int64_t(x) + w <= width &&
         std::int64_t(y) + h <= height;
}
