// The 32768-entry inverse colour map and the palette octree it is built from.
#pragma once

#include <cstdint>

#include "pixel/colour_octree.h"
#include "pixel/pixel_format.h"

// Entry (R5 << 10) | (G5 << 5) | B5 (see InverseMapIndex) holds the palette index nearest
// to the colour (R5 x 8, G5 x 8, B5 x 8).
struct InverseColourMap {
  std::uint8_t index[32768];
};

// Inserts entries[i] with payload i in index order, so that of two equal entries the lower
// index is found. Returns false when a node could not be allocated (the tree then holds
// the entries inserted so far).
bool BuildPaletteOctree(const PaletteEntry* entries, std::uint32_t count,
                        ColourOctree* tree);

// Fills map from a palette octree by nearest-colour search. Returns false, with a
// zero-filled map, when the tree is empty.
bool BuildInverseColourMap(const ColourOctree& tree, InverseColourMap* map);

// The same from palette entries, through a temporary octree. False (map zero-filled) for
// no entries, more than 256, or a failed allocation.
bool BuildInverseColourMap(const PaletteEntry* entries, std::uint32_t count,
                           InverseColourMap* map);
