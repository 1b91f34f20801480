#include "gfx/bitmap_conversion.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "gfx/dib_layout.h"
#include "pixel/colour_octree.h"

namespace {

struct Source {
  const std::uint8_t* bits;
  std::uint32_t pitch;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t type;
  Rgb8 table[256];  // colour table of an 8-bit source; missing entries black
};

bool OpenSource(const void* dib, std::uint32_t bytes, Source* s) {
  DibLayout layout;
  const auto* p = static_cast<const std::uint8_t*>(dib);
  if (!p || !ReadDibLayout(p, bytes, &layout) || layout.headerOffset != 0 || layout.encoded)
    return false;
  if (layout.type != PIXEL_INDEX8 && PixelDepth(layout.type) < 16) return false;
  s->bits = p + kDibInfoHeaderBytes + layout.tableBytes;
  s->pitch =
      std::uint32_t(PixelRowBytes(std::uint64_t(layout.header.biWidth), PixelDepth(layout.type)));
  s->width = layout.header.biWidth;
  s->height = layout.header.biHeight;
  s->type = layout.type;
  std::memset(s->table, 0, sizeof s->table);
  const std::uint8_t* table = p + kDibInfoHeaderBytes;
  for (std::uint32_t i = 0; i < std::min<std::uint32_t>(layout.tableEntries, 256); ++i)
    s->table[i] = Rgb8{table[4 * i + 2], table[4 * i + 1], table[4 * i]};
  return true;
}

std::uint16_t Load16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

template <std::uint16_t T>
void ExpandRowAs(const Source& s, const std::uint8_t* row, Rgb8* out) {
  for (std::int32_t x = 0; x < s.width; ++x) {
    if constexpr (T == PIXEL_INDEX8) {
      out[x] = s.table[row[x]];
    } else if constexpr (T == PIXEL_RGB555) {
      const std::uint32_t v = Load16(row + 2 * x);
      out[x] = Rgb8{std::uint8_t((v >> 7) & 0xF8), std::uint8_t((v >> 2) & 0xF8),
                    std::uint8_t((v << 3) & 0xF8)};
    } else if constexpr (T == PIXEL_RGB565) {
      const std::uint32_t v = Load16(row + 2 * x);
      out[x] = Rgb8{std::uint8_t((v >> 8) & 0xF8), std::uint8_t((v >> 3) & 0xFC),
                    std::uint8_t((v << 3) & 0xF8)};
    } else {
      constexpr int kBytes = T == PIXEL_RGB24 ? 3 : 4;
      const std::uint8_t* p = row + kBytes * x;
      out[x] = Rgb8{p[2], p[1], p[0]};
    }
  }
}

// The source row in memory order `row` as 8-bit channels.
void ExpandRow(const Source& s, std::int32_t row, Rgb8* out) {
  const std::uint8_t* bits = s.bits + std::size_t(row) * s.pitch;
  switch (s.type) {
    case PIXEL_INDEX8:
      ExpandRowAs<PIXEL_INDEX8>(s, bits, out);
      break;
    case PIXEL_RGB555:
      ExpandRowAs<PIXEL_RGB555>(s, bits, out);
      break;
    case PIXEL_RGB565:
      ExpandRowAs<PIXEL_RGB565>(s, bits, out);
      break;
    case PIXEL_RGB24:
      ExpandRowAs<PIXEL_RGB24>(s, bits, out);
      break;
    default:
      ExpandRowAs<PIXEL_RGB32>(s, bits, out);
      break;
  }
}

// Target policies: Put stores the pixel for the wanted colour and reports the colour it
// actually got.
template <std::uint16_t T>
struct PackedTarget {
  void Put(std::uint8_t* row, std::int32_t x, const int want[3], int got[3]) const {
    if constexpr (T == PIXEL_RGB555 || T == PIXEL_RGB565) {
      constexpr int kGreenMask = T == PIXEL_RGB565 ? 0xFC : 0xF8;
      got[0] = want[0] & 0xF8;
      got[1] = want[1] & kGreenMask;
      got[2] = want[2] & 0xF8;
      const std::uint32_t v = T == PIXEL_RGB565 ? (got[0] << 8) | (got[1] << 3) | (got[2] >> 3)
                                                : (got[0] << 7) | (got[1] << 2) | (got[2] >> 3);
      row[2 * x] = std::uint8_t(v);
      row[2 * x + 1] = std::uint8_t(v >> 8);
    } else {
      constexpr int kBytes = T == PIXEL_RGB24 ? 3 : 4;
      std::uint8_t* p = row + kBytes * x;
      got[0] = want[0];
      got[1] = want[1];
      got[2] = want[2];
      p[0] = std::uint8_t(want[2]);
      p[1] = std::uint8_t(want[1]);
      p[2] = std::uint8_t(want[0]);
      if constexpr (kBytes == 4) p[3] = 0;
    }
  }
};

struct OctreeTarget {
  const ColourOctree* tree;
  void Put(std::uint8_t* row, std::int32_t x, const int want[3], int got[3]) const {
    std::uint8_t r = std::uint8_t(want[0]), g = std::uint8_t(want[1]), b = std::uint8_t(want[2]);
    const ColourOctree::Node* leaf = tree->FindNearest(&r, &g, &b);
    row[x] = std::uint8_t(leaf->payload);
    got[0] = r;
    got[1] = g;
    got[2] = b;
  }
};

struct InverseMapTarget {
  const InverseColourMap* map;
  const PaletteEntry* table;  // 256 entries
  void Put(std::uint8_t* row, std::int32_t x, const int want[3], int got[3]) const {
    const std::uint8_t index = map->index[InverseMapIndex(
        std::uint8_t(want[0]), std::uint8_t(want[1]), std::uint8_t(want[2]))];
    row[x] = index;
    got[0] = table[index].red;
    got[1] = table[index].green;
    got[2] = table[index].blue;
  }
};

// Arithmetic shift by 4: rounds toward minus infinity for negative errors too.
constexpr int Sixteenth(int v) { return v >> 4; }

template <bool Diffuse, class Target>
bool ConvertRows(const Source& s, const Target& target, std::uint8_t* bits, std::uint32_t pitch) {
  const std::size_t w = std::size_t(s.width);
  std::unique_ptr<Rgb8[]> rgb(new (std::nothrow) Rgb8[w]);
  std::unique_ptr<int[]> errors(Diffuse ? new (std::nothrow) int[6 * w]() : nullptr);
  if (!rgb || (Diffuse && !errors)) return false;
  int* current = errors.get();
  int* next = Diffuse ? errors.get() + 3 * w : nullptr;
  for (std::int32_t y = 0; y < s.height; ++y) {
    ExpandRow(s, y, rgb.get());
    std::uint8_t* out = bits + std::size_t(y) * pitch;
    int carry[3] = {0, 0, 0};
    if constexpr (Diffuse) {
      std::swap(current, next);
      std::fill(next, next + 3 * w, 0);
    }
    for (std::size_t x = 0; x < w; ++x) {
      int want[3] = {rgb[x].r, rgb[x].g, rgb[x].b};
      if constexpr (Diffuse)
        for (int c = 0; c < 3; ++c)
          want[c] = std::clamp(want[c] + current[3 * x + c] + carry[c], 0, 255);
      int got[3];
      target.Put(out, std::int32_t(x), want, got);
      if constexpr (Diffuse) {
        for (int c = 0; c < 3; ++c) {
          const int e = want[c] - got[c];
          if (x > 0) next[3 * (x - 1) + c] += Sixteenth(3 * e);
          next[3 * x + c] += Sixteenth(5 * e);
          if (x + 1 < w) {
            next[3 * (x + 1) + c] += Sixteenth(e);
            carry[c] = e - Sixteenth(9 * e);
          }
        }
      }
    }
  }
  return true;
}

// A new zeroed target bitmap with its header (and for type 4 the colour table).
struct Target {
  std::uint8_t* memory = nullptr;
  std::uint32_t bytes = 0;
  std::uint8_t* bits = nullptr;
  std::uint32_t pitch = 0;
};

bool MakeTarget(const Source& s, std::uint16_t type, const PaletteEntry* entries,
                std::uint32_t count, Target* t) {
  std::uint8_t scratch[kDibScratchBytes];
  const std::uint32_t headerBytes = BuildDibHeader(scratch, s.width, s.height, type);
  if (headerBytes == 0 || PixelDepth(type) < 8) return false;
  const std::uint64_t pitch = PixelRowBytes(std::uint64_t(s.width), PixelDepth(type));
  const std::uint64_t total = headerBytes + pitch * std::uint64_t(s.height);
  if (total > kMaxDibBytes) return false;
  if (type == PIXEL_INDEX8) {
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(count, 256); ++i) {
      std::uint8_t* q = scratch + kDibInfoHeaderBytes + 4 * i;
      q[0] = entries[i].blue;
      q[1] = entries[i].green;
      q[2] = entries[i].red;
      q[3] = 0;
    }
  }
  t->memory = static_cast<std::uint8_t*>(GlobalAlloc(GPTR, SIZE_T(total)));
  if (!t->memory) return false;
  std::memcpy(t->memory, scratch, headerBytes);
  t->bytes = std::uint32_t(total);
  t->bits = t->memory + headerBytes;
  t->pitch = std::uint32_t(pitch);
  return true;
}

BITMAPINFOHEADER* Finish(Target& t, bool ok, std::uint32_t* outBytes) {
  if (!ok) {
    if (t.memory) GlobalFree(t.memory);
    return nullptr;
  }
  if (outBytes) *outBytes = t.bytes;
  return reinterpret_cast<BITMAPINFOHEADER*>(t.memory);
}

// Octree of the entries a conversion may choose: every entry but the PC_RESERVED ones.
bool BuildChoosableOctree(const PaletteEntry* entries, std::uint32_t count, ColourOctree* tree) {
  for (std::uint32_t i = 0; i < std::min<std::uint32_t>(count, 256); ++i) {
    if (entries[i].flags == PC_RESERVED) continue;
    if (!tree->Insert(entries[i].red, entries[i].green, entries[i].blue, i) &&
        !tree->FindExact(entries[i].red, entries[i].green, entries[i].blue))
      return false;  // out of memory
  }
  return tree->LeafCount() > 0;
}

template <bool Diffuse>
BITMAPINFOHEADER* ConvertByOctreeOrPacking(const void* source, std::uint32_t bytes,
                                           std::uint16_t type, const PaletteEntry* entries,
                                           std::uint32_t count, std::uint32_t* outBytes) {
  std::unique_ptr<Source> s(new (std::nothrow) Source);
  Target t;
  if (!s || !OpenSource(source, bytes, s.get())) return nullptr;
  if (type == PIXEL_INDEX8) {
    std::unique_ptr<ColourOctree> tree(new (std::nothrow) ColourOctree);
    if (!entries || !tree || !BuildChoosableOctree(entries, count, tree.get())) return nullptr;
    if (!MakeTarget(*s, type, entries, count, &t)) return nullptr;
    return Finish(t, ConvertRows<Diffuse>(*s, OctreeTarget{tree.get()}, t.bits, t.pitch), outBytes);
  }
  if (!MakeTarget(*s, type, entries, count, &t)) return nullptr;
  bool ok = false;
  switch (type) {
    case PIXEL_RGB555:
      ok = ConvertRows<Diffuse>(*s, PackedTarget<PIXEL_RGB555>{}, t.bits, t.pitch);
      break;
    case PIXEL_RGB565:
      ok = ConvertRows<Diffuse>(*s, PackedTarget<PIXEL_RGB565>{}, t.bits, t.pitch);
      break;
    case PIXEL_RGB24:
      ok = ConvertRows<Diffuse>(*s, PackedTarget<PIXEL_RGB24>{}, t.bits, t.pitch);
      break;
    case PIXEL_RGB32:
      ok = ConvertRows<Diffuse>(*s, PackedTarget<PIXEL_RGB32>{}, t.bits, t.pitch);
      break;
    default:
      break;
  }
  return Finish(t, ok, outBytes);
}

template <bool Diffuse>
BITMAPINFOHEADER* ConvertByMap(const void* source, std::uint32_t bytes, const PaletteEntry* entries,
                               std::uint32_t count, const InverseColourMap* map,
                               std::uint32_t* outBytes) {
  std::unique_ptr<Source> s(new (std::nothrow) Source);
  Target t;
  if (!s || !map || !OpenSource(source, bytes, s.get())) return nullptr;
  if (!MakeTarget(*s, PIXEL_INDEX8, entries, count, &t)) return nullptr;
  // The colours the indices stand for: the new colour table.
  PaletteEntry table[256] = {};
  if (entries)
    std::memcpy(table, entries, sizeof(PaletteEntry) * std::min<std::uint32_t>(count, 256));
  return Finish(t, ConvertRows<Diffuse>(*s, InverseMapTarget{map, table}, t.bits, t.pitch),
                outBytes);
}

}  // namespace

BITMAPINFOHEADER* ConvertStraight(const void* source, std::uint32_t bytes, std::uint16_t targetType,
                                  const PaletteEntry* entries, std::uint32_t count,
                                  std::uint32_t* outBytes) {
  return ConvertByOctreeOrPacking<false>(source, bytes, targetType, entries, count, outBytes);
}

BITMAPINFOHEADER* ConvertDiffused(const void* source, std::uint32_t bytes, std::uint16_t targetType,
                                  const PaletteEntry* entries, std::uint32_t count,
                                  std::uint32_t* outBytes) {
  return ConvertByOctreeOrPacking<true>(source, bytes, targetType, entries, count, outBytes);
}

BITMAPINFOHEADER* ConvertByInverseMap(const void* source, std::uint32_t bytes,
                                      const PaletteEntry* entries, std::uint32_t count,
                                      const InverseColourMap* map, std::uint32_t* outBytes) {
  return ConvertByMap<false>(source, bytes, entries, count, map, outBytes);
}

BITMAPINFOHEADER* ConvertByInverseMapDiffused(const void* source, std::uint32_t bytes,
                                              const PaletteEntry* entries, std::uint32_t count,
                                              const InverseColourMap* map,
                                              std::uint32_t* outBytes) {
  return ConvertByMap<true>(source, bytes, entries, count, map, outBytes);
}
