// ClipRegion: the rectangle an image's drawing is kept within. It keeps the rectangle
// as last set, the same rectangle as its bounds, and on the target a region handle made
// from it. Reference counted (16-bit count starting at 1) and registered with the
// GraphicsSystem like images.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct ListNode;

class ClipRegion {
 public:
  ClipRegion();
  ClipRegion(const ClipRegion&) = delete;
  ClipRegion& operator=(const ClipRegion&) = delete;

  // 0
  virtual ~ClipRegion();
  // 1: fills bounds (left, top, right, bottom); 1 when the region is empty, else 0.
  virtual std::int32_t GetBounds(RECT* bounds) const;
  // 2: the rectangle given as x, y, width, height.
  virtual std::int32_t SetRect(std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height);
  // 3, 4
  virtual std::uint32_t GetTag() const;
  virtual std::int32_t SetTag(std::uint32_t tag);
  // 5: 2 when other is null or empty, else SetRect from its bounds and 0.
  virtual std::int32_t CopyFrom(const ClipRegion* other);
  // 6: a new region (one reference) with this one's rectangle, or null.
  virtual ClipRegion* Clone() const;
  // 7
  virtual std::int32_t ReservedOp();

  void AddRef() { ++references_; }
  std::int32_t Release();
  bool IsEmpty() const { return empty_; }
  HRGN Handle() const { return region_; }

 private:
  ListNode* registryEntry_ = nullptr;
  RECT rect_ = {0, 0, 0, 0};
  RECT bounds_ = {0, 0, 0, 0};
  HRGN region_ = nullptr;
  std::uint32_t tag_ = 0;
  std::int16_t references_ = 1;
  bool empty_ = true;  // no rectangle set yet
};
