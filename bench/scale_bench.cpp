// Bilinear scaling against pixman: a 1024 x 768 picture scaled to 1440 x 1080 (a scene
// filling a 1920 x 1080 screen), whole, with the edge pixels repeated on both sides:
//   ScaleBilinear32 / pixman SRC x8r8g8b8 -> x8r8g8b8, PIXMAN_FILTER_BILINEAR, REPEAT_PAD,
//   ScaleBilinear565 / the same on r5g6b5,
// each with the kernel the processor gets (SSSE3 here), the SSE2 form against the
// portable one and the SSSE3 form against the SSE2 one.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>

#include "bench/bench_support.h"
#include "pixel/cpu_features.h"
#include "pixel/pixel_format.h"
#include "pixel/scale.h"

namespace {

constexpr int kSrcW = 1024, kSrcH = 768, kDstW = 1440, kDstH = 1080;

void AddOurs(const char* name, ScaleKernel kernel, int bytes) {
  auto* src = new BenchPixels(kSrcW, kSrcH, bytes);
  auto* dst = new BenchPixels(kDstW, kDstH, bytes);
  const ScaleGeometry g = {kSrcW, kSrcH, kDstW, kDstH};
  AddBench(name, [=] {
    kernel(dst->data, dst->pitch, src->data, src->pitch, g, {0, 0, kDstW, kDstH});
    benchmark::DoNotOptimize(dst->data[0]);
  }, std::int64_t(kDstW) * kDstH * bytes);
}

void AddPixman(const char* name, pixman_format_code_t format, int bytes) {
  auto* src = new BenchPixels(kSrcW, kSrcH, bytes);
  auto* dst = new BenchPixels(kDstW, kDstH, bytes);
  pixman_image_t* s = pixman_image_create_bits(
      format, kSrcW, kSrcH, reinterpret_cast<std::uint32_t*>(src->data), src->pitch);
  pixman_image_t* d = pixman_image_create_bits(
      format, kDstW, kDstH, reinterpret_cast<std::uint32_t*>(dst->data), dst->pitch);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(double(kSrcW) / kDstW),
                              pixman_double_to_fixed(double(kSrcH) / kDstH));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
  AddBench(name, [=] {
    pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, kDstW, kDstH);
    benchmark::DoNotOptimize(dst->data[0]);
  }, std::int64_t(kDstW) * kDstH * bytes);
}

}  // namespace

int main(int argc, char** argv) {
  const bool sse2 = CpuHasSse2(), ssse3 = CpuHasSsse3();
  const ScaleChoice k32 = SelectScaleKernel({PIXEL_RGB32, true, sse2, ssse3});
  const ScaleChoice k565 = SelectScaleKernel({PIXEL_RGB565, true, sse2, ssse3});
  AddOurs("ScaleBilinear32", k32.kernel, 4);
  AddOurs("ScaleBilinear32Sse2", SelectScaleKernel({PIXEL_RGB32, true, sse2, false}).kernel, 4);
  AddOurs("ScaleBilinear32Portable", ScaleBilinear32, 4);
  AddPixman("pixman/bilinear32", PIXMAN_x8r8g8b8, 4);
  AddOurs("ScaleBilinear565", k565.kernel, 2);
  AddPixman("pixman/bilinear565", PIXMAN_r5g6b5, 2);
  AddRatio("ScaleBilinear32", "pixman/bilinear32", "ScaleBilinear32/pixman");
  AddRatio("ScaleBilinear565", "pixman/bilinear565", "ScaleBilinear565/pixman");
  AddRatio("ScaleBilinear32Sse2", "ScaleBilinear32Portable", "ScaleSse2/ScalePortable");
  AddRatio("ScaleBilinear32", "ScaleBilinear32Sse2", "ScaleSsse3/ScaleSse2");
  return RunBenchMain(argc, argv);
}
