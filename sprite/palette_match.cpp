#include "sprite/palette_match.h"

PaletteMatcher::PaletteMatcher(const PaletteEntry* entries) {
  if (!entries) return;
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = entries[i];
    if (e.flags == 1) continue;
    // A null result is either a colour already present (the lower index
    // stays) or a failed allocation, which would leave the search incomplete.
    if (!tree_.Insert(e.red, e.green, e.blue, OctreePayload(i)) &&
        !tree_.FindExact(e.red, e.green, e.blue))
      return;
  }
  ok_ = tree_.LeafCount() > 0;
}

std::uint8_t PaletteMatcher::Nearest(Rgb8 c) const {
  const ColourOctree::Node* leaf = tree_.FindNearest(&c.r, &c.g, &c.b);
  return leaf ? std::uint8_t(leaf->payload) : 0;
}
