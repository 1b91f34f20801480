// "TRLE" sprites: encoder, validator, decoder and pixel-type conversions. The
// byte layout is described in sprite/trle.h.
#include "sprite/trle.h"

#include "sprite/palette_match.h"
#include "sprite/sprite_layout.h"
#include "sprite/sprite_tags.h"

namespace {

constexpr std::uint32_t kBodyHeadBytes = 16;  // three masks and the plain compression
constexpr std::uint32_t kRowRecordBytes = 8;

struct RowRecord {
  std::uint32_t offset;
  std::uint16_t skip;
  std::uint16_t count;
};

RowRecord LoadRow(const BYTE* body, std::uint32_t r) {
  const BYTE* p = body + kBodyHeadBytes + kRowRecordBytes * r;
  return {LoadU32(p), LoadU16(p + 4), LoadU16(p + 6)};
}

void StoreRow(BYTE* body, std::uint32_t r, const RowRecord& row) {
  BYTE* p = body + kBodyHeadBytes + kRowRecordBytes * r;
  StoreU32(p, row.offset);
  StoreU16(p + 4, row.skip);
  StoreU16(p + 6, row.count);
}

std::uint64_t PixelsStart(std::uint32_t height) {
  return kBodyHeadBytes + std::uint64_t(kRowRecordBytes) * height;
}

// A sprite that passed the whole-structure check.
struct TrleLayout {
  SpriteLayout dib;
  const BYTE* body;
  std::uint32_t pixelBytes;  // B
  std::uint32_t plain;       // plain compression, 0 or 3
  std::uint16_t type;
  std::uint64_t storedPixels;  // sum of counts
};

bool ReadTrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, TrleLayout* out) {
  SpriteLayout& dib = out->dib;
  if (!ReadSpriteLayout(sprite, bytes, false, &dib)) return false;
  if (dib.header.biCompression != TAG_TRLE || dib.depth < 8) return false;
  const std::uint64_t size = dib.header.biSizeImage;
  if (size > bytes - dib.Offset() || size < PixelsStart(dib.height)) return false;
  const BYTE* body = reinterpret_cast<const BYTE*>(sprite) + dib.Offset();
  const std::uint32_t plain = LoadU32(body + 12);
  if (plain != BI_RGB && !(plain == BI_BITFIELDS && dib.depth > 8)) return false;

  const std::uint32_t b = dib.depth / 8;
  std::uint64_t expected = PixelsStart(dib.height);
  std::uint64_t stored = 0;
  for (std::uint32_t r = 0; r < dib.height; ++r) {
    const RowRecord row = LoadRow(body, r);
    if (row.offset != expected || std::uint32_t(row.skip) + row.count > dib.width) return false;
    expected += std::uint64_t(row.count) * b;
    stored += row.count;
  }
  if (expected != size) return false;

  out->body = body;
  out->pixelBytes = b;
  out->plain = plain;
  out->storedPixels = stored;
  switch (dib.depth) {
    case 8: out->type = PIXEL_INDEX8; break;
    case 16:
      out->type = plain == BI_RGB || LoadU32(body + 4) == 0x3E0 ? PIXEL_RGB555 : PIXEL_RGB565;
      break;
    case 24: out->type = PIXEL_RGB24; break;
    default: out->type = PIXEL_RGB32; break;
  }
  return true;
}

// Reads stored pixels of a sprite as 8-bit channels: palette indices through
// the colour table (indices past its end read as black), 16-bit fields with
// their low bits zero, 24- and 32-bit bytes as they are.
class PixelReader {
 public:
  explicit PixelReader(const TrleLayout& in, const BITMAPINFOHEADER* sprite)
      : type_(in.type), bytes_(in.pixelBytes) {
    if (type_ != PIXEL_INDEX8) return;
    const BYTE* table = reinterpret_cast<const BYTE*>(sprite) + 40;
    const std::uint32_t entries = in.dib.tableBytes / 4;
    for (std::uint32_t i = 0; i < entries; ++i)
      table_[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i]};
  }
  Rgb8 Read(const BYTE* p) const {
    switch (bytes_) {
      case 1: return table_[*p];
      case 2: return ExpandPixel(type_, LoadU16(p));
      case 3: return ExpandPixel(type_, p[0] | p[1] << 8 | std::uint32_t(p[2]) << 16);
      default: return ExpandPixel(type_, LoadU32(p));
    }
  }

 private:
  std::uint16_t type_;
  std::uint32_t bytes_;
  Rgb8 table_[256] = {};
};

// Writes the header of a "TRLE" sprite of (width, height, type) and the head
// of its body (masks and plain compression) as the bitmap header builder lays
// them out; the colour table of type 4 is left to the caller. Returns T, or 0
// for a type without a header form.
std::uint32_t PutTrleHeader(BYTE* out, std::uint32_t width, std::uint32_t height,
                            std::uint16_t type) {
  BITMAPINFOHEADER h = {};
  h.biSize = 40;
  h.biWidth = LONG(width);
  h.biHeight = LONG(height);
  h.biPlanes = 1;
  h.biCompression = TAG_TRLE;
  std::uint32_t masks[3] = {0, 0, 0};
  std::uint32_t plain = BI_RGB;
  std::uint32_t table = 0;
  switch (type) {
    case PIXEL_INDEX8: h.biBitCount = 8; table = 1024; break;
    case PIXEL_RGB555:
      h.biBitCount = 16;
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
      plain = BI_BITFIELDS;
      break;
    case PIXEL_RGB565:
      h.biBitCount = 16;
      masks[0] = 0xF800, masks[1] = 0x07E0, masks[2] = 0x001F;
      plain = BI_BITFIELDS;
      break;
    case PIXEL_RGB24: h.biBitCount = 24; break;
    case PIXEL_RGB32: h.biBitCount = 32; break;
    default: return 0;
  }
  std::memcpy(out, &h, 40);
  BYTE* body = out + 40 + table;
  for (int i = 0; i < 3; ++i) StoreU32(body + 4 * i, masks[i]);
  StoreU32(body + 12, plain);
  return 40 + table;
}

std::uint32_t TrleHeaderBytes(std::uint16_t type) {
  BYTE scratch[40 + 1024 + kBodyHeadBytes];
  return PutTrleHeader(scratch, 1, 1, type);
}

void PutColourTable(BYTE* out, const PaletteEntry* entries) {
  BYTE* table = out + 40;
  for (int i = 0; i < 256; ++i) {
    table[4 * i] = entries[i].blue;
    table[4 * i + 1] = entries[i].green;
    table[4 * i + 2] = entries[i].red;
    table[4 * i + 3] = 0;
  }
}

// The rows of `in` rewritten for `type`: same skips and counts, offsets for
// the new pixel size, each stored pixel read as channels and stored by
// `write(colour, destination)`. The colour table of type 4 comes from
// `entries`.
template <class Write>
BITMAPINFOHEADER* RewriteTrle(const BITMAPINFOHEADER* sprite, const TrleLayout& in,
                              std::uint16_t type, const PaletteEntry* entries, Write write,
                              SIZE_T* outBytes) {
  const std::uint32_t t = TrleHeaderBytes(type);
  if (!t) return nullptr;
  const std::uint32_t b = PixelDepth(type) / 8;
  const std::uint64_t body = PixelsStart(in.dib.height) + in.storedPixels * b;
  GlobalBuffer out;
  if (!out.Allocate(t + body)) return nullptr;
  PutTrleHeader(out.data(), in.dib.width, in.dib.height, type);
  if (type == PIXEL_INDEX8) PutColourTable(out.data(), entries);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
  header->biSizeImage = std::uint32_t(body);

  const PixelReader reader(in, sprite);
  BYTE* outBody = out.data() + t;
  std::uint64_t offset = PixelsStart(in.dib.height);
  for (std::uint32_t r = 0; r < in.dib.height; ++r) {
    const RowRecord row = LoadRow(in.body, r);
    StoreRow(outBody, r, {std::uint32_t(offset), row.skip, row.count});
    const BYTE* src = in.body + row.offset;
    BYTE* dst = outBody + offset;
    for (std::uint32_t i = 0; i < row.count; ++i)
      write(reader.Read(src + i * in.pixelBytes), dst + i * b);
    offset += std::uint64_t(row.count) * b;
  }
  return ReleaseDib(out, outBytes);
}

}  // namespace

bool ValidateTrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes) {
  TrleLayout layout;
  return ReadTrle(sprite, bytes, &layout);
}

bool ValidateTrleMask(const BITMAPINFOHEADER* sprite, SIZE_T spriteBytes,
                      const BITMAPINFOHEADER* mask, SIZE_T maskBytes) {
  TrleLayout s, m;
  if (!ReadTrle(sprite, spriteBytes, &s) || !ReadTrle(mask, maskBytes, &m)) return false;
  if (m.dib.depth != 8 || s.dib.width != m.dib.width || s.dib.height != m.dib.height)
    return false;
  for (std::uint32_t r = 0; r < s.dib.height; ++r) {
    const RowRecord a = LoadRow(s.body, r), b = LoadRow(m.body, r);
    if (a.skip != b.skip || a.count != b.count) return false;
  }
  return true;
}

std::uint16_t TrlePixelType(const BITMAPINFOHEADER* sprite, SIZE_T bytes) {
  TrleLayout layout;
  return ReadTrle(sprite, bytes, &layout) ? layout.type : std::uint16_t(PIXEL_NONE);
}

BITMAPINFOHEADER* EncodeTrle(const BITMAPINFOHEADER* bitmap, SIZE_T bytes, SIZE_T* outBytes) {
  SpriteLayout in;
  if (!ReadSpriteLayout(bitmap, bytes, false, &in)) return nullptr;
  if ((in.depth != 8 && in.depth != 32) || in.header.biCompression != BI_RGB) return nullptr;
  if (in.bitsBytes > bytes - in.Offset()) return nullptr;
  const std::uint32_t pixelBytes = in.depth / 8;
  const BYTE* bits = reinterpret_cast<const BYTE*>(bitmap) + in.Offset();
  auto rowPixels = [&](std::uint32_t r) {
    return bits + std::uint64_t(in.height - 1 - r) * in.rowBytes;
  };
  auto zero = [&](const BYTE* p, std::uint32_t x) {
    return pixelBytes == 1 ? p[x] == 0 : LoadU32(p + 4 * x) == 0;
  };
  // Span of a row: from the first to the last non-zero pixel; a row of zeros
  // is all skip.
  auto span = [&](std::uint32_t r) {
    const BYTE* p = rowPixels(r);
    std::uint32_t first = 0, end = in.width;
    while (first < in.width && zero(p, first)) ++first;
    while (end > first && zero(p, end - 1)) --end;
    return RowRecord{0, std::uint16_t(first), std::uint16_t(end - first)};
  };

  std::uint64_t stored = 0;
  for (std::uint32_t r = 0; r < in.height; ++r) stored += span(r).count;
  const std::uint64_t body = PixelsStart(in.height) + stored * pixelBytes;
  GlobalBuffer out;
  if (!out.Allocate(in.Offset() + body)) return nullptr;
  std::memcpy(out.data(), bitmap, in.Offset());
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
  header->biCompression = TAG_TRLE;
  header->biSizeImage = std::uint32_t(body);
  BYTE* outBody = out.data() + in.Offset();  // masks and plain compression stay 0
  std::uint64_t offset = PixelsStart(in.height);
  for (std::uint32_t r = 0; r < in.height; ++r) {
    RowRecord row = span(r);
    row.offset = std::uint32_t(offset);
    StoreRow(outBody, r, row);
    std::memcpy(outBody + offset, rowPixels(r) + std::uint64_t(row.skip) * pixelBytes,
                std::uint64_t(row.count) * pixelBytes);
    offset += std::uint64_t(row.count) * pixelBytes;
  }
  return ReleaseDib(out, outBytes);
}

BITMAPINFOHEADER* DecodeTrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, SIZE_T* outBytes) {
  TrleLayout in;
  if (!ReadTrle(sprite, bytes, &in)) return nullptr;
  const std::uint32_t masks = in.plain == BI_BITFIELDS ? 12 : 0;
  const std::uint32_t head = in.dib.Offset() + masks;
  GlobalBuffer out;
  if (!out.Allocate(head + in.dib.bitsBytes)) return nullptr;
  std::memcpy(out.data(), sprite, in.dib.Offset());
  std::memcpy(out.data() + in.dib.Offset(), in.body, masks);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
  header->biCompression = in.plain;
  header->biSizeImage = 0;
  BYTE* bits = out.data() + head;
  for (std::uint32_t r = 0; r < in.dib.height; ++r) {
    const RowRecord row = LoadRow(in.body, r);
    BYTE* dst = bits + std::uint64_t(in.dib.height - 1 - r) * in.dib.rowBytes;
    std::memcpy(dst + std::uint64_t(row.skip) * in.pixelBytes, in.body + row.offset,
                std::uint64_t(row.count) * in.pixelBytes);
  }
  return ReleaseDib(out, outBytes);
}

BITMAPINFOHEADER* ConvertTrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                              std::uint16_t targetType, const PaletteEntry* entries,
                              SIZE_T* outBytes) {
  TrleLayout in;
  if (!ReadTrle(sprite, bytes, &in)) return nullptr;
  switch (targetType) {
    case PIXEL_INDEX8: {
      if (!entries) return nullptr;
      const PaletteMatcher matcher(entries);
      if (!matcher.ok()) return nullptr;
      return RewriteTrle(
          sprite, in, targetType, entries,
          [&matcher](Rgb8 c, BYTE* p) { *p = matcher.Nearest(c); }, outBytes);
    }
    case PIXEL_RGB555:
    case PIXEL_RGB565:
      return RewriteTrle(
          sprite, in, targetType, entries,
          [targetType](Rgb8 c, BYTE* p) {
            StoreU16(p, std::uint16_t(PackPixel(targetType, c.r, c.g, c.b)));
          },
          outBytes);
    case PIXEL_RGB24:
      return RewriteTrle(
          sprite, in, targetType, entries,
          [](Rgb8 c, BYTE* p) { p[0] = c.b, p[1] = c.g, p[2] = c.r; }, outBytes);
    case PIXEL_RGB32:
      return RewriteTrle(
          sprite, in, targetType, entries,
          [](Rgb8 c, BYTE* p) { StoreU32(p, PackPixel(PIXEL_RGB32, c.r, c.g, c.b)); },
          outBytes);
    default: return nullptr;
  }
}

BITMAPINFOHEADER* TrleToIndexed(const BITMAPINFOHEADER* sprite, SIZE_T bytes,
                                const PaletteEntry* entries, const InverseColourMap* inverseMap,
                                SIZE_T* outBytes) {
  TrleLayout in;
  if (!entries || !inverseMap || !ReadTrle(sprite, bytes, &in)) return nullptr;
  return RewriteTrle(
      sprite, in, PIXEL_INDEX8, entries,
      [inverseMap](Rgb8 c, BYTE* p) { *p = inverseMap->index[InverseMapIndex(c.r, c.g, c.b)]; },
      outBytes);
}
