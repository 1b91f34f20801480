// Palette: a colour table of up to 256 entries, the platform palette made from it (on
// the target), and what drawing derives from it, built on first request and dropped on
// every change: one PixelLookupTable per destination type 7..14, a ColourOctree of the
// entries (entry i with payload i) and the 32768-byte InverseColourMap.
//
// Reference counted like images: the creator holds one reference; Release destroys at
// zero. The change counter rises with every SetEntries so images can copy the colour
// table into their own bitmaps only when it changed.
#pragma once

#include <cstdint>

#include "pixel/inverse_colour_map.h"
#include "pixel/pixel_format.h"
#include "port/win32.h"

class ColourOctree;
struct ListNode;

enum PaletteStatus : std::int32_t {
  PALETTE_OK = 0,
  PALETTE_NULL_ARGUMENT = 1,
  PALETTE_NO_ENTRIES = 2,  // also: a range outside the table, a count outside 1..256
  PALETTE_ALREADY_CREATED = 3,
  PALETTE_NO_SYSTEM = 4,  // MergeSystemColours without a GraphicsSystem
};

class Palette {
 public:
  Palette();
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;

  // 0: all fields empty, nothing freed.
  virtual void Reset();
  // 1: frees tables, entries, platform palette, octree and inverse map.
  virtual std::int32_t Free();
  // 2
  virtual ~Palette();
  // 3: count (1..256) zeroed entries and the platform palette.
  virtual std::int32_t Create(std::int32_t count);
  // 4
  virtual std::int32_t CopyFrom(const Palette* other);
  // 5: a new palette (one reference for the caller), or null when that fails.
  virtual Palette* Clone() const;
  // 6
  virtual std::int32_t ReservedOp();
  // 7..9: ranges must lie inside the table.
  virtual std::int32_t GetEntries(PaletteEntry* destination, std::int32_t first,
                                  std::int32_t count) const;
  virtual std::int32_t SetEntriesFrom(const Palette* palette, std::int32_t first,
                                      std::int32_t count, std::int32_t sourceFirst);
  virtual std::int32_t SetEntries(const PaletteEntry* source, std::int32_t first,
                                  std::int32_t count);

  // The cached lookup table for destination type 7..14; null for other types, an empty
  // palette or when memory is short.
  const PixelLookupTable* PixelTable(std::uint16_t type);
  // Index of the nearest entry by the octree search; -1 for an empty palette.
  std::int32_t NearestIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // The cached inverse map; null for an empty palette or when memory is short.
  const InverseColourMap* InverseMap();
  // Target only: overwrites entries 10..245 of the system palette with 236 of ours (from
  // entry 10 with flags bit 0, else from 0), marked PC_RESERVED with bit 1, else
  // PC_NOCOLLAPSE, and takes the result as the whole table. Palettes of other sizes: 0.
  std::int32_t MergeSystemColours(std::uint32_t flags);

  std::int32_t Count() const { return count_; }
  const PaletteEntry* Entries() const { return entries_; }
  std::uint32_t ChangeCounter() const { return changeCounter_; }
  HPALETTE Handle() const { return handle_; }

  void AddRef() { ++references_; }
  std::int32_t Release();

 private:
  static constexpr int kFirstTableType = 7;
  static constexpr int kTableTypes = 8;  // types 7..14

  void FreeDerived();
  ColourOctree* Octree();

  PaletteEntry* entries_ = nullptr;
  std::int32_t count_ = 0;
  std::int32_t references_ = 1;
  std::uint32_t changeCounter_ = 0;
  ListNode* registryEntry_ = nullptr;
  HPALETTE handle_ = nullptr;
  PixelLookupTable* tables_[kTableTypes] = {};
  InverseColourMap* inverseMap_ = nullptr;
  ColourOctree* octree_ = nullptr;
};
