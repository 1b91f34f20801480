// The SSE2 forms of the bilinear scaling kernels (scale_sse2.cpp, run only when
// CpuHasSse2()) and their SSSE3 forms (scale_ssse3.cpp, run only when CpuHasSsse3()),
// for the kernel table and for tests that compare them with the portable forms.
#pragma once

#include "pixel/scale.h"
#include "pixel/simd_entry.h"

TW_SIMD_ENTRY void ScaleBilinear32Sse2(std::uint8_t* dst, std::int32_t dstPitch,
                                       const std::uint8_t* src, std::int32_t srcPitch,
                                       const ScaleGeometry& g, const ScaleRect& r);
TW_SIMD_ENTRY void ScaleBilinear555Sse2(std::uint8_t* dst, std::int32_t dstPitch,
                                        const std::uint8_t* src, std::int32_t srcPitch,
                                        const ScaleGeometry& g, const ScaleRect& r);
TW_SIMD_ENTRY void ScaleBilinear565Sse2(std::uint8_t* dst, std::int32_t dstPitch,
                                        const std::uint8_t* src, std::int32_t srcPitch,
                                        const ScaleGeometry& g, const ScaleRect& r);
TW_SIMD_ENTRY void ScaleBilinear32Ssse3(std::uint8_t* dst, std::int32_t dstPitch,
                                        const std::uint8_t* src, std::int32_t srcPitch,
                                        const ScaleGeometry& g, const ScaleRect& r);
TW_SIMD_ENTRY void ScaleBilinear555Ssse3(std::uint8_t* dst, std::int32_t dstPitch,
                                         const std::uint8_t* src, std::int32_t srcPitch,
                                         const ScaleGeometry& g, const ScaleRect& r);
TW_SIMD_ENTRY void ScaleBilinear565Ssse3(std::uint8_t* dst, std::int32_t dstPitch,
                                         const std::uint8_t* src, std::int32_t srcPitch,
                                         const ScaleGeometry& g, const ScaleRect& r);
