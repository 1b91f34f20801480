// Blit kernel throughput against memcpy and pixman: sprite-sized rectangles (160 x 120)
// drawn onto 1024 x 768 destinations, each iteration at the next of 64 positions spread
// over the destination (odd offsets, so rows start at every alignment). Every pair of a
// comparison draws the same rectangles from the same pixels.
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

constexpr int kDstW = 1024, kDstH = 768, kSprW = 160, kSprH = 120;
constexpr int kPositions = 64;

struct Position {
  int x, y;
};

static std::vector<Position> MakePositions() {
  std::vector<Position> p;
  for (int i = 0; i < kPositions; ++i) {
    p.push_back({(i * 131 + 3) % (kDstW - kSprW), (i * 97 + 1) % (kDstH - kSprH)});
  }
  return p;
}
static const std::vector<Position> kAt = MakePositions();

// A sprite's mask: an ellipse, opaque inside, transparent outside, a soft edge of about
// three pixels between.
static void FillEllipseMask(BenchPixels& m) {
  for (int y = 0; y < m.height; ++y) {
    for (int x = 0; x < m.width; ++x) {
      const double nx = (x + 0.5 - m.width / 2.0) / (m.width / 2.0);
      const double ny = (y + 0.5 - m.height / 2.0) / (m.height / 2.0);
      const double edge = (1.0 - std::sqrt(nx * nx + ny * ny)) * (m.height / 2.0) / 3.0;
      const double a = edge <= 0 ? 0 : edge >= 1 ? 255 : edge * 255;
      m.Row(y)[x] = std::uint8_t(a);
    }
  }
}

static void OpaqueAlpha32(BenchPixels& p) {
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) p.Row(y)[x * 4 + 3] = 0xff;
}

struct Fixture {
  BenchPixels dst8{kDstW, kDstH, 1}, dst16{kDstW, kDstH, 2}, dst32{kDstW, kDstH, 4};
  BenchPixels spr8{kSprW, kSprH, 1}, spr16{kSprW, kSprH, 2}, spr32{kSprW, kSprH, 4};
  BenchPixels mask{kSprW, kSprH, 1};
  pixman_image_t* dst32Image;
  pixman_image_t* dst16Image;
  pixman_image_t* spr32Image;
  pixman_image_t* spr16Image;
  pixman_image_t* maskImage;
  pixman_image_t* halfAlpha;
  int next = 0;

  Fixture() {
    FillEllipseMask(mask);
    OpaqueAlpha32(spr32);
    dst32Image = pixman_image_create_bits(PIXMAN_x8r8g8b8, kDstW, kDstH,
                                          reinterpret_cast<std::uint32_t*>(dst32.data),
                                          dst32.pitch);
    dst16Image = pixman_image_create_bits(PIXMAN_r5g6b5, kDstW, kDstH,
                                          reinterpret_cast<std::uint32_t*>(dst16.data),
                                          dst16.pitch);
    spr32Image = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprW, kSprH,
                                          reinterpret_cast<std::uint32_t*>(spr32.data),
                                          spr32.pitch);
    spr16Image = pixman_image_create_bits(PIXMAN_r5g6b5, kSprW, kSprH,
                                          reinterpret_cast<std::uint32_t*>(spr16.data),
                                          spr16.pitch);
    maskImage = pixman_image_create_bits(PIXMAN_a8, kSprW, kSprH,
                                         reinterpret_cast<std::uint32_t*>(mask.data),
                                         mask.pitch);
    const pixman_color_t half = {0, 0, 0, 0x8080};  // alpha 128 of 255, as level 128
    halfAlpha = pixman_image_create_solid_fill(&half);
  }
  ~Fixture() {
    for (pixman_image_t* image :
         {dst32Image, dst16Image, spr32Image, spr16Image, maskImage, halfAlpha}) {
      pixman_image_unref(image);
    }
  }
  Position Next() { return kAt[next++ & (kPositions - 1)]; }
};

static Fixture& F() {
  static Fixture fixture;
  return fixture;
}

static void MemcpyRows(BenchPixels& dst, BenchPixels& src, Position p) {
  const std::size_t bytes = std::size_t(kSprW) * dst.bytes;
  for (int r = 0; r < kSprH; ++r) {
    std::memcpy(dst.Row(p.y + r) + std::ptrdiff_t(p.x) * dst.bytes, src.Row(r), bytes);
  }
}

static void Composite(pixman_image_t* src, pixman_image_t* mask, pixman_image_t* dst,
                      Position p) {
  pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, p.x, p.y, kSprW, kSprH);
}

int main(int argc, char** argv) {
  Fixture& f = F();
  const std::int64_t pixels = std::int64_t(kSprW) * kSprH;

  AddBench("CopyBlit8", [&f] {
    const Position p = f.Next();
    CopyBlit8(f.dst8.data, f.dst8.pitch, p.x, p.y, kSprW, kSprH, f.spr8.data, f.spr8.pitch, 0, 0);
    benchmark::ClobberMemory();
  }, pixels);
  AddBench("memcpy8", [&f] {
    MemcpyRows(f.dst8, f.spr8, f.Next());
    benchmark::ClobberMemory();
  }, pixels);

  AddBench("CopyBlit16", [&f] {
    const Position p = f.Next();
    CopyBlit16(f.dst16.data, f.dst16.pitch, p.x, p.y, kSprW, kSprH, f.spr16.data,
               f.spr16.pitch, 0, 0);
    benchmark::ClobberMemory();
  }, pixels * 2);
  AddBench("memcpy16", [&f] {
    MemcpyRows(f.dst16, f.spr16, f.Next());
    benchmark::ClobberMemory();
  }, pixels * 2);

  AddBench("KeyedBlit32", [&f] {
    const Position p = f.Next();
    KeyedBlit32(f.dst32.data, f.dst32.pitch, p.x, p.y, kSprW, kSprH, f.spr32.data,
                f.spr32.pitch, 0, 0, 0, 0, 0, 256);
    benchmark::ClobberMemory();
  }, pixels * 4);
  AddBench("memcpy32", [&f] {
    MemcpyRows(f.dst32, f.spr32, f.Next());
    benchmark::ClobberMemory();
  }, pixels * 4);

  AddBench("BlendBlit32Mmx", [&f] {
    const Position p = f.Next();
    BlendBlit32Mmx(f.dst32.data, f.dst32.pitch, p.x, p.y, kSprW, kSprH, f.spr32.data,
                   f.spr32.pitch, 0, 0, 0, 0, 0, 128);
    benchmark::ClobberMemory();
  }, pixels * 4);
  AddBench("pixman_over_8888_n_x888", [&f] {
    Composite(f.spr32Image, f.halfAlpha, f.dst32Image, f.Next());
    benchmark::ClobberMemory();
  }, pixels * 4);

  AddBench("MaskBlendBlit32Mmx", [&f] {
    const Position p = f.Next();
    MaskBlendBlit32Mmx(f.dst32.data, f.dst32.pitch, p.x, p.y, kSprW, kSprH, f.spr32.data,
                       f.spr32.pitch, 0, 0, f.mask.data, f.mask.pitch, 0);
    benchmark::ClobberMemory();
  }, pixels * 4);
  AddBench("pixman_over_8888_8_x888", [&f] {
    Composite(f.spr32Image, f.maskImage, f.dst32Image, f.Next());
    benchmark::ClobberMemory();
  }, pixels * 4);

  AddBench("MaskBlendBlit565Mmx", [&f] {
    const Position p = f.Next();
    MaskBlendBlit565Mmx(f.dst16.data, f.dst16.pitch, p.x, p.y, kSprW, kSprH, f.spr16.data,
                        f.spr16.pitch, 0, 0, f.mask.data, f.mask.pitch, 0);
    benchmark::ClobberMemory();
  }, pixels * 2);
  AddBench("pixman_over_0565_8_0565", [&f] {
    Composite(f.spr16Image, f.maskImage, f.dst16Image, f.Next());
    benchmark::ClobberMemory();
  }, pixels * 2);
  // For reference only: pixman's fastest route to a 5-6-5 destination takes a 32-bit
  // sprite, which is not the same data.
  AddBench("pixman_over_8888_8_0565", [&f] {
    Composite(f.spr32Image, f.maskImage, f.dst16Image, f.Next());
    benchmark::ClobberMemory();
  }, pixels * 2);

  AddRatio("CopyBlit8", "memcpy8", "CopyBlit8/memcpy");
  AddRatio("CopyBlit16", "memcpy16", "CopyBlit16/memcpy");
  AddRatio("KeyedBlit32", "memcpy32", "KeyedBlit32/memcpy");
  AddRatio("BlendBlit32Mmx", "pixman_over_8888_n_x888", "BlendBlit32Mmx/pixman");
  AddRatio("MaskBlendBlit32Mmx", "pixman_over_8888_8_x888", "MaskBlendBlit32Mmx/pixman");
  AddRatio("MaskBlendBlit565Mmx", "pixman_over_0565_8_0565", "MaskBlendBlit565Mmx/pixman");
  return RunBenchMain(argc, argv);
}
