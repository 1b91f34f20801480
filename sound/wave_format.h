// Helpers over WAVEFORMATEX shared by the streams, the sound files and the
// mixer: the PCM format builder, a format's stored size, and the mixer's
// output format codes
//   1 = 8-bit mono, 2 = 8-bit stereo, 3 = 16-bit mono, 4 = 16-bit stereo,
//   0 = anything else (another tag, width or channel count).
#pragma once

#include <cstdint>
#include <vector>

#include "port/win32.h"

// Tag 1, the channels, the rate modulo 65536, block align channels x bits / 8,
// average bytes per second = (rate modulo 65536) x block align, extra size 0.
void MakePcmFormat(WAVEFORMATEX* format, std::uint32_t rate, std::uint16_t bits,
                   std::uint16_t channels);

// 18 bytes for PCM, else 18 + the extra size.
std::uint32_t FormatStoredSize(const WAVEFORMATEX& format);
// A format copied whole: its stored size.
std::vector<std::uint8_t> CopyFormat(const WAVEFORMATEX* format);
inline const WAVEFORMATEX* AsFormat(const std::vector<std::uint8_t>& bytes) {
  return reinterpret_cast<const WAVEFORMATEX*>(bytes.data());
}

std::uint32_t OutputFormatCode(const WAVEFORMATEX& format);
// 1 -> 1, 2 -> 2, 3 -> 2, 4 -> 4, anything else -> 0.
std::uint32_t BytesPerFrameOfCode(std::uint32_t code);

// Tag, rate, bits per sample and channels all equal: no conversion is needed.
bool SameSampleLayout(const WAVEFORMATEX& a, const WAVEFORMATEX& b);
