// Scaling kernels: a whole source picture of srcWidth x srcHeight scaled onto a
// destination of dstWidth x dstHeight, computing only one destination rectangle.
//
// Every destination pixel depends on its own coordinates alone, never on the rectangle
// asked for, so scaling the dirty rectangles of a frame one by one gives exactly the
// pixels of the whole picture scaled at once: there are no seams.
//
// Sampling: destination pixel x looks at the source position
//   u = (x + 1/2) * srcWidth / dstWidth - 1/2
// (pixel centres on pixel centres), in 1/128 steps, rounded down:
//   u128 = floor((2x + 1) * srcWidth * 64 / dstWidth) - 64
//   x0 = floor(u128 / 128), wx = u128 - 128 * x0 (0..127), x1 = x0 + 1,
// and outside the picture the edge pixel repeats (u below 0 reads column 0 only; past
// the last column, the last column only). Rows likewise with y0, y1, wy.
//
// Bilinear (ScaleBilinear*), per 8-bit channel, across first, then down:
//   top    = (A * (128 - wx) + B * wx + 64) >> 7      A = (x0, y0), B = (x1, y0)
//   bottom = (C * (128 - wx) + D * wx + 64) >> 7      C = (x0, y1), D = (x1, y1)
//   out    = (top * (128 - wy) + bottom * wy + 64) >> 7
// (Seven bits of weight keep every sum within a signed 16-bit lane.)
// 32-bit pixels take all four bytes as channels. 16-bit pixels widen each channel to
// 8 bits first by repeating its top bits (5 bits c: c << 3 | c >> 2; 6 bits: c << 2 |
// c >> 4) and narrow the result by dropping the low bits.
// Nearest (ScaleNearest*): the pixel at (round(u), round(v)), that is x0 + (wx >= 64),
// clamped to the picture; for palette indices, where no mixing has a meaning.
//
// The SSE2 forms (Sse2 suffix, scale_sse2.cpp) and the SSSE3 forms (Ssse3 suffix,
// scale_ssse3.cpp) give exactly the portable results; they run only when CpuHasSse2() or
// CpuHasSsse3() holds, and TW_NO_SIMD turns them off.
#pragma once

#include <cstdint>

struct ScaleGeometry {
  std::int32_t srcWidth, srcHeight;  // the whole source picture, both at least 1
  std::int32_t dstWidth, dstHeight;  // the whole destination picture, both at least 1
};

struct ScaleRect {
  std::int32_t x, y, width, height;
};

// Computes the destination rectangle r (inside the destination picture, not empty) of
// the scaled picture. src points at the source's pixel (0, 0), dst at the destination's
// pixel (0, 0); pitches may be negative (bottom-up pictures).
using ScaleKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                             std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r);

void ScaleBilinear32(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                     std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r);
void ScaleBilinear555(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                      std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r);
void ScaleBilinear565(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                      std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r);
void ScaleNearest8(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                   std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r);
void ScaleNearest16(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                    std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r);
void ScaleNearest32(std::uint8_t* dst, std::int32_t dstPitch, const std::uint8_t* src,
                    std::int32_t srcPitch, const ScaleGeometry& g, const ScaleRect& r);

// The sampling position of destination coordinate d along one axis (source size s,
// destination size n): the first source index, the second (equal at the edges) and the
// weight of the second, 0..127.
struct ScaleTap {
  std::int32_t first, second, weight;
};
ScaleTap ScaleTapAt(std::int32_t d, std::int32_t s, std::int32_t n);

// The destination rectangle whose pixels read any pixel of the source rectangle r,
// clipped to the destination; what a change of r in the source makes dirty in the
// destination. Empty (width or height 0) when r is.
ScaleRect ScaledDirtyRect(const ScaleGeometry& g, const ScaleRect& r);

// Choosing a kernel, written as data (scale.cpp): rows {pixel depth, 5-6-5 layout,
// smooth, portable kernel, SSE2 kernel, SSSE3 kernel}, first match wins.
//   depth  smooth   portable            with SSE2              with SSSE3
//   8      any      ScaleNearest8       same                   same
//   16     yes      ScaleBilinear555 / ScaleBilinear565 (by layout), their Sse2 and Ssse3 forms
//   16     no       ScaleNearest16      same                   same
//   32     yes      ScaleBilinear32     ScaleBilinear32Sse2    ScaleBilinear32Ssse3
//   32     no       ScaleNearest32      same                   same
// Other depths have no kernel (null).
struct ScaleRequest {
  std::uint16_t type;  // pixel type of both pictures
  bool smooth;         // bilinear where the depth allows it, else nearest
  bool sse2;           // the processor has SSE2 (CpuHasSse2())
  bool ssse3;          // the processor has SSSE3 (CpuHasSsse3())
};
struct ScaleChoice {
  ScaleKernel kernel;
  const char* name;  // for tests and diagnostics
};
ScaleChoice SelectScaleKernel(const ScaleRequest& request);
