// The run-length kernels against a slow per-pixel reference that works on the decoded
// sprite: sprites made by our encoders from random bitmaps with transparent runs, drawn
// with random clips, keys, mirror, flip, stipple and blend onto random surfaces.
#include "pixel/rle_blit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "pixel/blit.h"
#include "pixel/cpu_features.h"
#include "pixel/rle_simd.h"
#include "sprite/arle.h"
#include "sprite/sprite_tags.h"
#include "sprite/sprite_test_support.h"
#include "sprite/trle.h"

namespace {

// w x h pixels of `bytes` each, rows padded, at an odd address, top row first with a
// positive or (bottom-up) negative pitch; filled from a few values, one of them `key`.
struct Surface {
  int bytes, width, height;
  std::int32_t pitch;
  std::vector<std::uint8_t> memory;
  std::ptrdiff_t topAt;

  Surface(int b, int w, int h, std::mt19937& rng, std::uint32_t key)
      : bytes(b), width(w), height(h), memory(std::size_t(w * b + 7) * h + 8) {
    const std::int32_t stride = w * b + int(rng() % 5);
    const bool bottomUp = rng() % 2;
    topAt = 3 + (bottomUp ? std::ptrdiff_t(h - 1) * stride : 0);
    pitch = bottomUp ? -stride : stride;
    for (std::uint8_t& v : memory) v = std::uint8_t(rng());
    const std::uint32_t values[3] = {key, std::uint32_t(rng()), std::uint32_t(rng())};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(x, y, values[rng() % 3]);
  }
  std::uint8_t* Top() { return memory.data() + topAt; }
  std::uint8_t* At(int x, int y) { return Top() + std::ptrdiff_t(y) * pitch + x * bytes; }
  std::uint32_t Get(int x, int y) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint32_t(At(x, y)[i]) << (8 * i);
    return v;
  }
  void Set(int x, int y, std::uint32_t v) {
    for (int i = 0; i < bytes; ++i) At(x, y)[i] = std::uint8_t(v >> (8 * i));
  }
};

// The blend arithmetic written out per channel: 16 bits on five-bit channels (565 green on
// its top five bits, stored with bit 5 clear), 24/32 bits on bytes reduced to five bits
// with the fourth byte 0; MMX per byte with rounding on the three colour bytes.
std::uint32_t Blend16(std::uint32_t s, std::uint32_t d, int ws, int wd, bool is565) {
  const int rShift = is565 ? 11 : 10, gShift = is565 ? 6 : 5;
  std::uint32_t out = 0;
  for (int shift : {rShift, gShift, 0})
    out |= ((ws * ((s >> shift) & 31) + wd * ((d >> shift) & 31)) >> 5) << shift;
  return out;
}
std::uint32_t Blend24(std::uint32_t s, std::uint32_t d, int ws, int wd) {
  std::uint32_t out = 0;
  for (int i = 0; i < 3; ++i)
    out |= ((ws * ((s >> (8 * i + 3)) & 31) + wd * ((d >> (8 * i + 3)) & 31)) >> 2) << (8 * i);
  return out;
}
std::uint32_t BlendMmx32(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
  std::uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t sc = (s >> (8 * i)) & 255, dc = (d >> (8 * i)) & 255;
    out |= (((256 - a) * dc + a * sc + (i < 3 ? 128 : 0)) >> 8) << (8 * i);
  }
  return out;
}
int Matrix(int row, int column) { return DitherMatrix8[row & 7][column & 7]; }

// A drawing request inside the sprite and the surface: whole sprites, single columns and
// rows, and everything between.
struct Request {
  int dx, dy, width, height, sx, sy;
  std::uint32_t flags;
  int DestX(int j) const { return flags & BLIT_MIRROR ? dx + width - 1 - j : dx + j; }
  int DestY(int i) const { return flags & BLIT_FLIP ? dy + height - 1 - i : dy + i; }
};

Request RandomRequest(std::mt19937& rng, int w, int h, const Surface& s, std::uint32_t flags) {
  Request q;
  const int maxW = std::min(w, s.width), maxH = std::min(h, s.height);
  q.width = rng() % 5 == 0 ? maxW : 1 + int(rng() % maxW);
  q.height = rng() % 5 == 0 ? maxH : 1 + int(rng() % maxH);
  q.sx = int(rng() % (w - q.width + 1));
  q.sy = int(rng() % (h - q.height + 1));
  q.dx = int(rng() % (s.width - q.width + 1));
  q.dy = int(rng() % (s.height - q.height + 1));
  q.flags = std::uint32_t(rng()) & flags;
  return q;
}

// A random 8-bit bitmap: runs (fills) with transparent 0 runs, or noise (long literals).
std::vector<BYTE> RandomIndexed(int w, int h, std::mt19937& rng) {
  std::vector<BYTE> bitmap = MakeBitmap(w, h, 8);
  const int style = int(rng() % 3);
  if (style == 2) {
    FillRandomBits(bitmap, rng);
    for (std::uint32_t i = 40; i < BitsOffset(bitmap); ++i) bitmap[i] = BYTE(rng());
  } else {
    FillIndexed(bitmap, rng, style == 0 ? 0.2 : 0.5, style == 0 ? 80 : 300);
  }
  return bitmap;
}

std::uint32_t PixelAt(const CodecResult& plain, int bytes, int r, int c) {
  const BYTE* p = PictureRow(plain.data(), r) + c * bytes;
  std::uint32_t v = 0;
  for (int k = 0; k < bytes; ++k) v |= std::uint32_t(p[k]) << (8 * k);
  return v;
}

// ---- RleBlit --------------------------------------------------------------------------------

enum RleVariant { RLE_PLAIN, RLE_STIPPLE, RLE_BLEND };

struct RleCase {
  const char* name;
  RleBlitKernel kernel;
  int bytes;
  std::uint16_t type;  // destination type: the lookup table and the blend layout
  RleVariant variant;
};

const RleCase kRleCases[] = {
    {"RleBlit8", RleBlit8, 1, PIXEL_INDEX8, RLE_PLAIN},
    {"RleBlit16/555", RleBlit16, 2, PIXEL_RGB555, RLE_PLAIN},
    {"RleBlit16/565", RleBlit16, 2, PIXEL_RGB565, RLE_PLAIN},
    {"RleBlit24", RleBlit24, 3, PIXEL_RGB24, RLE_PLAIN},
    {"RleBlit32", RleBlit32, 4, PIXEL_BGR32, RLE_PLAIN},
    {"RleStippleBlit8", RleStippleBlit8, 1, PIXEL_INDEX8, RLE_STIPPLE},
    {"RleStippleBlit16", RleStippleBlit16, 2, PIXEL_BGR565, RLE_STIPPLE},
    {"RleStippleBlit24", RleStippleBlit24, 3, PIXEL_BGR24, RLE_STIPPLE},
    {"RleStippleBlit32", RleStippleBlit32, 4, PIXEL_RGB32, RLE_STIPPLE},
    {"RleBlendBlit555", RleBlendBlit555, 2, PIXEL_BGR555, RLE_BLEND},
    {"RleBlendBlit565", RleBlendBlit565, 2, PIXEL_RGB565, RLE_BLEND},
    {"RleBlendBlit24", RleBlendBlit24, 3, PIXEL_RGB24, RLE_BLEND},
    {"RleBlendBlit32", RleBlendBlit32, 4, PIXEL_RGB32, RLE_BLEND},
};

void ReferenceRle(const RleCase& c, Surface& s, const CodecResult& plain, const Request& q,
                  std::uint32_t srcKey, std::uint32_t dstKey, int level,
                  const PixelLookupTable& table) {
  const std::uint32_t mask = c.bytes == 4 ? ~0u : (1u << (8 * c.bytes)) - 1;
  for (int i = 0; i < q.height; ++i) {
    for (int j = 0; j < q.width; ++j) {
      const int pr = q.sy + i, pc = q.sx + j, x = q.DestX(j), y = q.DestY(i);
      const std::uint32_t index = PixelAt(plain, 1, pr, pc), d = s.Get(x, y);
      if ((q.flags & BLIT_SRCKEY) && index == srcKey) continue;
      if ((q.flags & BLIT_DSTKEY) && d != (dstKey & mask)) continue;
      // The pattern is built at the destination origin but read at the picture position.
      if (c.variant == RLE_STIPPLE && (level >> 2) < Matrix(q.dy + (pr & 7), q.dx + (pc & 7)))
        continue;
      std::uint32_t v = c.bytes == 1 ? index
                        : c.bytes == 2 ? table.pixel16[index]
                                       : table.pixel32[index];
      if (c.variant == RLE_BLEND) {
        const int ws = level >> 3, wd = (256 - level) >> 3;
        v = c.bytes == 2 ? Blend16(v, d, ws, wd, IsPixel565(c.type)) : Blend24(v, d, ws, wd);
      }
      s.Set(x, y, v);
    }
  }
}

TEST(RleBlit, MatchesPerPixelReferenceOnRandomSprites) {
  std::mt19937 rng(1234);
  const int levels[] = {0, 3, 4, 8, 128, 252, 255, 256};
  for (const RleCase& c : kRleCases) {
    SCOPED_TRACE(c.name);
    for (int round = 0; round < 60; ++round) {
      const int w = 1 + int(rng() % (round % 4 == 0 ? 300 : 40)), h = 1 + int(rng() % 24);
      const CodecResult sprite = Apply(EncodeArle, RandomIndexed(w, h, rng));
      ASSERT_TRUE(sprite && ValidateArle(sprite.get(), sprite.bytes()));
      const CodecResult plain = Apply(DecodeArle, sprite.Copy());
      PaletteEntry entries[256];
      for (PaletteEntry& e : entries) e = {BYTE(rng()), BYTE(rng()), BYTE(rng()), 0};
      PixelLookupTable table = {};
      if (c.bytes > 1) {
        ASSERT_TRUE(BuildPixelLookupTable(entries, 256, c.type, &table));
      }
      const std::uint32_t dstKey = std::uint32_t(rng());
      Surface got(c.bytes, w + int(rng() % 9), h + int(rng() % 9), rng, dstKey);
      Surface want = got;
      const Request q =
          RandomRequest(rng, w, h, got, BLIT_SRCKEY | BLIT_DSTKEY | BLIT_MIRROR | BLIT_FLIP);
      // Index 0 is the common transparent run; other keys hit fills and literals alike.
      const std::uint32_t srcKey = rng() % 2 ? 0 : PixelAt(plain, 1, q.sy, q.sx);
      const int level = rng() % 3 == 0 ? levels[rng() % 8] : int(rng() % 257);
      c.kernel(got.Top(), got.pitch, q.dx, q.dy, q.width, q.height, sprite.get(), q.sx, q.sy,
               q.flags, srcKey, dstKey, level, &table);
      ReferenceRle(c, want, plain, q, srcKey, dstKey, level, table);
      ASSERT_EQ(got.memory, want.memory)
          << "round " << round << " sprite " << w << "x" << h << " rect " << q.dx << ","
          << q.dy << " " << q.width << "x" << q.height << " from " << q.sx << "," << q.sy
          << " flags " << q.flags << " level " << level;
    }
  }
}

TEST(RleBlit, StartsInsideCodesAndKeyedFillsStillMoveTheDestination) {
  // One row: a fill of 10 pixels of index 7, then the literal 1 2 3.
  std::vector<BYTE> bitmap = MakeBitmap(13, 1, 8);
  std::memcpy(PictureRow(bitmap, 0), "\7\7\7\7\7\7\7\7\7\7\1\2\3", 13);
  const CodecResult sprite = Apply(EncodeArle, bitmap);
  ASSERT_TRUE(sprite);
  std::vector<std::uint8_t> dst(16, 0xEE);
  // From column 4 for 8 pixels: six of the fill, then the first two literal bytes.
  RleBlit8(dst.data(), 16, 1, 0, 8, 1, sprite.get(), 4, 0, 0, 0, 0, 256, nullptr);
  EXPECT_EQ(dst, std::vector<std::uint8_t>({0xEE, 7, 7, 7, 7, 7, 7, 1, 2, 0xEE, 0xEE, 0xEE,
                                            0xEE, 0xEE, 0xEE, 0xEE}));
  // Mirrored, the keyed fill writes nothing but still moves left by its length.
  dst.assign(16, 0xEE);
  RleBlit8(dst.data(), 16, 0, 0, 13, 1, sprite.get(), 0, 0, BLIT_SRCKEY | BLIT_MIRROR, 7, 0,
           256, nullptr);
  EXPECT_EQ(dst, std::vector<std::uint8_t>({3, 2, 1, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                                            0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
  // An empty rectangle reads nothing, not even the sprite.
  RleBlit32(dst.data(), 4, 0, 0, 0, 5, nullptr, 0, 0, 0, 0, 0, 256, nullptr);
  AlphaRleBlit24(dst.data(), 4, 0, 0, 1, 0, nullptr, nullptr, 0, 0, 0);
}

// ---- AlphaRleBlit ---------------------------------------------------------------------------

struct AlphaCase {
  const char* name;
  AlphaRleBlitKernel kernel;
  std::uint16_t type;  // sprite and destination type
  bool mmx;
};

const AlphaCase kAlphaCases[] = {
    {"AlphaRleBlit8", AlphaRleBlit8, PIXEL_INDEX8, false},
    {"AlphaRleBlit555", AlphaRleBlit555, PIXEL_RGB555, false},
    {"AlphaRleBlit565", AlphaRleBlit565, PIXEL_RGB565, false},
    {"AlphaRleBlit24", AlphaRleBlit24, PIXEL_RGB24, false},
    {"AlphaRleBlit32", AlphaRleBlit32, PIXEL_RGB32, false},
    {"AlphaRleBlit32MmxPortable", AlphaRleBlit32MmxPortable, PIXEL_RGB32, true},
    {"AlphaRleBlit32MmxSse2", AlphaRleBlit32MmxSse2, PIXEL_RGB32, true},
};

// A mask with the bitmap's spans: 0 where the picture is 0; inside the spans runs of 255,
// of 0 and of random alpha (often a dither threshold), all 255 when `opaque`; a span's
// first and last pixel never 0.
std::vector<BYTE> MaskFor(const std::vector<BYTE>& bitmap, std::mt19937& rng, bool opaque) {
  std::vector<BYTE> mask = bitmap;
  const int w = Header(bitmap)->biWidth, h = Header(bitmap)->biHeight;
  const BYTE special[] = {3, 4, 7, 8, 128, 254};
  for (int r = 0; r < h; ++r) {
    const BYTE* in = PictureRow(bitmap.data(), r);
    BYTE* out = PictureRow(mask, r);
    int first = -1, last = -1, left = 0, kind = 0;
    for (int c = 0; c < w; ++c) {
      if (left-- <= 0) left = int(rng() % 20), kind = opaque ? 0 : int(rng() % 5);
      if (!in[c]) continue;
      if (first < 0) first = c;
      last = c;
      out[c] = kind < 2 ? 255 : kind == 2 ? 0 : kind == 3 ? special[rng() % 6] : BYTE(rng());
    }
    if (first >= 0 && !out[first]) out[first] = 255;
    if (last >= 0 && !out[last]) out[last] = 1;
  }
  return mask;
}

void ReferenceAlpha(const AlphaCase& c, Surface& s, const CodecResult& plain,
                    const CodecResult& plainMask, const Request& q) {
  for (int i = 0; i < q.height; ++i) {
    for (int j = 0; j < q.width; ++j) {
      const int pr = q.sy + i, pc = q.sx + j, x = q.DestX(j), y = q.DestY(i);
      const std::uint32_t a = PixelAt(plainMask, 1, pr, pc);
      const std::uint32_t v = PixelAt(plain, s.bytes, pr, pc), d = s.Get(x, y);
      if (s.bytes == 1) {
        if (a > 3 && int(a / 4 + 1) >= Matrix(pr, pc)) s.Set(x, y, v);
      } else if (c.mmx) {
        if (a != 0) s.Set(x, y, BlendMmx32(v, d, a));
      } else if (a == 255) {
        s.Set(x, y, v);
      } else if (a != 0) {
        const int ws = int(a >> 3), wd = int((255 - a) >> 3);
        s.Set(x, y, s.bytes == 2 ? Blend16(v, d, ws, wd, IsPixel565(c.type))
                                 : Blend24(v, d, ws, wd));
      }
    }
  }
}

TEST(AlphaRleBlit, MatchesPerPixelReferenceOnRandomSprites) {
  std::mt19937 rng(99);
  for (const AlphaCase& c : kAlphaCases) {
    SCOPED_TRACE(c.name);
    if (c.kernel == AlphaRleBlit32MmxSse2 && !CpuHasSse2()) continue;
    for (int round = 0; round < 60; ++round) {
      const int w = 1 + int(rng() % (round % 4 == 0 ? 300 : 40)), h = 1 + int(rng() % 24);
      std::vector<BYTE> bitmap = MakeBitmap(w, h, 8);
      FillIndexed(bitmap, rng, round % 2 ? 0.4 : 0.05, 60);
      const CodecResult mask = Apply(EncodeTrle, MaskFor(bitmap, rng, round % 3 == 0));
      const CodecResult sprite =
          c.type == PIXEL_INDEX8
              ? Apply(EncodeTrle, bitmap)
              : Apply(ConvertTrle, Apply(EncodeTrle, bitmap).Copy(), c.type,
                      static_cast<const PaletteEntry*>(nullptr));
      ASSERT_TRUE(sprite && mask);
      ASSERT_EQ(TrlePixelType(sprite.get(), sprite.bytes()), c.type);
      ASSERT_TRUE(ValidateTrleMask(sprite.get(), sprite.bytes(), mask.get(), mask.bytes()));
      const CodecResult plain = Apply(DecodeTrle, sprite.Copy());
      const CodecResult plainMask = Apply(DecodeTrle, mask.Copy());
      ASSERT_TRUE(plain && plainMask);

      const int bytes = c.type == PIXEL_INDEX8 ? 1 : int(PixelDepth(c.type) / 8);
      Surface got(bytes, w + int(rng() % 9), h + int(rng() % 9), rng, 0);
      Surface want = got;
      const Request q = RandomRequest(rng, w, h, got, BLIT_MIRROR | BLIT_FLIP);
      c.kernel(got.Top(), got.pitch, q.dx, q.dy, q.width, q.height, sprite.get(), mask.get(),
               q.sx, q.sy, q.flags);
      ReferenceAlpha(c, want, plain, plainMask, q);
      ASSERT_EQ(got.memory, want.memory)
          << "round " << round << " sprite " << w << "x" << h << " rect " << q.dx << ","
          << q.dy << " " << q.width << "x" << q.height << " from " << q.sx << "," << q.sy
          << " flags " << q.flags;
    }
  }
}

// ---- AlphaRleBlit32Mmx: the SSE2 form against the portable form ---------------------------

// A "TRLE" sprite (32 bits) or mask (8 bits, no colour table) built row by row, so that
// the tests choose every stored byte: all four bytes of the pixels, every mask value.
struct HandTrle {
  std::vector<std::uint8_t> bytes;
  int width, height, pixelBytes;
  std::vector<std::uint8_t> pixels;
  std::vector<std::uint32_t> skip, count;

  HandTrle(int w, int h, int b) : width(w), height(h), pixelBytes(b) {}
  void AddRow(std::uint32_t rowSkip, const std::vector<std::uint8_t>& rowPixels) {
    skip.push_back(rowSkip);
    count.push_back(std::uint32_t(rowPixels.size() / pixelBytes));
    pixels.insert(pixels.end(), rowPixels.begin(), rowPixels.end());
  }
  const BITMAPINFOHEADER* Build() {
    // 8 bits: a colour table of one entry (biClrUsed 0 would mean 256).
    const std::size_t table = pixelBytes == 1 ? 4 : 0;
    const std::size_t body = 16 + 8 * std::size_t(height) + pixels.size();
    bytes.assign(40 + table + body, 0);
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = WORD(8 * pixelBytes);
    h.biCompression = TAG_TRLE;
    h.biSizeImage = DWORD(body);
    h.biClrUsed = pixelBytes == 1 ? 1 : 0;
    std::memcpy(bytes.data(), &h, 40);
    std::uint8_t* records = bytes.data() + 40 + table + 16;
    std::uint32_t offset = 16 + 8 * std::uint32_t(height);
    for (int r = 0; r < height; ++r, records += 8) {
      WriteU32(records, offset);
      records[4] = std::uint8_t(skip[r]), records[5] = std::uint8_t(skip[r] >> 8);
      records[6] = std::uint8_t(count[r]), records[7] = std::uint8_t(count[r] >> 8);
      offset += count[r] * pixelBytes;
    }
    if (!pixels.empty()) std::memcpy(records, pixels.data(), pixels.size());
    return reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
  }
};

// Mask bytes in runs of 0, of 255 and of random values, the runs 1 to 20 long, so that
// all-0, all-255 and mixed groups of four and blocks of sixteen meet at every offset.
std::vector<std::uint8_t> MaskRuns(std::size_t n, std::mt19937& rng) {
  std::vector<std::uint8_t> out(n);
  for (std::size_t k = 0; k < n;) {
    const std::size_t run = 1 + rng() % 20, kind = rng() % 4;
    for (std::size_t j = 0; j < run && k < n; ++j, ++k)
      out[k] = std::uint8_t(kind == 0 ? 0 : kind == 1 ? 255 : kind == 2 ? rng() : rng() % 3);
  }
  return out;
}

// Draws with both forms onto copies of one destination (with a border the kernels must
// not touch) and compares every byte.
void ExpectSameAsPortable(const BITMAPINFOHEADER* sprite, const BITMAPINFOHEADER* mask,
                          int dstW, int dstH, const Request& q, std::mt19937& rng) {
  const std::int32_t pitch = 4 * dstW + 8;
  std::vector<std::uint8_t> want(std::size_t(pitch) * (dstH + 2));
  for (std::uint8_t& v : want) v = std::uint8_t(rng());
  std::vector<std::uint8_t> got = want;
  std::uint8_t* const wantTop = want.data() + pitch + 4;
  std::uint8_t* const gotTop = got.data() + pitch + 4;
  AlphaRleBlit32MmxPortable(wantTop, pitch, q.dx, q.dy, q.width, q.height, sprite, mask, q.sx,
                            q.sy, q.flags);
  AlphaRleBlit32MmxSse2(gotTop, pitch, q.dx, q.dy, q.width, q.height, sprite, mask, q.sx, q.sy,
                        q.flags);
  ASSERT_EQ(got, want) << "rect " << q.dx << "," << q.dy << " " << q.width << "x" << q.height
                       << " from " << q.sx << "," << q.sy << " flags " << q.flags;
}

TEST(AlphaRleBlit32Mmx, Sse2MatchesPortableForEverySpanLengthAndOffset) {
  if (!CpuHasSse2()) GTEST_SKIP() << "no SSE2";
  std::mt19937 rng(2024);
  constexpr int kW = 56, kH = 8;
  for (int n = 0; n <= 40; ++n) {
    for (int round = 0; round < 12; ++round) {
      // Every row stores n pixels from an odd or even skip; the window then cuts them at
      // any offset, so the kernel sees every length up to n from every start.
      HandTrle sprite(kW, kH, 4), mask(kW, kH, 1);
      for (int r = 0; r < kH; ++r) {
        const std::uint32_t count = r == 0 ? n : std::uint32_t(rng() % (n + 1));
        const std::uint32_t skip = std::uint32_t(rng() % (kW - count + 1));
        std::vector<std::uint8_t> pixels(4 * count);
        for (std::uint8_t& v : pixels) v = std::uint8_t(rng());
        sprite.AddRow(skip, pixels);
        mask.AddRow(skip, MaskRuns(count, rng));
      }
      const BITMAPINFOHEADER* s = sprite.Build();
      const BITMAPINFOHEADER* m = mask.Build();
      ASSERT_TRUE(ValidateTrleMask(s, sprite.bytes.size(), m, mask.bytes.size()));
      Request q;
      q.sx = round < 4 ? 0 : int(rng() % kW);
      q.width = round < 4 ? kW : 1 + int(rng() % (kW - q.sx));
      q.sy = int(rng() % 3);
      q.height = kH - q.sy - int(rng() % 2);
      q.dx = int(rng() % 5);
      q.dy = int(rng() % 3);
      q.flags = (round & 1 ? std::uint32_t(BLIT_MIRROR) : 0u) |
                (round & 2 ? std::uint32_t(BLIT_FLIP) : 0u);
      SCOPED_TRACE(testing::Message() << "n " << n << " round " << round);
      ExpectSameAsPortable(s, m, kW + 6, kH + 4, q, rng);
    }
  }
}

TEST(AlphaRleBlit32Mmx, Sse2MatchesPortableForEveryByteValuePair) {
  if (!CpuHasSse2()) GTEST_SKIP() << "no SSE2";
  // Row y stores pixels whose four bytes are x (the column), drawn onto a destination
  // whose row y has all bytes y: every (sprite, destination) byte pair, in every byte
  // position, at alpha 255 and at alphas that vary along the row.
  constexpr int kSide = 256;
  std::mt19937 rng(7);
  for (const bool opaque : {true, false}) {
    HandTrle sprite(kSide, kSide, 4), mask(kSide, kSide, 1);
    for (int y = 0; y < kSide; ++y) {
      std::vector<std::uint8_t> pixels(4 * kSide), alpha(kSide);
      for (int x = 0; x < kSide; ++x) {
        std::memset(&pixels[4 * x], x, 4);
        alpha[x] = std::uint8_t(opaque ? 255 : (x * 7 + y * 13) & 255);
      }
      sprite.AddRow(0, pixels);
      mask.AddRow(0, alpha);
    }
    const BITMAPINFOHEADER* s = sprite.Build();
    const BITMAPINFOHEADER* m = mask.Build();
    const std::int32_t pitch = 4 * kSide;
    std::vector<std::uint8_t> want(std::size_t(pitch) * kSide);
    for (int y = 0; y < kSide; ++y) std::memset(&want[std::size_t(y) * pitch], y, pitch);
    std::vector<std::uint8_t> got = want, portable = want;
    AlphaRleBlit32MmxSse2(got.data(), pitch, 0, 0, kSide, kSide, s, m, 0, 0, 0);
    AlphaRleBlit32MmxPortable(portable.data(), pitch, 0, 0, kSide, kSide, s, m, 0, 0, 0);
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        std::uint32_t in, out;
        std::memcpy(&in, &want[std::size_t(y) * pitch + 4 * x], 4);
        std::memcpy(&out, &got[std::size_t(y) * pitch + 4 * x], 4);
        const std::uint32_t a = opaque ? 255 : (x * 7 + y * 13) & 255;
        const std::uint32_t expected = a ? BlendMmx32(0x01010101u * x, in, a) : in;
        ASSERT_EQ(out, expected) << "s " << x << " d " << y << " a " << a;
      }
    }
    EXPECT_EQ(got, portable);
  }
}

}  // namespace
