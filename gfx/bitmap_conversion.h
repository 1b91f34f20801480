// Bitmap conversion: an unencoded packed DIB of depth 8, 16, 24 or 32 becomes a new packed
// DIB of target type 4, 7, 9, 11 or 13 (fixed global memory, caller frees with
// GlobalFree), or null when the source is refused or memory is short.
//
// Reading: 8-bit sources through their colour table, 16-bit fields shifted up with the
// dropped bits zero, 24/32-bit bytes as they are. Writing truncates. Type-4 targets get
// the 256 `entries` as colour table and an index per pixel: the nearest entry by an
// octree of the entries whose flags byte is not PC_RESERVED (straight and diffused), or
// the InverseColourMap entry (the inverse-map converters, which always make type 4).
//
// Error diffusion (Floyd-Steinberg, memory row order, left to right, per channel):
// want = clamp(source + error, 0, 255), e = want - got; next[x-1] += 3e >> 4 (x > 0),
// next[x] += 5e >> 4, and unless x is the last column next[x+1] += e >> 4 and the carry
// into x+1 becomes e - (9e >> 4). Shifts round toward minus infinity.
#pragma once

#include <cstdint>

#include "pixel/inverse_colour_map.h"
#include "pixel/pixel_format.h"
#include "port/win32.h"

// `source` points at an info header followed by `bytes` - 40 more readable bytes;
// `entries` holds `count` (0..256) palette entries, which become the first entries of a
// type-4 target's colour table (the rest zero) and the only candidates for its indices.
BITMAPINFOHEADER* ConvertStraight(const void* source, std::uint32_t bytes, std::uint16_t targetType,
                                  const PaletteEntry* entries, std::uint32_t count,
                                  std::uint32_t* outBytes);
BITMAPINFOHEADER* ConvertDiffused(const void* source, std::uint32_t bytes, std::uint16_t targetType,
                                  const PaletteEntry* entries, std::uint32_t count,
                                  std::uint32_t* outBytes);
BITMAPINFOHEADER* ConvertByInverseMap(const void* source, std::uint32_t bytes,
                                      const PaletteEntry* entries, std::uint32_t count,
                                      const InverseColourMap* map, std::uint32_t* outBytes);
BITMAPINFOHEADER* ConvertByInverseMapDiffused(const void* source, std::uint32_t bytes,
                                              const PaletteEntry* entries, std::uint32_t count,
                                              const InverseColourMap* map, std::uint32_t* outBytes);
