// "ARLE" sprites: encoder, validator, decoder and palette remap. The byte
// layout is described in sprite/arle.h.
#include "sprite/arle.h"

#include "sprite/arle_codes.h"
#include "sprite/palette_match.h"
#include "sprite/sprite_layout.h"
#include "sprite/sprite_tags.h"

namespace {

// Code writers for the two encoder passes: the first only counts bytes, the
// second stores them.
class CountingSink {
 public:
  void Put(BYTE) { ++size_; }
  void Put(const BYTE*, std::uint32_t n) { size_ += n; }
  std::uint64_t size() const { return size_; }

 private:
  std::uint64_t size_ = 0;
};

class WritingSink {
 public:
  explicit WritingSink(BYTE* at) : at_(at) {}
  void Put(BYTE b) { *at_++ = b; }
  void Put(const BYTE* p, std::uint32_t n) {
    std::memcpy(at_, p, n);
    at_ += n;
  }
  BYTE* at() const { return at_; }

 private:
  BYTE* at_;
};

template <class Sink>
void PutFill(Sink& out, std::uint32_t n, BYTE v) {
  if (n < 64) {
    out.Put(BYTE(0x40 | n));
  } else {
    out.Put(BYTE(0xC0 | n >> 8));
    out.Put(BYTE(n & 0xFF));
  }
  out.Put(v);
}

template <class Sink>
void PutLiteral(Sink& out, const BYTE* p, std::uint32_t n) {
  if (n < 64) {
    out.Put(BYTE(n));
  } else {
    out.Put(BYTE(0x80 | n >> 8));
    out.Put(BYTE(n & 0xFF));
  }
  out.Put(p, n);
}

bool FourEqual(const BYTE* p, std::uint32_t i) {
  return p[i] == p[i + 1] && p[i] == p[i + 2] && p[i] == p[i + 3];
}

// One row of `w` pixels: a fill wherever four equal pixels start, a literal up
// to the next such place, and a literal for the last three pixels or fewer.
template <class Sink>
void EncodeRow(const BYTE* p, std::uint32_t w, Sink& out) {
  std::uint32_t x = 0;
  while (x + 3 < w) {
    if (FourEqual(p, x)) {
      const BYTE v = p[x];
      std::uint32_t j = x + 4;
      while (j < w && p[j] == v) ++j;
      PutFill(out, j - x, v);
      x = j;
    } else {
      std::uint32_t pos = x + 1;
      while (pos + 3 < w && !FourEqual(p, pos)) ++pos;
      if (pos + 3 >= w) pos = w;
      PutLiteral(out, p + x, pos - x);
      x = pos;
    }
  }
  if (x < w) PutLiteral(out, p + x, w - x);
}

// Reads the header of an 8-bit sprite or bitmap with the given compression.
bool ReadIndexedLayout(const BITMAPINFOHEADER* dib, SIZE_T bytes, std::uint32_t compression,
                       SpriteLayout* layout) {
  return ReadSpriteLayout(dib, bytes, false, layout) && layout->depth == 8 &&
         layout->header.biCompression == compression && layout->width <= kMaxArleWidth;
}

const BYTE* BytesOf(const BITMAPINFOHEADER* dib) { return reinterpret_cast<const BYTE*>(dib); }

// The whole-structure check, keeping the layout for the caller.
bool ReadArle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, SpriteLayout* layout) {
  if (!ReadIndexedLayout(sprite, bytes, TAG_ARLE, layout)) return false;
  const std::uint64_t body = layout->header.biSizeImage;
  if (body > bytes - layout->Offset()) return false;
  return ValidateArleBody(BytesOf(sprite) + layout->Offset(), body, layout->width,
                          layout->height);
}

}  // namespace

bool ValidateArle(const BITMAPINFOHEADER* sprite, SIZE_T bytes) {
  SpriteLayout layout;
  return ReadArle(sprite, bytes, &layout);
}

bool ValidateArleBody(const BYTE* body, std::uint64_t size, std::uint32_t width,
                      std::uint32_t height) {
  std::uint64_t pos = std::uint64_t(height) * 4;
  if (pos > size) return false;
  for (std::uint32_t r = 0; r < height; ++r) {
    if (LoadU32(body + 4 * r) != pos) return false;
    if (!WalkArleRow(body, size, pos, width, [](bool, std::uint32_t, const BYTE*) {}))
      return false;
  }
  return pos == size;
}

BITMAPINFOHEADER* EncodeArle(const BITMAPINFOHEADER* bitmap, SIZE_T bytes, SIZE_T* outBytes) {
  SpriteLayout in;
  if (!ReadIndexedLayout(bitmap, bytes, BI_RGB, &in)) return nullptr;
  if (in.bitsBytes > bytes - in.Offset()) return nullptr;
  const BYTE* bits = BytesOf(bitmap) + in.Offset();
  auto rowPixels = [&](std::uint32_t r) {
    return bits + std::uint64_t(in.height - 1 - r) * in.rowBytes;
  };

  CountingSink counter;
  for (std::uint32_t r = 0; r < in.height; ++r) EncodeRow(rowPixels(r), in.width, counter);
  const std::uint64_t body = std::uint64_t(in.height) * 4 + counter.size();

  GlobalBuffer out;
  if (!out.Allocate(in.Offset() + body)) return nullptr;
  std::memcpy(out.data(), bitmap, in.Offset());
  BYTE* start = out.data() + in.Offset();
  WritingSink writer(start + std::uint64_t(in.height) * 4);
  for (std::uint32_t r = 0; r < in.height; ++r) {
    StoreU32(start + 4 * r, std::uint32_t(writer.at() - start));
    EncodeRow(rowPixels(r), in.width, writer);
  }
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
  header->biCompression = TAG_ARLE;
  header->biSizeImage = std::uint32_t(body);
  return ReleaseDib(out, outBytes);
}

BITMAPINFOHEADER* DecodeArle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, SIZE_T* outBytes) {
  SpriteLayout in;
  if (!ReadArle(sprite, bytes, &in)) return nullptr;
  GlobalBuffer out;
  if (!out.Allocate(in.Offset() + in.bitsBytes)) return nullptr;
  std::memcpy(out.data(), sprite, in.Offset());
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
  header->biCompression = BI_RGB;
  header->biSizeImage = 0;

  const BYTE* body = BytesOf(sprite) + in.Offset();
  BYTE* bits = out.data() + in.Offset();
  for (std::uint32_t r = 0; r < in.height; ++r) {
    BYTE* row = bits + std::uint64_t(in.height - 1 - r) * in.rowBytes;
    std::uint64_t pos = LoadU32(body + 4 * r);
    // The walk cannot fail: ReadArle walked the same codes.
    WalkArleRow(body, in.header.biSizeImage, pos, in.width,
                [&row](bool fill, std::uint32_t n, const BYTE* data) {
                  if (fill) {
                    std::memset(row, *data, n);
                  } else {
                    std::memcpy(row, data, n);
                  }
                  row += n;
                });
  }
  return ReleaseDib(out, outBytes);
}

int RemapArle(BITMAPINFOHEADER* sprite, SIZE_T bytes, const PaletteEntry* entries) {
  SpriteLayout layout;
  if (!entries || !ReadArle(sprite, bytes, &layout)) return 0;
  // The new indices span all 256 entries, so the table must hold 256.
  if (layout.tableBytes != 256 * 4) return 0;
  const PaletteMatcher matcher(entries);
  if (!matcher.ok()) return 0;

  BYTE* table = reinterpret_cast<BYTE*>(sprite) + 40;
  BYTE map[256];
  for (int i = 0; i < 256; ++i)
    map[i] = matcher.Nearest({table[4 * i + 2], table[4 * i + 1], table[4 * i]});

  BYTE* body = table + layout.tableBytes;
  for (std::uint32_t r = 0; r < layout.height; ++r) {
    std::uint64_t pos = LoadU32(body + 4 * r);
    // Validated above, so every row walks to its end.
    WalkArleRow(body, layout.header.biSizeImage, pos, layout.width,
                [&map](bool fill, std::uint32_t n, BYTE* data) {
                  for (std::uint32_t i = 0; i < (fill ? 1 : n); ++i) data[i] = map[data[i]];
                });
  }
  for (int i = 0; i < 256; ++i) {
    table[4 * i] = entries[i].blue;
    table[4 * i + 1] = entries[i].green;
    table[4 * i + 2] = entries[i].red;
  }
  return 1;
}
