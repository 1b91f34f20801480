// The packed device-independent bitmap as the image classes keep it:
//
//   [14-byte file header "BM" ...]   optional, skipped where the header is looked for
//   BITMAPINFOHEADER (40 bytes)      biSize must be 40
//   colour table                     depths 1..8: biClrUsed (or 2^depth) RGBQUADs;
//                                    depths 16..32: 3 masks when BI_BITFIELDS or "PKC2"
//   bits                             rows bottom-up, each padded to 32-bit words;
//                                    an encoded body (biSizeImage bytes) for the tags
//
// Everything here reads untrusted bytes: ReadDibLayout checks every field against the
// bytes actually present before anyone looks at a pixel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/win32.h"

// Scratch size for a new header: the header, 256 colour-table entries and three masks.
constexpr std::size_t kDibScratchBytes = 1076;
constexpr std::uint32_t kDibInfoHeaderBytes = 40;
constexpr std::uint32_t kDibFileHeaderBytes = 14;
// Largest bitmap the image classes allocate; far above any picture of the saver and well
// inside a 32-bit address space.
constexpr std::uint64_t kMaxDibBytes = std::uint64_t(1) << 30;

struct DibLayout {
  std::size_t headerOffset = 0;       // 0, or 14 after a "BM" file header
  BITMAPINFOHEADER header = {};       // a copy of the info header
  std::uint32_t tableBytes = 0;       // colour table or masks after the header
  std::uint32_t tableEntries = 0;     // RGBQUADs in the colour table (depths 1..8)
  std::uint64_t bitsBytes = 0;        // plain rows, or the encoded body
  std::uint16_t type = 0;             // pixel type by the header-to-type rule
  bool encoded = false;               // biCompression is an encoding tag
  std::uint64_t TotalBytes() const {  // info header through bits, file header excluded
    return kDibInfoHeaderBytes + tableBytes + bitsBytes;
  }
};

// Offset of the info header: 14 when the bytes start with a "BM" file header followed by
// an info header of a known size (40, or the 52-, 56-, 108- and 124-byte later forms),
// else 0.
std::size_t FindDibHeader(const std::uint8_t* bytes, std::size_t size);

// Checks the packed DIB in bytes[0, size) and describes it. Refuses (returns false) what
// the image classes cannot honour: a header other than 40 bytes, widths or heights that
// are 0 or do not fit 16 bits, top-down rows, depths other than 1, 2, 4, 8, 16, 24, 32,
// colour tables over 256 entries, compressions other than BI_RGB, BI_BITFIELDS with
// 5-5-5/5-6-5/8-8-8 masks and our own tags, a file header whose bit offset disagrees,
// and tables or bits that run past the end of the bytes.
bool ReadDibLayout(const std::uint8_t* bytes, std::size_t size, DibLayout* layout);

// Rewrites a bitmap that ReadDibLayout refuses only for its form into the form it takes:
// the later info headers (52, 56, 108, 124 bytes; their masks become the 12 bytes after a
// 40-byte header), top-down rows (turned bottom-up), and a file header whose bit offset
// leaves a gap before the bits. Only BI_RGB and BI_BITFIELDS bitmaps qualify. Returns new
// fixed global memory (freed with GlobalFree) holding the packed DIB without a file
// header, or null when the bitmap does not qualify or does not fit in its bytes. The
// result still has to pass ReadDibLayout.
std::uint8_t* NormaliseDib(const std::uint8_t* bytes, std::size_t size, std::uint32_t* outBytes);

// Writes a new bottom-up header for (width, height, type) with its zeroed colour table or
// its masks into scratch (kDibScratchBytes); returns header + table bytes, or 0 for a type
// that has no header form (only 1, 2, 3, 4, 7, 9, 11 and 13 have one).
std::uint32_t BuildDibHeader(std::uint8_t* scratch, std::int32_t width, std::int32_t height,
                             std::uint16_t type);

// Header-to-type rule; greenMask is the second mask word after the header (0 when absent).
std::uint16_t DibTypeOfHeader(const BITMAPINFOHEADER& header, std::uint32_t greenMask);
