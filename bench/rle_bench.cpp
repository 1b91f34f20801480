// Run-length sprite kernels against pixman and the keyed copy, on one fish-shaped sprite
// (160 x 120: an oval body and a forked tail of colour bands with a soft three-pixel edge,
// transparent outside)
// drawn onto 1024 x 768 destinations, each iteration at the next of 64 positions spread
// over the destination. Each comparison draws the same sprite, decoded for the peer:
//   AlphaRleBlit32Mmx / pixman OVER a8r8g8b8 with an a8 mask onto x8r8g8b8,
//   AlphaRleBlit565 / pixman OVER r5g6b5 with an a8 mask onto r5g6b5,
//   RleBlit32 (the "ARLE" sprite through its lookup table) / KeyedBlit32 (source-keyed copy
//   of the sprite decoded to 32 bits).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "pixel/blit.h"
#include "pixel/rle_blit.h"
#include "sprite/arle.h"
#include "sprite/trle.h"

namespace {

constexpr int kDstW = 1024, kDstH = 768, kSprW = 160, kSprH = 120;
constexpr int kPositions = 64;

// A codec result in fixed global memory.
struct Dib {
  BITMAPINFOHEADER* header = nullptr;
  SIZE_T bytes = 0;
  ~Dib() {
    if (header) GlobalFree(header);
  }
  const std::uint8_t* Byte() const { return reinterpret_cast<const std::uint8_t*>(header); }
};

// The sprite's outline, in pixels inside the edge over the three-pixel soft edge (<= 0
// outside, >= 1 opaque): an oval body with a forked tail, covering about 40% of the frame
// as the library's fish strips do (their frames are 35% to 55% opaque).
double FishEdge(double x, double y) {
  const double rx = 0.36 * kSprW, ry = 0.3 * kSprH, cx = 0.4 * kSprW, cy = kSprH / 2.0;
  const double nx = (x - cx) / rx, ny = (y - cy) / ry;
  const double body = (1.0 - std::sqrt(nx * nx + ny * ny)) * ry / 3.0;
  const double tailStart = 0.7 * kSprW, tailEnd = 0.96 * kSprW;
  double tail = -1.0;
  if (x >= tailStart && x <= tailEnd) {
    const double spread = (x - tailStart) / (tailEnd - tailStart) * 0.34 * kSprH;
    const double off = std::fabs(y - cy);
    tail = std::min(spread - off, std::min(off - 0.25 * spread, tailEnd - x)) / 3.0;
  }
  return std::max(body, tail);
}

// An unencoded 8-bit bitmap of the sprite (picture, or mask when `alpha`): bottom-up rows.
std::vector<std::uint8_t> SpriteBitmap(bool alpha) {
  const int row = (kSprW + 3) & ~3;
  std::vector<std::uint8_t> dib(1064 + std::size_t(row) * kSprH);
  BITMAPINFOHEADER h = {};
  h.biSize = 40;
  h.biWidth = kSprW;
  h.biHeight = kSprH;
  h.biPlanes = 1;
  h.biBitCount = 8;
  std::memcpy(dib.data(), &h, 40);
  std::mt19937 rng(77);
  for (int i = 1; i < 256; ++i) {
    dib[40 + 4 * i] = std::uint8_t(rng()), dib[41 + 4 * i] = std::uint8_t(rng());
    dib[42 + 4 * i] = std::uint8_t(rng());
  }
  for (int y = 0; y < kSprH; ++y) {
    std::uint8_t* p = &dib[1064 + std::size_t(kSprH - 1 - y) * row];
    for (int x = 0; x < kSprW; ++x) {
      const double edge = FishEdge(x + 0.5, y + 0.5);
      const int a = edge <= 0 ? 0 : edge >= 1 ? 255 : std::max(1, int(edge * 255));
      // Diagonal colour bands with a speckle now and then: fills with some literals.
      const int colour = 1 + ((x + 2 * y) / 9) % 200 + (rng() % 16 == 0 ? 50 : 0);
      p[x] = std::uint8_t(a == 0 ? 0 : alpha ? a : colour);
    }
  }
  return dib;
}

const BITMAPINFOHEADER* AsHeader(const std::vector<std::uint8_t>& v) {
  return reinterpret_cast<const BITMAPINFOHEADER*>(v.data());
}

// Copies the decoded rows of a plain bottom-up bitmap into top-down pixels.
void CopyRows(const Dib& plain, BenchPixels& out, std::uint32_t bitsOffset) {
  const std::size_t row = (std::size_t(kSprW) * out.bytes + 3) & ~std::size_t(3);
  for (int y = 0; y < kSprH; ++y)
    std::memcpy(out.Row(y), plain.Byte() + bitsOffset + std::size_t(kSprH - 1 - y) * row,
                std::size_t(kSprW) * out.bytes);
}

struct Fixture {
  BenchPixels dst16{kDstW, kDstH, 2}, dst32{kDstW, kDstH, 4};
  BenchPixels plain16{kSprW, kSprH, 2}, plain32{kSprW, kSprH, 4}, plainMask{kSprW, kSprH, 1};
  BenchPixels plain32Keyed{kSprW, kSprH, 4};
  Dib arle, trle565, trle32, mask;
  PixelLookupTable table = {};
  std::uint32_t key32 = 0;
  pixman_image_t *dst16Image, *dst32Image, *spr16Image, *spr32Image, *maskImage;
  int next = 0;

  Fixture() {
    const std::vector<std::uint8_t> picture = SpriteBitmap(false), alpha = SpriteBitmap(true);
    arle.header = EncodeArle(AsHeader(picture), picture.size(), &arle.bytes);
    mask.header = EncodeTrle(AsHeader(alpha), alpha.size(), &mask.bytes);
    Dib trle8;
    trle8.header = EncodeTrle(AsHeader(picture), picture.size(), &trle8.bytes);
    trle565.header = ConvertTrle(trle8.header, trle8.bytes, PIXEL_RGB565, nullptr, &trle565.bytes);
    trle32.header = ConvertTrle(trle8.header, trle8.bytes, PIXEL_RGB32, nullptr, &trle32.bytes);
    if (!arle.header || !mask.header || !trle565.header || !trle32.header ||
        !ValidateTrleMask(trle32.header, trle32.bytes, mask.header, mask.bytes))
      std::abort();

    // The peers' copies: the same pixels decoded, opaque alpha for pixman.
    Dib d16, d32, dm;
    d16.header = DecodeTrle(trle565.header, trle565.bytes, &d16.bytes);
    d32.header = DecodeTrle(trle32.header, trle32.bytes, &d32.bytes);
    dm.header = DecodeTrle(mask.header, mask.bytes, &dm.bytes);
    CopyRows(d16, plain16, 52);
    CopyRows(d32, plain32, 40);
    CopyRows(dm, plainMask, 1064);
    for (int y = 0; y < kSprH; ++y)
      for (int x = 0; x < kSprW; ++x) plain32.Row(y)[4 * x + 3] = 0xFF;

    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i)
      entries[i] = {picture[42 + 4 * i], picture[41 + 4 * i], picture[40 + 4 * i], 0};
    BuildPixelLookupTable(entries, 256, PIXEL_RGB32, &table);
    key32 = table.pixel32[0];
    // The keyed copy's sprite: the same picture through the same table, index 0 the key.
    Dib decoded;
    decoded.header = DecodeArle(arle.header, arle.bytes, &decoded.bytes);
    const std::size_t row = (kSprW + 3) & ~3;
    for (int y = 0; y < kSprH; ++y)
      for (int x = 0; x < kSprW; ++x) {
        const std::uint32_t v = table.pixel32[decoded.Byte()[1064 + (kSprH - 1 - y) * row + x]];
        std::memcpy(plain32Keyed.Row(y) + 4 * x, &v, 4);
      }

    dst16Image = Wrap(PIXMAN_r5g6b5, dst16);
    dst32Image = Wrap(PIXMAN_x8r8g8b8, dst32);
    spr16Image = Wrap(PIXMAN_r5g6b5, plain16);
    spr32Image = Wrap(PIXMAN_a8r8g8b8, plain32);
    maskImage = Wrap(PIXMAN_a8, plainMask);
  }
  ~Fixture() {
    for (pixman_image_t* image : {dst16Image, dst32Image, spr16Image, spr32Image, maskImage})
      pixman_image_unref(image);
  }
  static pixman_image_t* Wrap(pixman_format_code_t format, BenchPixels& p) {
    return pixman_image_create_bits(format, p.width, p.height,
                                    reinterpret_cast<std::uint32_t*>(p.data), p.pitch);
  }
  struct Position {
    int x, y;
  };
  Position Next() {
    const int i = next++ & (kPositions - 1);
    return {(i * 131 + 3) % (kDstW - kSprW), (i * 97 + 1) % (kDstH - kSprH)};
  }
};

Fixture& F() {
  static Fixture fixture;
  return fixture;
}

void Composite(pixman_image_t* src, pixman_image_t* mask, pixman_image_t* dst, int x, int y) {
  pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, x, y, kSprW, kSprH);
}

}  // namespace

int main(int argc, char** argv) {
  Fixture& f = F();
  const std::int64_t pixels = std::int64_t(kSprW) * kSprH;

  AddBench("AlphaRleBlit32Mmx", [&f] {
    const auto p = f.Next();
    AlphaRleBlit32Mmx(f.dst32.data, f.dst32.pitch, p.x, p.y, kSprW, kSprH, f.trle32.header,
                      f.mask.header, 0, 0, 0);
    benchmark::ClobberMemory();
  }, pixels * 4);
  AddBench("pixman_over_8888_8_x888", [&f] {
    const auto p = f.Next();
    Composite(f.spr32Image, f.maskImage, f.dst32Image, p.x, p.y);
    benchmark::ClobberMemory();
  }, pixels * 4);

  AddBench("AlphaRleBlit565", [&f] {
    const auto p = f.Next();
    AlphaRleBlit565(f.dst16.data, f.dst16.pitch, p.x, p.y, kSprW, kSprH, f.trle565.header,
                    f.mask.header, 0, 0, 0);
    benchmark::ClobberMemory();
  }, pixels * 2);
  AddBench("pixman_over_0565_8_0565", [&f] {
    const auto p = f.Next();
    Composite(f.spr16Image, f.maskImage, f.dst16Image, p.x, p.y);
    benchmark::ClobberMemory();
  }, pixels * 2);

  AddBench("RleBlit32", [&f] {
    const auto p = f.Next();
    RleBlit32(f.dst32.data, f.dst32.pitch, p.x, p.y, kSprW, kSprH, f.arle.header, 0, 0,
              BLIT_SRCKEY, 0, 0, kBlitOpaque, &f.table);
    benchmark::ClobberMemory();
  }, pixels * 4);
  AddBench("KeyedBlit32", [&f] {
    const auto p = f.Next();
    KeyedBlit32(f.dst32.data, f.dst32.pitch, p.x, p.y, kSprW, kSprH, f.plain32Keyed.data,
                f.plain32Keyed.pitch, 0, 0, BLIT_SRCKEY, f.key32, 0, kBlitOpaque);
    benchmark::ClobberMemory();
  }, pixels * 4);

  AddRatio("AlphaRleBlit32Mmx", "pixman_over_8888_8_x888", "AlphaRleBlit32Mmx/pixman");
  AddRatio("AlphaRleBlit565", "pixman_over_0565_8_0565", "AlphaRleBlit565/pixman");
  AddRatio("RleBlit32", "KeyedBlit32", "RleBlit32/KeyedBlit32");
  return RunBenchMain(argc, argv);
}
