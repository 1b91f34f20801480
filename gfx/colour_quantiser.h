// ColourQuantiser: chooses a palette of at most `budget` colours for a true-colour
// picture. Colours go into an octree whose leaves carry colour-sum records; whenever a
// new colour takes the tree over budget, the two outermost leaves under the deepest node
// with two or more children are merged into their average. BuildPalette then lists the
// leaves in tree order.
#pragma once

#include <cstdint>

#include "pixel/colour_octree.h"
#include "pixel/pixel_format.h"

// Progress callback: (user value, progress number); see AddPixels.
using QuantiserProgress = void (*)(void* user, std::int32_t progress);

// AddPixels flags.
constexpr std::uint32_t QUANTISE_SAMPLE = 0x1;  // one random pixel of every whole 4 x 4 block

class ColourQuantiser {
 public:
  explicit ColourQuantiser(std::uint32_t budget);
  ColourQuantiser(const ColourQuantiser&) = delete;
  ColourQuantiser& operator=(const ColourQuantiser&) = delete;

  virtual ~ColourQuantiser();
  // Adds 24-bit pixels (bytes blue, green, red); row r starts at pixels + r x pitch.
  // Without QUANTISE_SAMPLE every pixel is added and progress gets 100 x r / rows before
  // row r; with it, one pixel of each whole 4 x 4 block (chosen by RandomBelow(16)) and
  // progress gets 400 x b / rows before block row b.
  virtual void AddPixels(const std::uint8_t* pixels, std::int32_t width, std::int32_t pitch,
                         std::int32_t rows, QuantiserProgress progress, void* user,
                         std::uint32_t flags);
  // Writes one entry (red, green, blue, 0) per leaf into destination, which must hold
  // Budget() entries; returns the number written. The caller clears the rest.
  virtual std::int32_t BuildPalette(PaletteEntry* destination);

  // Adds one colour, merging once when the tree goes over budget.
  void AddColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  std::uint32_t Budget() const { return budget_; }
  std::uint32_t ColourCount() const { return tree_.LeafCount(); }

 private:
  struct ColourRecord {
    std::uint64_t red;
    std::uint64_t green;
    std::uint64_t blue;
    std::uint32_t count;
  };

  // Leaves own their records; the tree frees a record when its leaf goes.
  class RecordTree : public ColourOctree {
   public:
    ~RecordTree() override { RemoveAll(); }
    void OnLeafRemoved(OctreePayload payload) override {
      delete reinterpret_cast<ColourRecord*>(payload);
    }
  };

  static ColourRecord* RecordOf(const ColourOctree::Node* leaf) {
    return reinterpret_cast<ColourRecord*>(leaf->payload);
  }
  void MergeOnce();
  void InsertRecord(ColourRecord* record);

  std::uint32_t budget_;
  RecordTree tree_;
};
