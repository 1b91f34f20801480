// The JPEG loader: turns a JPEG picture into a packed 24-bit bottom-up DIB in
// one fixed global memory block:
//
//   offset 0   BITMAPINFOHEADER (40 bytes): width, positive height, 1 plane,
//              24 bits, BI_RGB, every other field 0
//   offset 40  height rows of stride bytes, bottom row first, pixels in blue,
//              green, red order, each row zero-padded to
//              stride = ((width * 24 + 31) >> 5) << 2
//
// The caller owns the block and frees it with GlobalFree. JPEG data is
// untrusted: anything but a complete, clean greyscale or colour (YCbCr/RGB)
// picture within the size limits gives null, with one line in the debug log.
#pragma once

#include <cstdint>

#include "port/win32.h"

// Pictures beyond these are refused before any large allocation.
constexpr std::uint32_t kJpegMaxDimension = 16384;
constexpr std::uint32_t kJpegMaxPixels = 1u << 24;

// The packed bitmap, or null.
HGLOBAL LoadJpeg(const char* path);
HGLOBAL LoadJpegFromMemory(const void* data, std::uint32_t size);

// The decoded pixels, rows top-down, red, green, blue, width * height * 3
// bytes (free with std::free), or null with width and height 0.
std::uint8_t* DecodeJpeg(const char* path, std::int32_t* width, std::int32_t* height);
std::uint8_t* DecodeJpegFromMemory(const void* data, std::uint32_t size, std::int32_t* width,
                                   std::int32_t* height);

// Row length in bytes of a 24-bit DIB of this width.
constexpr std::uint32_t PackedDibStride24(std::uint32_t width) {
  return ((width * 24u + 31u) >> 5) << 2;
}
