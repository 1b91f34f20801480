#include "gfx/clip_region.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "gfx/graphics_system.h"

namespace {

// x + extent without overflow: the far edge saturates at the 32-bit range.
LONG FarEdge(std::int32_t origin, std::int32_t extent) {
  const std::int64_t edge = std::int64_t(origin) + extent;
  return LONG(std::clamp<std::int64_t>(edge, INT32_MIN, INT32_MAX));
}

}  // namespace

ClipRegion::ClipRegion() { registryEntry_ = GraphicsSystem::Enter(REGISTRY_CLIPS, this); }

ClipRegion::~ClipRegion() {
#ifdef _WIN32
  if (region_) DeleteObject(region_);
#endif
  GraphicsSystem::Leave(REGISTRY_CLIPS, registryEntry_);
}

std::int32_t ClipRegion::Release() {
  if (--references_ <= 0) {
    delete this;
    return 0;
  }
  return references_;
}

std::int32_t ClipRegion::GetBounds(RECT* bounds) const {
  if (bounds) *bounds = bounds_;
  return empty_ ? 1 : 0;
}

std::int32_t ClipRegion::SetRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                 std::int32_t height) {
  rect_ = RECT{x, y, FarEdge(x, width), FarEdge(y, height)};
  bounds_ = rect_;
#ifdef _WIN32
  if (!region_) {
    region_ = CreateRectRgn(rect_.left, rect_.top, rect_.right, rect_.bottom);
  } else if (HRGN replacement = CreateRectRgn(rect_.left, rect_.top, rect_.right, rect_.bottom)) {
    CombineRgn(region_, replacement, nullptr, RGN_COPY);
    DeleteObject(replacement);
  }
#endif
  empty_ = false;
  return 0;
}

std::uint32_t ClipRegion::GetTag() const { return tag_; }

std::int32_t ClipRegion::SetTag(std::uint32_t tag) {
  tag_ = tag;
  return 0;
}

std::int32_t ClipRegion::CopyFrom(const ClipRegion* other) {
  if (!other || other->empty_) return 2;
  const RECT& b = other->bounds_;
  auto extent = [](LONG from, LONG to) {
    return std::int32_t(std::clamp<std::int64_t>(std::int64_t(to) - from, INT32_MIN, INT32_MAX));
  };
  return SetRect(b.left, b.top, extent(b.left, b.right), extent(b.top, b.bottom));
}

ClipRegion* ClipRegion::Clone() const {
  auto* copy = new (std::nothrow) ClipRegion;
  if (copy && !empty_) copy->CopyFrom(this);
  return copy;
}

std::int32_t ClipRegion::ReservedOp() { return 0; }
