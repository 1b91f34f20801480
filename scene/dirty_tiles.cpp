#include "scene/dirty_tiles.h"

#include <algorithm>

DirtyTiles::DirtyTiles(std::int32_t width, std::int32_t height)
    : width_(width), height_(height), columns_((width + kTile - 1) / kTile),
      rows_((height + kTile - 1) / kTile), tiles_(std::size_t(columns_) * rows_, 0) {}

void DirtyTiles::Add(const Rect& r) {
  const std::int32_t left = std::max(r.x, 0), top = std::max(r.y, 0);
  const std::int32_t right = std::min(r.x + r.width, width_);
  const std::int32_t bottom = std::min(r.y + r.height, height_);
  if (right <= left || bottom <= top) return;
  for (std::int32_t ty = top / kTile; ty <= (bottom - 1) / kTile; ++ty) {
    std::uint8_t* row = &tiles_[std::size_t(ty) * columns_];
    for (std::int32_t tx = left / kTile; tx <= (right - 1) / kTile; ++tx) {
      marked_ += row[tx] == 0;
      row[tx] = 1;
    }
  }
}

std::vector<Rect> DirtyTiles::Take() {
  std::vector<Rect> done;
  if (marked_ == 0) return done;
  // Rectangles still growing: their tile columns [first, end) and pixel rectangle.
  struct Open {
    std::int32_t first, end;
    Rect rect;
  };
  std::vector<Open> open, next;
  for (std::int32_t ty = 0; ty < rows_; ++ty) {
    const std::uint8_t* row = &tiles_[std::size_t(ty) * columns_];
    const std::int32_t y = ty * kTile, h = std::min(kTile, height_ - y);
    next.clear();
    for (std::int32_t tx = 0; tx < columns_;) {
      if (!row[tx]) {
        ++tx;
        continue;
      }
      const std::int32_t first = tx;
      while (tx < columns_ && row[tx]) ++tx;
      auto same = std::find_if(open.begin(), open.end(), [&](const Open& o) {
        return o.first == first && o.end == tx;
      });
      if (same != open.end()) {
        same->rect.height += h;
        next.push_back(*same);
        open.erase(same);
        continue;
      }
      const std::int32_t x = first * kTile;
      next.push_back({first, tx, {x, y, std::min(tx * kTile, width_) - x, h}});
    }
    for (const Open& o : open) done.push_back(o.rect);
    open.swap(next);
  }
  for (const Open& o : open) done.push_back(o.rect);
  std::fill(tiles_.begin(), tiles_.end(), 0);
  marked_ = 0;
  return done;
}
