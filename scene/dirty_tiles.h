#pragma once
// The changed area of one frame of a scaled view, gathered on a grid of square
// tiles so that it can be scaled and copied as a few rectangles that do not
// overlap, instead of one per actor: overlapping rectangles would be scaled
// twice, and every copy to the window has a price of its own.

#include <cstdint>
#include <vector>

#include "scene/rect.h"

class DirtyTiles {
 public:
  // The grid over a surface of width x height (both at least 1), tiles of
  // kTile pixels square (the last row and column cut at the edges).
  DirtyTiles(std::int32_t width, std::int32_t height);

  static constexpr std::int32_t kTile = 16;

  // Marks the tiles r touches (clipped to the surface; an empty r marks none).
  void Add(const Rect& r);
  bool Empty() const { return marked_ == 0; }
  // The marked tiles as rectangles in surface pixels, clipped to the surface:
  // each row of tiles split into its runs, a run that continues one of the
  // row above with the same ends growing that rectangle downwards. The
  // rectangles cover every marked tile and nothing else, and do not overlap.
  // Clears the grid.
  std::vector<Rect> Take();

 private:
  std::int32_t width_, height_, columns_, rows_;
  std::vector<std::uint8_t> tiles_;  // row by row, 1 where marked
  std::int32_t marked_ = 0;
};
