// The SSE2 bodies of the "MMX" mix kernels (mix_sse2.cpp). Each handles whole
// 16-byte groups from the start and returns how many bytes it did; the caller
// finishes the rest with the plain form of the same arithmetic. Called only
// after CpuHasSse2().
#pragma once

#include <cstdint>

std::uint32_t AccumulateMix8Sse2(std::uint8_t* mix, const std::uint8_t* samples,
                                 std::uint32_t bytes, std::int32_t gainLeft,
                                 std::int32_t gainRight, bool scale);
std::uint32_t AccumulateMix16Sse2(std::uint8_t* mix, const std::uint8_t* samples,
                                  std::uint32_t bytes, std::int32_t gainLeft,
                                  std::int32_t gainRight, bool scale);
std::uint32_t FinishMix8Sse2(std::uint8_t* mix, std::uint32_t bytes);
