// Nearest-entry search in a 256-entry palette, for remapping sprites to a new
// palette. Entries whose flags byte is 1 (reserved for animation) are never
// chosen; of two equal entries the lower index wins.
#pragma once

#include "pixel/colour_octree.h"
#include "pixel/pixel_format.h"

#include <cstdint>

class PaletteMatcher {
 public:
  explicit PaletteMatcher(const PaletteEntry* entries);
  // False when no entry can be chosen or the octree could not be built.
  bool ok() const { return ok_; }
  // Index of the entry nearest to c by the octree's nearest-colour rule; only
  // meaningful when ok().
  std::uint8_t Nearest(Rgb8 c) const;

 private:
  ColourOctree tree_;
  bool ok_ = false;
};
