// AIFF files, big-endian throughout:
//
//   "FORM" size "AIFF"
//     "COMM" 18  channels(16) frames(32) sample size(16) rate(80-bit extended)
//     "SSND" size offset(32) block size(32) samples from contents + 8 + offset
//
// Chunks are found by walking from offset 12 (an odd-sized chunk is followed by
// a pad byte). Of the rate only the exponent and the top 16 mantissa bits m
// count: exponents 0x4009 ... 0x4011 give m >> (0x400E - e) or m << (e - 0x400E);
// any other exponent is a bad header. The frame count comes from the "SSND"
// size: (size - 8) / block align. 8-bit samples are signed.
#pragma once

#include "sound/sound_status.h"

#include <cstddef>
#include <cstdint>

#include "port/win32.h"

constexpr std::uint32_t kAiffHeaderSize = 54;

struct AiffInfo {
  std::uint32_t channels = 0;
  std::uint32_t bits = 0;  // 8, or 16 for any other sample size
  std::uint32_t rate = 0;
  std::uint32_t frames = 0;
  std::uint32_t dataOffset = 0;

  std::uint32_t BlockAlign() const { return channels * bits / 8; }
};

// SOUND_OK or SOUND_BAD_HEADER (no "FORM"/"AIFF", a missing or short "COMM" or
// "SSND", an unknown rate exponent, no or more than two channels, samples past
// the end of the file).
[[nodiscard]] SoundStatus ParseAiff(const std::uint8_t* file, std::size_t size, AiffInfo* out);

// The rate as the reader takes it from the exponent and top mantissa bits; 0
// for an exponent it does not know.
std::uint32_t AiffRateFromExtended(std::uint16_t exponent, std::uint16_t mantissaTop);
// The extended form of a rate (normalised: the top mantissa bit set), 0/0 for 0.
void AiffRateToExtended(std::uint32_t rate, std::uint16_t* exponent, std::uint16_t* mantissaTop);

// The 54-byte header in front of frames x channels x bits / 8 sample bytes.
void WriteAiffHeader(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate,
                     std::uint32_t frames, std::uint8_t header[kAiffHeaderSize]);
