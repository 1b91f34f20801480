#pragma once
// The movement range of a randomly placed swimmer and its starting point,
// shared by the fish and the puffer.

#include <cstdint>

struct SpeciesRecord;

struct SwimRange {
  std::int32_t minX = 0;
  std::int32_t minY = 0;
  std::int32_t maxX = 0;
  std::int32_t maxY = 0;
};

// Horizontal range in percent of the background width, the top in percent of
// its height, the bottom at the background height minus the frame height.
// A degenerate range is widened: min x to one pixel left of max x, min y to
// two pixels above max y.
SwimRange RangeForSpecies(const SpeciesRecord& record, std::int32_t frameHeight,
                          std::int32_t backgroundWidth, std::int32_t backgroundHeight);

// A random start: x in min x .. max x - 2, y in min y .. max y - 1.
void PlaceRandomly(const SwimRange& range, std::int32_t& x, std::int32_t& y);

// A new random height within the range.
std::int32_t RandomHeight(const SwimRange& range);

// True when the swimmer has left its range: its right edge has passed min x
// or its left edge has passed max x.
inline bool OutOfRange(const SwimRange& range, std::int32_t x, std::int32_t width) {
  return x < range.minX - width || x > range.maxX;
}
