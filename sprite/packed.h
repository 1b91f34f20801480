// Packed bitmaps "PKC1" and "PKC2": any unencoded bitmap with its pixel bits
// compressed into a MemoBlock, header and colour table left readable.
//
//   0        BITMAPINFOHEADER as in the plain bitmap, except biCompression =
//            "PKC1" (plain was BI_RGB) or "PKC2" (plain was BI_BITFIELDS, depths
//            16, 24 and 32 only) and biSizeImage = the MemoBlock's total size
//   40       colour table as in the plain bitmap: depths 1..8 biClrUsed RGBQUADs
//            (2^depth when 0); above 8, the three masks for "PKC2", else nothing
//   40 + C   MemoBlock (sprite/memo_block.h) whose data is the plain pixel
//            bits: rows bottom-up, each padded to a multiple of 4 bytes, so
//            exactly rowBytes x biHeight bytes
//
// "PKCC" (TAG_PKCC) is only the request made to an image's Encode; it is
// never stored. Both routines take the bytes readable from the header on and
// return new fixed global-heap memory (free with GlobalFree) or null.
#pragma once

#include "port/win32.h"

// Checks a packed bitmap as far as it goes without expanding: header, table,
// a MemoBlock of exactly biSizeImage bytes inside `bytes` whose data size is
// exactly the size of the plain bits.
[[nodiscard]] bool ValidatePacked(const BITMAPINFOHEADER* packed, SIZE_T bytes);

// Bitmap with biCompression 0 or 3 (3 only at 16, 24 and 32 bits) -> packed.
[[nodiscard]] BITMAPINFOHEADER* EncodePacked(const BITMAPINFOHEADER* bitmap, SIZE_T bytes,
                                             SIZE_T* outBytes = nullptr);

// "PKC1"/"PKC2" bitmap -> plain bitmap, biCompression 0 or 3, biSizeImage 0.
[[nodiscard]] BITMAPINFOHEADER* DecodePacked(const BITMAPINFOHEADER* packed, SIZE_T bytes,
                                             SIZE_T* outBytes = nullptr);
