// "TRLE" sprites: row-trimmed pictures at 8, 16, 24 or 32 bits. Each row keeps
// only the span from its first to its last non-zero pixel; pixels outside the
// span are 0, which is transparent.
//
//   0        BITMAPINFOHEADER (biSize 40, biWidth W, biHeight H > 0, biBitCount
//            8/16/24/32, biCompression "TRLE", biSizeImage = body bytes)
//   40       8 bits only: colour table of N RGBQUADs (N = biClrUsed, or 256)
//   T        the body; T = 40 + 4N at 8 bits, 40 otherwise
// Body (B = biBitCount / 8 bytes per pixel):
//   0        red, green, blue masks (32-bit each; meaningful only when the plain
//            compression is 3)
//   12       plain compression: the biCompression of the plain bitmap, 0 or 3
//   16       H row records of 8 bytes, picture row 0 (the top) first:
//              +0 offset from T of the row's first stored pixel (32-bit)
//              +4 skip: transparent pixels at the left (16-bit)
//              +6 count: stored pixels (16-bit); skip + count <= W
//   16 + 8H  stored pixels of row 0, row 1, ... in the plain layout of the type;
//            the first row's offset is 16 + 8H and each next adds count x B,
//            so biSizeImage = 16 + 8H + B x (sum of counts)
// A row of zeros has skip = W and count = 0.
//
// Routines take the sprite or bitmap and the bytes readable from its header
// on, validate it completely, and return a new fixed global-heap block (free
// with GlobalFree) or null when they refuse; `outBytes` receives its size.
#pragma once

#include "pixel/inverse_colour_map.h"
#include "pixel/pixel_format.h"
#include "port/win32.h"

#include <cstdint>

// Whole-structure check: header, table and body inside `bytes`, plain
// compression 0 or 3 (3 only above 8 bits), row records laid out as above with
// every span inside its row, and the pixels ending at the body's end.
[[nodiscard]] bool ValidateTrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes);

// Checks a sprite and the 8-bit "TRLE" mask it is drawn through: both valid,
// same width and height, and every row with the same skip and count, so the
// mask has a value for each stored pixel.
[[nodiscard]] bool ValidateTrleMask(const BITMAPINFOHEADER* sprite, SIZE_T spriteBytes,
                                    const BITMAPINFOHEADER* mask, SIZE_T maskBytes);

// Pixel type of a valid sprite: 8 bits -> 4; 16 bits -> 7 when the plain
// compression is 0 or the body's green mask is 0x3E0, else 9; 24 -> 11;
// 32 -> 13. 0 for anything that is not a valid header.
std::uint16_t TrlePixelType(const BITMAPINFOHEADER* sprite, SIZE_T bytes);

// Unencoded 8-bit bitmap -> 8-bit "TRLE" sprite with the same colour table;
// unencoded 32-bit bitmap (compression 0) -> 32-bit "TRLE" sprite.
[[nodiscard]] BITMAPINFOHEADER* EncodeTrle(const BITMAPINFOHEADER* bitmap, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);

// "TRLE" sprite of any depth -> plain bitmap of that depth: biCompression the
// plain compression (with the three masks after the header when it is 3),
// biSizeImage 0, pixels outside the spans 0.
[[nodiscard]] BITMAPINFOHEADER* DecodeTrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);

// "TRLE" sprite -> "TRLE" sprite of target type 4, 7, 9, 11 or 13, same rows.
// For type 4 the colour table becomes the 256 `entries` and each pixel the
// nearest of them (entries with flags 1 are never chosen); the other types
// ignore `entries`, which may then be null.
[[nodiscard]] BITMAPINFOHEADER* ConvertTrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                            std::uint16_t targetType,
                                            const PaletteEntry* entries,
                                            SIZE_T* outBytes = nullptr);

// "TRLE" sprite -> 8-bit "TRLE" sprite with the 256 `entries` as colour table,
// each pixel looked up in `inverseMap` (the InverseColourMap of those
// entries) by the top five bits of each channel.
[[nodiscard]] BITMAPINFOHEADER* TrleToIndexed(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                              const PaletteEntry* entries,
                                              const InverseColourMap* inverseMap,
                                              SIZE_T* outBytes = nullptr);
