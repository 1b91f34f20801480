// Run-length sprite kernels: sprites drawn straight from their encoded bytes, never
// decoded first and never scaled.
//
//   RleBlit*       an 8-bit "ARLE" sprite onto a surface of depth 8, 16, 24 or 32. At 8 bits
//                  the palette indices are written as they are; deeper, each index goes
//                  through the PixelLookupTable of the sprite's palette for the surface type
//                  (24 bits: the entry's three low bytes in memory order).
//   AlphaRleBlit*  a "TRLE" sprite onto a surface of its own pixel type, through an 8-bit
//                  "TRLE" mask whose rows have the sprite's skip and count.
// (sprite/arle.h and sprite/trle.h give the byte layouts.)
//
// Callers clip and validate: the sprite (and the mask) must have passed the sprite/
// validators, and the rectangle (sx, sy, width, height) must lie inside the sprite and
// (dx, dy, width, height) inside the destination. Nothing is checked here.
//
// Walk: the destination pixel of rectangle row i, column j is picture row sy + i and
// picture column sx + j of the sprite. BLIT_MIRROR starts at the rectangle's last column
// and moves left, BLIT_FLIP starts at its last row and moves up; picture rows are always
// read top to bottom. Pitches are in bytes and may be negative.
//
// RleBlit keys: with BLIT_SRCKEY a pixel whose index equals srcKey is not written (tested
// on the index, before the lookup); with BLIT_DSTKEY a pixel is written only where the
// whole destination pixel equals dstKey. level runs 0..256 (256 opaque).
#pragma once

#include <cstdint>

#include "pixel/pixel_format.h"
#include "port/win32.h"

// The RleBlit family shares one signature: 8-bit kernels ignore the table, the plain
// kernels ignore level. The table must be given for depths above 8.
using RleBlitKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                               std::int32_t dy, std::int32_t width, std::int32_t height,
                               const BITMAPINFOHEADER* sprite, std::int32_t sx, std::int32_t sy,
                               std::uint32_t flags, std::uint32_t srcKey, std::uint32_t dstKey,
                               std::int32_t level, const PixelLookupTable* table);
// AlphaRleBlit honours BLIT_MIRROR and BLIT_FLIP only.
using AlphaRleBlitKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                                    std::int32_t dy, std::int32_t width, std::int32_t height,
                                    const BITMAPINFOHEADER* sprite,
                                    const BITMAPINFOHEADER* mask, std::int32_t sx,
                                    std::int32_t sy, std::uint32_t flags);

#define TW_RLE_BLIT(name)                                                                  \
  void name(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,    \
            std::int32_t width, std::int32_t height, const BITMAPINFOHEADER* sprite,       \
            std::int32_t sx, std::int32_t sy, std::uint32_t flags, std::uint32_t srcKey,   \
            std::uint32_t dstKey, std::int32_t level, const PixelLookupTable* table)
#define TW_ALPHA_RLE_BLIT(name)                                                            \
  void name(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,    \
            std::int32_t width, std::int32_t height, const BITMAPINFOHEADER* sprite,       \
            const BITMAPINFOHEADER* mask, std::int32_t sx, std::int32_t sy,                \
            std::uint32_t flags)

// Keys, mirror and flip.
TW_RLE_BLIT(RleBlit8);
TW_RLE_BLIT(RleBlit16);
TW_RLE_BLIT(RleBlit24);
TW_RLE_BLIT(RleBlit32);

// The keyed draw where the stipple pattern is set. The pattern is the one of the raw
// stipple kernels for level and the destination origin (dx, dy), but it is indexed by the
// pixel's picture row & 7 and picture column & 7: flag(i, j) =
// (level >> 2) >= DitherMatrix8[(dy + i) & 7][(dx + j) & 7].
TW_RLE_BLIT(RleStippleBlit8);
TW_RLE_BLIT(RleStippleBlit16);
TW_RLE_BLIT(RleStippleBlit24);
TW_RLE_BLIT(RleStippleBlit32);

// The keyed draw, table[index] blended into the destination by the BlendTable rule with
// ws = level >> 3, wd = (256 - level) >> 3 (555, 565 with green on its top five bits and
// bit 5 clear, 24/32 per byte reduced to five bits; the fourth byte of 32 becomes 0).
TW_RLE_BLIT(RleBlendBlit555);
TW_RLE_BLIT(RleBlendBlit565);
TW_RLE_BLIT(RleBlendBlit24);
TW_RLE_BLIT(RleBlendBlit32);

// Per pixel with mask value a, at 16, 24 and 32 bits: a = 0 nothing; a = 255 the sprite
// pixel whole; otherwise the table blend with ws = a >> 3, wd = (255 - a) >> 3 (the
// fourth byte of 32 becomes 0).
// At 8 bits: the index is written when a > 3 and
// a / 4 + 1 >= DitherMatrix8[picture row & 7][picture column & 7], so the dither moves
// with the sprite.
TW_ALPHA_RLE_BLIT(AlphaRleBlit8);
TW_ALPHA_RLE_BLIT(AlphaRleBlit555);
TW_ALPHA_RLE_BLIT(AlphaRleBlit565);
TW_ALPHA_RLE_BLIT(AlphaRleBlit24);
TW_ALPHA_RLE_BLIT(AlphaRleBlit32);
// a = 0 nothing; otherwise the colour bytes ((256 - a) * d + a * s + 128) >> 8 and the
// fourth byte ((256 - a) * d + a * s) >> 8, so a = 255 does not reproduce the sprite
// exactly. SSE2 when CpuHasSse2() holds, portable code with the same results otherwise.
TW_ALPHA_RLE_BLIT(AlphaRleBlit32Mmx);
