// Pixel-format codes, palette entries and the arithmetic that moves colours between
// palette entries and 16-, 24- and 32-bit pixels, plus the constant tables shared by
// the blending and dithering kernels.
//
// Every image carries one of these 16-bit codes as its type:
//
//   code  depth  layout
//   1     1      packed palette indices, most significant bit = leftmost pixel
//   2     2      packed palette indices
//   3     4      packed palette indices
//   4     8      palette index (also the only type of an alpha-mask image)
//   6     8      8 bits per pixel, drawn like type 4 by the depth-chosen kernels
//   7     16     RGB555: red 0x7c00, green 0x03e0, blue 0x001f, bit 15 unused
//   8     16     BGR555: blue 0x7c00, green 0x03e0, red 0x001f
//   9     16     RGB565: red 0xf800, green 0x07e0, blue 0x001f
//   10    16     BGR565: blue 0xf800, green 0x07e0, red 0x001f
//   11    24     bytes B, G, R in memory (0x00RRGGBB read little-endian)
//   12    24     bytes R, G, B in memory
//   13    32     bytes B, G, R, 0
//   14    32     bytes R, G, B, 0
//
// All conversions truncate: reduction drops low bits, expansion shifts and leaves the
// low bits zero.
#pragma once

#include <cstddef>
#include <cstdint>

enum PixelType : std::uint16_t {
  PIXEL_NONE = 0,
  PIXEL_INDEX1 = 1,
  PIXEL_INDEX2 = 2,
  PIXEL_INDEX4 = 3,
  PIXEL_INDEX8 = 4,
  PIXEL_INDEX8_NO_TRLE = 6,  // 8-bit; "TRLE" sprite drawing draws nothing for it
  PIXEL_RGB555 = 7,
  PIXEL_BGR555 = 8,
  PIXEL_RGB565 = 9,
  PIXEL_BGR565 = 10,
  PIXEL_RGB24 = 11,          // memory B, G, R
  PIXEL_BGR24 = 12,          // memory R, G, B
  PIXEL_RGB32 = 13,          // memory B, G, R, 0
  PIXEL_BGR32 = 14,          // memory R, G, B, 0
};

// Bits per pixel of a type: 1, 2, 4, 8, 16, 24, 32, or 0 for type 5 and unknown codes.
std::uint32_t PixelDepth(std::uint16_t type);

// True for the 16-bit types with a six-bit green channel (9 and 10).
constexpr bool IsPixel565(std::uint16_t type) {
  return type == PIXEL_RGB565 || type == PIXEL_BGR565;
}

// Bytes of one stored row: width x depth bits rounded up to whole 32-bit words.
// 64-bit so that no width and depth can overflow; callers bound the result.
constexpr std::uint64_t PixelRowBytes(std::uint64_t width, std::uint32_t depth) {
  return (width * depth + 31) / 32 * 4;
}

// One colour of a palette: 4 bytes red, green, blue, flags (the PALETTEENTRY layout).
// Bitmap colour tables store blue, green, red, 0; every copy between them swaps R and B.
struct PaletteEntry {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  std::uint8_t flags;
};
static_assert(sizeof(PaletteEntry) == 4, "PaletteEntry is stored as 4 bytes");

constexpr std::uint32_t kMaxPaletteEntries = 256;

// The pixel value of colour (r, g, b) in a 16-, 24- or 32-bit type (types 7..14), by
// truncation; 0 for any other type.
std::uint32_t PackPixel(std::uint16_t type, std::uint8_t r, std::uint8_t g, std::uint8_t b);

struct Rgb8 {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
};

// The 8-bit channels of a 16-, 24- or 32-bit pixel value (types 7..14) by shifting:
// 555 0x7fff gives (248, 248, 248). Other types give black.
Rgb8 ExpandPixel(std::uint16_t type, std::uint32_t pixel);

// Index into the 32768-entry inverse colour map for an 8-bit colour: the top five bits of
// each channel as (R5 << 10) | (G5 << 5) | B5.
constexpr std::uint32_t InverseMapIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (std::uint32_t(r >> 3) << 10) | (std::uint32_t(g >> 3) << 5) | (b >> 3);
}

// The palette-to-pixel table for one destination type: pixel16 for types 7..10, pixel32
// for 11..14. It always has 256 entries, so any 8-bit index is safe to look up; entries
// beyond the palette's count are 0.
union PixelLookupTable {
  std::uint16_t pixel16[kMaxPaletteEntries];
  std::uint32_t pixel32[kMaxPaletteEntries];
};

// Fills table for count palette entries and the destination type. Returns false, leaving
// the table untouched, for a type outside 7..14, no entries, or more than 256.
bool BuildPixelLookupTable(const PaletteEntry* entries, std::uint32_t count,
                           std::uint16_t type, PixelLookupTable* table);

// The 8x8 ordered-dither matrix (values 1..64), stored 16 x 16 (each row repeated across,
// the block repeated down) so that an 8x8 window may start at any (x & 7, y & 7).
// Indexed [row][column].
extern const std::uint8_t (&DitherMatrix8)[16][16];

// BlendTable[w][c] = w x c x 8 for weight w 0..32 and 5-bit channel value c 0..31.
extern const std::int32_t (&BlendTable)[33][32];
