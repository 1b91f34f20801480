// The mixer's sample kernels and their choice, written as data: one row per
// sample width, {portable kernels, "MMX" kernels}, picked by the output format
// code (1 to 4) and the kernel set (mix_kernel.cpp).
//
// A voice's samples go into the mix in one pass (accumulate):
//   flip   8-bit only: unsigned samples to signed (bit 7 flipped);
//   scale  unless the voice is at full level, by the gain of the sample's
//          channel (even samples left, odd right; gains 0 ... 32767):
//            portable 8-bit   s <- (s x (G >> 8)) >> 8
//            "MMX" 8-bit      s <- ((s x 256) x G >> 16) >> 8  = (s x G) >> 16
//            16-bit, both     s <- (s x G) >> 16
//          (arithmetic shifts: results round toward minus infinity);
//   add    into the mix with signed saturation.
// The finished 8-bit mix is flipped back to unsigned (finish).
// The "MMX" set is done with SSE2, eight bytes or more per step, when the
// processor has it (CpuHasSse2) and by the same arithmetic in plain code
// otherwise; either way it gives exactly the results above.
#pragma once

#include <cstdint>

enum MixKernelSet : std::uint32_t {
  MIX_KERNELS_PORTABLE = 0,
  MIX_KERNELS_MMX = 1,
};

// Adds bytes of a voice's samples (as read from its stream) into the signed mix;
// scale false: the voice is at full level.
using MixAccumulateFn = void (*)(std::uint8_t* mix, const std::uint8_t* samples,
                                 std::uint32_t bytes, std::int32_t gainLeft,
                                 std::int32_t gainRight, bool scale);
using MixFinishFn = void (*)(std::uint8_t* mix, std::uint32_t bytes);

struct MixKernel {
  const char* name;  // for tests and diagnostics; "none" when there is no kernel
  std::uint32_t bits;
  std::uint32_t channels;
  MixAccumulateFn accumulate;
  MixFinishFn finish;  // null for 16-bit

  bool Valid() const { return accumulate != nullptr; }
};

// The kernel of an output format code; code 0 (or any other) has none.
MixKernel SelectMixKernel(std::uint32_t code, std::uint32_t set);

// The portable kernels.
void AccumulateMix8(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                    std::int32_t gainLeft, std::int32_t gainRight, bool scale);
void AccumulateMix16(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                     std::int32_t gainLeft, std::int32_t gainRight, bool scale);
void FinishMix8(std::uint8_t* mix, std::uint32_t bytes);

// The "MMX" kernels.
void AccumulateMix8Mmx(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                       std::int32_t gainLeft, std::int32_t gainRight, bool scale);
void AccumulateMix16Mmx(std::uint8_t* mix, const std::uint8_t* samples, std::uint32_t bytes,
                        std::int32_t gainLeft, std::int32_t gainRight, bool scale);
void FinishMix8Mmx(std::uint8_t* mix, std::uint32_t bytes);
