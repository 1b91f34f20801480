#include "gfx/colour_quantiser.h"

#include <new>

#include "gfx/random_below.h"

ColourQuantiser::ColourQuantiser(std::uint32_t budget) : budget_(budget ? budget : 1) {}

ColourQuantiser::~ColourQuantiser() = default;

void ColourQuantiser::AddColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (ColourOctree::Node* leaf = tree_.FindExact(red, green, blue)) {
    ColourRecord* record = RecordOf(leaf);
    record->red += red;
    record->green += green;
    record->blue += blue;
    record->count += 1;
    return;
  }
  auto* record = new (std::nothrow) ColourRecord{red, green, blue, 1};
  if (!record) return;
  if (!tree_.Insert(red, green, blue, reinterpret_cast<OctreePayload>(record))) {
    delete record;  // no memory for the nodes: the colour is dropped
    return;
  }
  if (tree_.LeafCount() > budget_) MergeOnce();
}

// Merges the first and the last leaf under the first node, deepest level first, that
// has two or more children.
void ColourQuantiser::MergeOnce() {
  const ColourOctree::Node* node = nullptr;
  for (int level = ColourOctree::kLevels - 1; level >= 0 && !node; --level)
    node = tree_.LevelListFirst(level);
  if (!node) return;
  ColourOctree::Node* a = ColourOctree::FirstLeafUnder(node, 0);
  ColourOctree::Node* b = ColourOctree::LastLeafUnder(node, 7);
  if (!a || !b || a == b) return;
  const ColourRecord* ra = RecordOf(a);
  const ColourRecord* rb = RecordOf(b);
  auto* merged = new (std::nothrow) ColourRecord{ra->red + rb->red, ra->green + rb->green,
                                                 ra->blue + rb->blue, ra->count + rb->count};
  if (!merged) return;
  tree_.Remove(a);
  tree_.Remove(b);
  InsertRecord(merged);
}

// Inserts a merged record at its average colour, or adds it into the leaf already there.
void ColourQuantiser::InsertRecord(ColourRecord* record) {
  const std::uint8_t red = std::uint8_t(record->red / record->count);
  const std::uint8_t green = std::uint8_t(record->green / record->count);
  const std::uint8_t blue = std::uint8_t(record->blue / record->count);
  if (ColourOctree::Node* leaf = tree_.FindExact(red, green, blue)) {
    ColourRecord* existing = RecordOf(leaf);
    existing->red += record->red;
    existing->green += record->green;
    existing->blue += record->blue;
    existing->count += record->count;
    delete record;
    return;
  }
  if (!tree_.Insert(red, green, blue, reinterpret_cast<OctreePayload>(record))) delete record;
}

void ColourQuantiser::AddPixels(const std::uint8_t* pixels, std::int32_t width, std::int32_t pitch,
                                std::int32_t rows, QuantiserProgress progress, void* user,
                                std::uint32_t flags) {
  if (!pixels || width <= 0 || rows <= 0) return;
  auto pixelAt = [&](std::int32_t row, std::int32_t column) {
    return pixels + std::ptrdiff_t(row) * pitch + std::ptrdiff_t(column) * 3;
  };
  if (!(flags & QUANTISE_SAMPLE)) {
    for (std::int32_t r = 0; r < rows; ++r) {
      if (progress) progress(user, std::int32_t(100LL * r / rows));
      for (std::int32_t x = 0; x < width; ++x) {
        const std::uint8_t* p = pixelAt(r, x);
        AddColour(p[2], p[1], p[0]);
      }
    }
    return;
  }
  const std::int32_t blockRows = rows / 4, blocksPerRow = width / 4;
  for (std::int32_t b = 0; b < blockRows; ++b) {
    if (progress) progress(user, std::int32_t(400LL * b / rows));
    for (std::int32_t block = 0; block < blocksPerRow; ++block) {
      const int k = RandomBelow(16);
      const std::uint8_t* p = pixelAt(b * 4 + k / 4, block * 4 + k % 4);
      AddColour(p[2], p[1], p[0]);
    }
  }
}

std::int32_t ColourQuantiser::BuildPalette(PaletteEntry* destination) {
  if (!destination) return 0;
  std::int32_t written = 0;
  for (const ColourOctree::Node* leaf = tree_.FirstLeaf(); leaf && std::uint32_t(written) < budget_;
       leaf = tree_.NextLeaf(leaf)) {
    destination[written++] =
        PaletteEntry{std::uint8_t(leaf->colour >> 16), std::uint8_t(leaf->colour >> 8),
                     std::uint8_t(leaf->colour), 0};
  }
  return written;
}
