#include "gfx/palette.h"

#include <cstring>
#include <new>

#include "gfx/graphics_system.h"
#include "pixel/colour_octree.h"

namespace {

bool RangeInside(std::int32_t first, std::int32_t count, std::int32_t total) {
  return first >= 0 && count >= 0 && first <= total && count <= total - first;
}

#ifdef _WIN32
HPALETTE CreatePlatformPalette(const PaletteEntry* entries, std::int32_t count) {
  const std::size_t bytes = sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * std::size_t(count);
  auto* raw = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, bytes));
  if (!raw) return nullptr;
  auto* log = reinterpret_cast<LOGPALETTE*>(raw);
  log->palVersion = 0x300;
  log->palNumEntries = WORD(count);
  std::memcpy(log->palPalEntry, entries, sizeof(PALETTEENTRY) * std::size_t(count));
  HPALETTE handle = CreatePalette(log);
  GlobalFree(raw);
  return handle;
}
#endif

}  // namespace

Palette::Palette() { registryEntry_ = GraphicsSystem::Enter(REGISTRY_PALETTES, this); }

Palette::~Palette() {
  Palette::Free();
  GraphicsSystem::Leave(REGISTRY_PALETTES, registryEntry_);
  registryEntry_ = nullptr;
}

void Palette::Reset() {
  entries_ = nullptr;
  count_ = 0;
  handle_ = nullptr;
  for (auto& table : tables_) table = nullptr;
  inverseMap_ = nullptr;
  octree_ = nullptr;
}

void Palette::FreeDerived() {
  for (auto& table : tables_) {
    if (table) GlobalFree(table);
    table = nullptr;
  }
  delete octree_;
  octree_ = nullptr;
  if (inverseMap_) GlobalFree(inverseMap_);
  inverseMap_ = nullptr;
}

std::int32_t Palette::Free() {
  FreeDerived();
  delete[] entries_;
#ifdef _WIN32
  if (handle_) DeleteObject(handle_);
#endif
  Reset();
  return PALETTE_OK;
}

std::int32_t Palette::Release() {
  if (--references_ <= 0) {
    delete this;
    return 0;
  }
  return references_;
}

std::int32_t Palette::Create(std::int32_t count) {
  if (entries_) return PALETTE_ALREADY_CREATED;
  if (count < 1 || count > std::int32_t(kMaxPaletteEntries)) return PALETTE_NO_ENTRIES;
  entries_ = new (std::nothrow) PaletteEntry[count]();
  if (!entries_) return PALETTE_NO_ENTRIES;
  count_ = count;
#ifdef _WIN32
  handle_ = CreatePlatformPalette(entries_, count_);
#endif
  return PALETTE_OK;
}

std::int32_t Palette::CopyFrom(const Palette* other) {
  if (!other) return PALETTE_NULL_ARGUMENT;
  if (other->count_ == 0) return PALETTE_NO_ENTRIES;
  if (entries_) return PALETTE_ALREADY_CREATED;
  std::int32_t status = Create(other->count_);
  if (status != PALETTE_OK) return status;
  return SetEntriesFrom(other, 0, other->count_, 0);
}

Palette* Palette::Clone() const {
  auto* copy = new (std::nothrow) Palette;
  if (!copy) return nullptr;
  if (copy->CopyFrom(this) != PALETTE_OK) {
    copy->Release();
    return nullptr;
  }
  return copy;
}

std::int32_t Palette::ReservedOp() { return 0; }

std::int32_t Palette::GetEntries(PaletteEntry* destination, std::int32_t first,
                                 std::int32_t count) const {
  if (!destination) return PALETTE_NULL_ARGUMENT;
  if (!entries_ || !RangeInside(first, count, count_)) return PALETTE_NO_ENTRIES;
  std::memcpy(destination, entries_ + first, sizeof(PaletteEntry) * std::size_t(count));
  return PALETTE_OK;
}

std::int32_t Palette::SetEntriesFrom(const Palette* palette, std::int32_t first, std::int32_t count,
                                     std::int32_t sourceFirst) {
  if (!palette) return PALETTE_NULL_ARGUMENT;
  if (!palette->entries_ || !RangeInside(sourceFirst, count, palette->count_))
    return PALETTE_NO_ENTRIES;
  return SetEntries(palette->entries_ + sourceFirst, first, count);
}

std::int32_t Palette::SetEntries(const PaletteEntry* source, std::int32_t first,
                                 std::int32_t count) {
  if (!source) return PALETTE_NULL_ARGUMENT;
  if (!entries_ || !RangeInside(first, count, count_)) return PALETTE_NO_ENTRIES;
  FreeDerived();
  std::memmove(entries_ + first, source, sizeof(PaletteEntry) * std::size_t(count));
#ifdef _WIN32
  if (handle_)
    SetPaletteEntries(handle_, 0, UINT(count_), reinterpret_cast<PALETTEENTRY*>(entries_));
#endif
  ++changeCounter_;
  return PALETTE_OK;
}

const PixelLookupTable* Palette::PixelTable(std::uint16_t type) {
  if (type < kFirstTableType || type >= kFirstTableType + kTableTypes || !entries_) return nullptr;
  PixelLookupTable*& table = tables_[type - kFirstTableType];
  if (table) return table;
  auto* built = static_cast<PixelLookupTable*>(GlobalAlloc(GMEM_FIXED, sizeof(PixelLookupTable)));
  if (!built) return nullptr;
  if (!BuildPixelLookupTable(entries_, std::uint32_t(count_), type, built)) {
    GlobalFree(built);
    return nullptr;
  }
  table = built;
  return table;
}

ColourOctree* Palette::Octree() {
  if (octree_ || !entries_) return octree_;
  auto* tree = new (std::nothrow) ColourOctree;
  if (!tree) return nullptr;
  if (!BuildPaletteOctree(entries_, std::uint32_t(count_), tree)) {
    delete tree;
    return nullptr;
  }
  octree_ = tree;
  return octree_;
}

std::int32_t Palette::NearestIndex(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  ColourOctree* tree = Octree();
  if (!tree) return -1;
  const ColourOctree::Node* leaf = tree->FindNearest(&red, &green, &blue);
  return leaf ? std::int32_t(leaf->payload) : -1;
}

const InverseColourMap* Palette::InverseMap() {
  if (inverseMap_) return inverseMap_;
  ColourOctree* tree = Octree();
  if (!tree) return nullptr;
  auto* map = static_cast<InverseColourMap*>(GlobalAlloc(GMEM_FIXED, sizeof(InverseColourMap)));
  if (!map) return nullptr;
  if (!BuildInverseColourMap(*tree, map)) {
    GlobalFree(map);
    return nullptr;
  }
  inverseMap_ = map;
  return inverseMap_;
}
