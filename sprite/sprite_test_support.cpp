#include "sprite/sprite_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

CodecResult& CodecResult::operator=(CodecResult&& other) noexcept {
  if (this != &other) {
    if (dib_) GlobalFree(dib_);
    dib_ = other.dib_;
    bytes_ = other.bytes_;
    other.dib_ = nullptr;
  }
  return *this;
}

CodecResult::~CodecResult() {
  if (dib_) GlobalFree(dib_);
}

std::uint32_t ReadU32(const BYTE* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t ReadU16(const BYTE* p) { return std::uint16_t(p[0] | p[1] << 8); }
void WriteU32(BYTE* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}

std::uint32_t RowBytes(int width, int depth) { return (width * depth + 31) / 32 * 4; }

std::vector<BYTE> MakeBitmap(int width, int height, int depth, std::uint32_t compression,
                             std::uint32_t clrUsed, std::uint32_t tableEntries,
                             const std::vector<std::uint32_t>& masks) {
  const std::uint32_t table = depth <= 8 ? 4 * tableEntries : 4 * std::uint32_t(masks.size());
  std::vector<BYTE> dib(40 + table + std::size_t(RowBytes(width, depth)) * height);
  BITMAPINFOHEADER h = {};
  h.biSize = 40;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = WORD(depth);
  h.biCompression = compression;
  h.biXPelsPerMeter = 2835;
  h.biYPelsPerMeter = 2834;
  h.biClrUsed = clrUsed;
  h.biClrImportant = 7;
  std::memcpy(dib.data(), &h, 40);
  if (depth > 8)
    for (std::size_t i = 0; i < masks.size(); ++i) WriteU32(&dib[40 + 4 * i], masks[i]);
  return dib;
}

std::uint32_t BitsOffset(const std::vector<BYTE>& dib) {
  const BITMAPINFOHEADER* h = Header(dib);
  if (h->biBitCount <= 8) return 40 + 4 * (h->biClrUsed ? h->biClrUsed : 1u << h->biBitCount);
  return h->biCompression == BI_BITFIELDS ? 52 : 40;
}

BYTE* PictureRow(std::vector<BYTE>& dib, int r) {
  const BITMAPINFOHEADER* h = Header(dib);
  return dib.data() + BitsOffset(dib) +
         std::size_t(h->biHeight - 1 - r) * RowBytes(h->biWidth, h->biBitCount);
}

const BYTE* PictureRow(const BYTE* dib, int r) {
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib, 40);
  std::uint32_t offset = 40;
  if (h.biBitCount <= 8) offset += 4 * (h.biClrUsed ? h.biClrUsed : 1u << h.biBitCount);
  else if (h.biCompression == BI_BITFIELDS) offset += 12;
  return dib + offset + std::size_t(h.biHeight - 1 - r) * RowBytes(h.biWidth, h.biBitCount);
}

void FillIndexed(std::vector<BYTE>& dib, std::mt19937& rng, double zeroShare, int longestRun) {
  const BITMAPINFOHEADER* h = Header(dib);
  const int width = h->biWidth, height = h->biHeight;
  for (std::uint32_t i = 40; i < BitsOffset(dib); i += 4) {
    dib[i] = BYTE(rng()), dib[i + 1] = BYTE(rng()), dib[i + 2] = BYTE(rng());
  }
  std::uniform_real_distribution<double> share(0, 1);
  for (int r = 0; r < height; ++r) {
    BYTE* row = PictureRow(dib, r);
    int x = 0;
    while (x < width) {
      // Mostly short runs (literals), now and then long ones (fills).
      int run = 1 + int(rng() % (rng() % 4 == 0 ? longestRun : 3));
      if (run > width - x) run = width - x;
      const BYTE v = share(rng) < zeroShare ? 0 : BYTE(1 + rng() % 255);
      for (int i = 0; i < run; ++i) row[x + i] = run > 3 ? v : BYTE(rng());
      x += run;
    }
  }
}

void FillRandomBits(std::vector<BYTE>& dib, std::mt19937& rng) {
  for (std::size_t i = BitsOffset(dib); i < dib.size(); ++i) dib[i] = BYTE(rng());
}

bool SamePlainBitmap(const std::vector<BYTE>& original, const CodecResult& decoded) {
  if (!decoded) {
    ADD_FAILURE() << "no decoded bitmap";
    return false;
  }
  BITMAPINFOHEADER a, b;
  std::memcpy(&a, original.data(), 40);
  std::memcpy(&b, decoded.data(), 40);
  EXPECT_EQ(b.biCompression, a.biCompression);
  EXPECT_EQ(b.biSizeImage, 0u);
  a.biSizeImage = b.biSizeImage;
  if (std::memcmp(&a, &b, 40) != 0) {
    ADD_FAILURE() << "headers differ";
    return false;
  }
  const std::uint32_t offset = BitsOffset(original);
  if (decoded.bytes() < original.size() ||
      std::memcmp(original.data() + 40, decoded.data() + 40, offset - 40) != 0) {
    ADD_FAILURE() << "colour tables differ or decoded bitmap too short";
    return false;
  }
  const std::uint32_t used = (a.biWidth * a.biBitCount + 7) / 8;
  for (int r = 0; r < a.biHeight; ++r) {
    const BYTE* x = PictureRow(original.data(), r);
    const BYTE* y = PictureRow(decoded.data(), r);
    // Only whole bytes of pixels are compared; the bits of a partial last
    // byte beyond the width are padding too.
    const std::uint32_t whole = a.biWidth * a.biBitCount / 8;
    if (std::memcmp(x, y, whole) != 0 ||
        (used > whole && ((x[whole] ^ y[whole]) & BYTE(0xFF00 >> (a.biWidth * a.biBitCount % 8))))) {
      ADD_FAILURE() << "picture row " << r << " differs";
      return false;
    }
  }
  return true;
}
