// "ARLE" and "PRLE" sprites: run-length codes of an 8-bit palettised picture.
//
// Both are carried in a packed bitmap whose biCompression holds the tag:
//   0       BITMAPINFOHEADER (biSize 40, biBitCount 8, biWidth W 1..16383,
//           biHeight H > 0, biCompression "ARLE" or "PRLE", biSizeImage = body bytes)
//   40      colour table: N RGBQUADs, N = biClrUsed or 256 when it is 0
//   T       the body, T = 40 + 4N
//
// "ARLE" body:
//   0       row table: H 32-bit offsets from T, one per picture row from the top;
//           entry 0 is 4H and each row's codes follow the previous row's
//   4H      codes of row 0, row 1, ...; each row's codes produce exactly W pixels
// A code starts with a byte c whose two high bits give its form (n > 0 always):
//   00nnnnnn          literal: n = c & 63 index bytes follow
//   01nnnnnn v        short fill: n = c & 63 pixels of index v
//   10hhhhhh l ...    long literal: n = (c & 63) * 256 + l index bytes follow
//   11hhhhhh l v      long fill: n = (c & 63) * 256 + l pixels of index v
// The encoder uses the short forms for 1..63 pixels and the long forms above.
//
// "PRLE" body: one MemoBlock (sprite/memo_block.h) holding a complete "ARLE"
// body; biSizeImage is the block's total size.
//
// Every routine takes the sprite or bitmap and the number of bytes readable
// from its header on, validates it completely and returns a new fixed
// global-heap block (free with GlobalFree) or null when it refuses the input;
// `outBytes` receives the result's size. Plain 8-bit bitmaps are bottom-up
// (biHeight > 0), biCompression 0, rows padded to 4 bytes.
#pragma once

#include "port/win32.h"

struct PaletteEntry;

// Widest row the count fields can describe.
constexpr int kMaxArleWidth = 16383;

// Whole-structure check of an "ARLE" sprite: header, colour table and body
// inside `bytes`, the row table as laid out above, every row's codes non-empty
// and adding up to exactly W pixels, the last row ending at the body's end.
// Sprites that pass can be drawn by the run-length kernels without checks.
[[nodiscard]] bool ValidateArle(const BITMAPINFOHEADER* sprite, SIZE_T bytes);

// Check of a "PRLE" sprite as far as it goes without expanding: header, table,
// a MemoBlock that is exactly biSizeImage bytes and whose data size is no more
// than an "ARLE" body of W x H can be. PrleToArle validates the expanded body.
[[nodiscard]] bool ValidatePrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes);

// Unencoded 8-bit bitmap (W up to 16383) -> "ARLE" sprite.
[[nodiscard]] BITMAPINFOHEADER* EncodeArle(const BITMAPINFOHEADER* bitmap, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);
// "ARLE" sprite -> plain 8-bit bitmap, biCompression 0, biSizeImage 0.
[[nodiscard]] BITMAPINFOHEADER* DecodeArle(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);
// Unencoded 8-bit bitmap -> "PRLE" sprite (EncodeArle, then ArleToPrle).
[[nodiscard]] BITMAPINFOHEADER* EncodePrle(const BITMAPINFOHEADER* bitmap, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);
// "ARLE" sprite -> "PRLE" sprite.
[[nodiscard]] BITMAPINFOHEADER* ArleToPrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);
// "PRLE" sprite -> "ARLE" sprite; the expanded body must pass ValidateArle.
[[nodiscard]] BITMAPINFOHEADER* PrleToArle(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);
// "PRLE" sprite -> plain 8-bit bitmap (PrleToArle, then DecodeArle).
[[nodiscard]] BITMAPINFOHEADER* DecodePrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                           SIZE_T* outBytes = nullptr);

// Rewrites an "ARLE" sprite in place for a new palette of 256 entries: every
// index becomes the nearest entry (entries whose flags byte is 1 are never
// chosen) and the colour table takes the new colours. The sprite must have a
// full 256-entry colour table. 1 on success; 0, with the sprite unchanged,
// when it is refused.
[[nodiscard]] int RemapArle(BITMAPINFOHEADER* sprite, SIZE_T bytes, const PaletteEntry* entries);
