#include "pixel/inverse_colour_map.h"

#include <cstring>

bool BuildPaletteOctree(const PaletteEntry* entries, std::uint32_t count,
                        ColourOctree* tree) {
  for (std::uint32_t i = 0; i < count; ++i) {
    const PaletteEntry& e = entries[i];
    if (tree->FindExact(e.red, e.green, e.blue)) continue;
    if (!tree->Insert(e.red, e.green, e.blue, i)) return false;
  }
  return true;
}

bool BuildInverseColourMap(const ColourOctree& tree, InverseColourMap* map) {
  if (tree.LeafCount() == 0) {
    std::memset(map->index, 0, sizeof(map->index));
    return false;
  }
  std::uint8_t* out = map->index;
  for (int r5 = 0; r5 < 32; ++r5) {
    for (int g5 = 0; g5 < 32; ++g5) {
      for (int b5 = 0; b5 < 32; ++b5) {
        std::uint8_t r = std::uint8_t(r5 * 8), g = std::uint8_t(g5 * 8),
                     b = std::uint8_t(b5 * 8);
        *out++ = std::uint8_t(tree.FindNearest(&r, &g, &b)->payload);
      }
    }
  }
  return true;
}

bool BuildInverseColourMap(const PaletteEntry* entries, std::uint32_t count,
                           InverseColourMap* map) {
  ColourOctree tree;
  if (!entries || count == 0 || count > kMaxPaletteEntries ||
      !BuildPaletteOctree(entries, count, &tree)) {
    std::memset(map->index, 0, sizeof(map->index));
    return false;
  }
  return BuildInverseColourMap(tree, map);
}
