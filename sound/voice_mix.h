// One buffer of the mix: every playing voice read, scaled and added.
//
// Volume and pan are in units where a level L gives the gain g = 2^(L/1000).
// Gains are 16-bit factors trunc(32767 x g); a pan > 0 lowers the left
// channel by 0.5^(pan/1000), a pan < 0 the right by 0.5^(-pan/1000). Scaling
// is skipped when every factor in use is 32767.
#pragma once

#include <cstdint>

#include "gfx/list.h"
#include "sound/mix_kernel.h"

class SampleStream;

struct MixGains {
  std::int32_t left;
  std::int32_t right;
  bool full;  // every factor in use is 32767: no scaling
};

MixGains ComputeMixGains(std::int32_t volume, std::int32_t pan, std::uint32_t channels);

// Reads n bytes of a voice into its scratch. At the end of the stream a
// looping voice rewinds and reads on; a voice that does not loop has the rest
// filled with 0x7F (8-bit) or 0 (16-bit) and must stop. A voice whose stream
// gives nothing at all must stop too, and what could not be read is silence.
// Returns true when the voice must stop.
bool ReadVoiceSamples(SampleStream* stream, bool loop, std::uint8_t* scratch, std::uint32_t n,
                      std::uint32_t bits);

// One kernel call: n = request rounded down to a multiple of 8 bytes of dst
// mixed from the MixInput pointers of `playing` (each may leave the list);
// 8-bit results unsigned. Returns n.
std::uint32_t MixVoices(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t request,
                        const List& playing);

// Fills up to capacity bytes by kernel calls of at most bufferBytes each,
// until one returns 0; returns the bytes filled.
std::uint32_t FillMixBuffer(const MixKernel& kernel, std::uint8_t* dst, std::uint32_t capacity,
                            std::uint32_t bufferBytes, const List& playing);
