#include "gfx/dib_layout.h"

#include <cstring>

#include "pixel/pixel_format.h"
#include "sprite/sprite_tags.h"

namespace {

std::uint32_t ReadU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

void WriteU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
  p[2] = std::uint8_t(v >> 16);
  p[3] = std::uint8_t(v >> 24);
}

bool IsPaletteDepth(std::uint32_t depth) {
  return depth == 1 || depth == 2 || depth == 4 || depth == 8;
}

bool IsKnownDepth(std::uint32_t depth) {
  return IsPaletteDepth(depth) || depth == 16 || depth == 24 || depth == 32;
}

// Which compressions each depth may carry; the sprite decoders check the bodies.
bool CompressionFitsDepth(std::uint32_t compression, std::uint32_t depth) {
  switch (compression) {
    case BI_RGB:
    case TAG_PKC1:
      return true;
    case BI_BITFIELDS:
    case TAG_PKC2:
      return depth == 16 || depth == 32;
    case TAG_ARLE:
    case TAG_PRLE:
      return depth == 8;
    case TAG_TRLE:
      return depth >= 8;
    default:
      return false;
  }
}

bool HasMasks(std::uint32_t compression, std::uint32_t depth) {
  return depth > 8 && (compression == BI_BITFIELDS || compression == TAG_PKC2);
}

// Only the layouts the kernels draw: 5-5-5 or 5-6-5 at 16 bits, B,G,R bytes at 32.
bool MasksSupported(const std::uint8_t* masks, std::uint32_t depth) {
  std::uint32_t r = ReadU32(masks), g = ReadU32(masks + 4), b = ReadU32(masks + 8);
  if (depth == 16)
    return (r == 0x7C00 && g == 0x03E0 && b == 0x001F) ||
           (r == 0xF800 && g == 0x07E0 && b == 0x001F);
  return r == 0xFF0000 && g == 0xFF00 && b == 0xFF;
}

bool IsEncodingTag(std::uint32_t compression) {
  return compression != BI_RGB && compression != BI_BITFIELDS;
}

// BITMAPINFOHEADER and its later forms (V2 and V3 add masks, V4 and V5 colour spaces).
bool IsKnownHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

std::size_t FindDibHeader(const std::uint8_t* bytes, std::size_t size) {
  if (size >= kDibFileHeaderBytes + 4 && bytes[0] == 'B' && bytes[1] == 'M' &&
      IsKnownHeaderSize(ReadU32(bytes + kDibFileHeaderBytes)))
    return kDibFileHeaderBytes;
  return 0;
}

std::uint16_t DibTypeOfHeader(const BITMAPINFOHEADER& header, std::uint32_t greenMask) {
  switch (header.biBitCount) {
    case 1:
      return 1;
    case 2:
      return 2;
    case 4:
      return 3;
    case 8:
      return 4;
    case 24:
      return 11;
    case 32:
      return 13;
    case 16:
      if (header.biCompression == BI_RGB || header.biCompression == TAG_PKC1) return 7;
      return greenMask == 0x3E0 ? 7 : 9;
    default:
      return 0;
  }
}

bool ReadDibLayout(const std::uint8_t* bytes, std::size_t size, DibLayout* layout) {
  if (!bytes || !layout) return false;
  DibLayout out;
  out.headerOffset = FindDibHeader(bytes, size);
  if (size < out.headerOffset + kDibInfoHeaderBytes) return false;
  std::memcpy(&out.header, bytes + out.headerOffset, sizeof out.header);
  const BITMAPINFOHEADER& h = out.header;
  if (h.biSize != kDibInfoHeaderBytes) return false;
  if (h.biWidth < 1 || h.biWidth > 0xFFFF || h.biHeight < 1 || h.biHeight > 0xFFFF) return false;
  const std::uint32_t depth = h.biBitCount;
  if (!IsKnownDepth(depth) || !CompressionFitsDepth(h.biCompression, depth)) return false;
  out.encoded = IsEncodingTag(h.biCompression);

  if (IsPaletteDepth(depth)) {
    if (h.biClrUsed > 256) return false;
    out.tableEntries = h.biClrUsed ? h.biClrUsed : (1u << depth);
    out.tableBytes = out.tableEntries * 4;
  } else {
    // A colour table in front of true-colour bits would move them; nothing here reads one.
    if (h.biClrUsed != 0) return false;
    out.tableBytes = HasMasks(h.biCompression, depth) ? 12 : 0;
  }
  const std::size_t tableAt = out.headerOffset + kDibInfoHeaderBytes;
  if (size - tableAt < out.tableBytes) return false;
  std::uint32_t greenMask = 0;
  if (HasMasks(h.biCompression, depth)) {
    if (!MasksSupported(bytes + tableAt, depth)) return false;
    greenMask = ReadU32(bytes + tableAt + 4);
  } else if (depth == 16 && h.biCompression == TAG_TRLE) {
    // A 16-bit run-length sprite keeps its masks and its plain compression at the start
    // of the body; the masks count only for a BI_BITFIELDS plain form.
    if (size - tableAt < 16) return false;
    greenMask =
        ReadU32(bytes + tableAt + 12) == BI_BITFIELDS ? ReadU32(bytes + tableAt + 4) : 0x3E0;
  }
  out.type = DibTypeOfHeader(h, greenMask);

  out.bitsBytes = out.encoded
                      ? std::uint64_t(h.biSizeImage)
                      : PixelRowBytes(std::uint64_t(h.biWidth), depth) * std::uint64_t(h.biHeight);
  if (out.encoded && out.bitsBytes == 0) return false;
  if (std::uint64_t(size - tableAt - out.tableBytes) < out.bitsBytes) return false;

  if (out.headerOffset == kDibFileHeaderBytes) {
    // The file header's bit offset must agree with where the bits actually start.
    if (ReadU32(bytes + 10) != kDibFileHeaderBytes + kDibInfoHeaderBytes + out.tableBytes)
      return false;
  }
  *layout = out;
  return true;
}

std::uint32_t BuildDibHeader(std::uint8_t* scratch, std::int32_t width, std::int32_t height,
                             std::uint16_t type) {
  std::uint16_t bitCount = 0;
  std::uint32_t compression = BI_RGB, entries = 0;
  std::uint32_t masks[3] = {0, 0, 0};
  switch (type) {
    case 1:
      bitCount = 1;
      entries = 2;
      break;
    case 2:
      bitCount = 2;
      entries = 4;
      break;
    case 3:
      bitCount = 4;
      entries = 16;
      break;
    case 4:
      bitCount = 8;
      entries = 256;
      break;
    case 7:
      bitCount = 16;
      compression = BI_BITFIELDS;
      masks[0] = 0x7C00;
      masks[1] = 0x03E0;
      masks[2] = 0x001F;
      break;
    case 9:
      bitCount = 16;
      compression = BI_BITFIELDS;
      masks[0] = 0xF800;
      masks[1] = 0x07E0;
      masks[2] = 0x001F;
      break;
    case 11:
      bitCount = 24;
      break;
    case 13:
      bitCount = 32;
      break;
    default:
      return 0;
  }
  std::memset(scratch, 0, kDibScratchBytes);
  BITMAPINFOHEADER h = {};
  h.biSize = kDibInfoHeaderBytes;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitCount;
  h.biCompression = compression;
  std::memcpy(scratch, &h, sizeof h);
  std::uint32_t bytes = kDibInfoHeaderBytes + entries * 4;
  if (compression == BI_BITFIELDS) {
    for (int i = 0; i < 3; ++i) WriteU32(scratch + kDibInfoHeaderBytes + 4 * i, masks[i]);
    bytes += 12;
  }
  return bytes;
}

std::uint8_t* NormaliseDib(const std::uint8_t* bytes, std::size_t size, std::uint32_t* outBytes) {
  if (!bytes) return nullptr;
  const std::size_t at = FindDibHeader(bytes, size);
  if (size < at + kDibInfoHeaderBytes) return nullptr;
  const std::uint32_t headerSize = ReadU32(bytes + at);
  if (!IsKnownHeaderSize(headerSize) || size - at < headerSize) return nullptr;
  BITMAPINFOHEADER h;
  std::memcpy(&h, bytes + at, sizeof h);
  const std::uint32_t depth = h.biBitCount;
  if (h.biHeight == INT32_MIN || !IsKnownDepth(depth)) return nullptr;
  const bool topDown = h.biHeight < 0;
  const std::int64_t height = topDown ? -std::int64_t(h.biHeight) : h.biHeight;
  if (h.biWidth < 1 || h.biWidth > 0xFFFF || height < 1 || height > 0xFFFF) return nullptr;
  const bool bitFields = h.biCompression == BI_BITFIELDS;
  if (h.biCompression != BI_RGB && !(bitFields && (depth == 16 || depth == 32))) return nullptr;
  std::uint32_t entries = 0;
  if (IsPaletteDepth(depth)) {
    if (h.biClrUsed > 256) return nullptr;
    entries = h.biClrUsed ? h.biClrUsed : (1u << depth);
  } else if (h.biClrUsed > 256) {
    return nullptr;  // a table in front of true-colour bits is skipped, within reason
  }
  // The masks: inside the later headers, after a 40-byte one.
  const std::size_t masksAt = at + (headerSize == 40 ? headerSize : 40);
  std::size_t tableAt = at + headerSize + (bitFields && headerSize == 40 ? 12 : 0);
  if (bitFields && size < masksAt + 12) return nullptr;
  const std::uint64_t tableBytes = std::uint64_t(IsPaletteDepth(depth) ? entries : h.biClrUsed) * 4;
  std::uint64_t bitsAt = tableAt + tableBytes;
  if (at == kDibFileHeaderBytes) {
    const std::uint32_t offset = ReadU32(bytes + 10);
    if (offset < bitsAt) return nullptr;
    bitsAt = offset;
  }
  const std::uint64_t rowBytes = PixelRowBytes(std::uint64_t(h.biWidth), depth);
  const std::uint64_t bitsBytes = rowBytes * std::uint64_t(height);
  if (bitsAt > size || size - bitsAt < bitsBytes) return nullptr;
  const std::uint64_t keptTable = IsPaletteDepth(depth) ? tableBytes : 0;
  const std::uint64_t total = kDibInfoHeaderBytes + (bitFields ? 12 : 0) + keptTable + bitsBytes;
  if (total > kMaxDibBytes) return nullptr;

  auto* out = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, SIZE_T(total)));
  if (!out) return nullptr;
  h.biSize = kDibInfoHeaderBytes;
  h.biHeight = std::int32_t(height);
  h.biSizeImage = 0;
  if (!IsPaletteDepth(depth)) h.biClrUsed = 0;
  std::memcpy(out, &h, sizeof h);
  std::uint8_t* p = out + kDibInfoHeaderBytes;
  if (bitFields) {
    std::memcpy(p, bytes + masksAt, 12);
    p += 12;
  }
  std::memcpy(p, bytes + tableAt, std::size_t(keptTable));
  p += keptTable;
  for (std::int64_t row = 0; row < height; ++row) {
    const std::int64_t from = topDown ? height - 1 - row : row;
    std::memcpy(p + row * rowBytes, bytes + bitsAt + from * rowBytes, std::size_t(rowBytes));
  }
  if (outBytes) *outBytes = std::uint32_t(total);
  return out;
}
