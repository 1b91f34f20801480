#include "scene/swim_range.h"

#include "gfx/random_below.h"
#include "scene/creature_table.h"

SwimRange RangeForSpecies(const SpeciesRecord& record, std::int32_t frameHeight,
                          std::int32_t backgroundWidth, std::int32_t backgroundHeight) {
  auto percentOf = [](std::int32_t size, std::int32_t percent) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(size) *
                                     static_cast<std::uint32_t>(percent) / 100u);
  };
  SwimRange r;
  r.minX = percentOf(backgroundWidth, record.left);
  r.minY = percentOf(backgroundHeight, record.top);
  r.maxX = percentOf(backgroundWidth, record.right);
  r.maxY = backgroundHeight - frameHeight;
  if (r.minY >= r.maxY) r.minY = r.maxY - 2;
  if (r.minX >= r.maxX) r.minX = r.maxX - 1;
  return r;
}

void PlaceRandomly(const SwimRange& range, std::int32_t& x, std::int32_t& y) {
  x = range.minX + RandomMod(range.maxX - range.minX - 1);
  y = RandomHeight(range);
}

std::int32_t RandomHeight(const SwimRange& range) {
  return range.minY + RandomMod(range.maxY - range.minY);
}
