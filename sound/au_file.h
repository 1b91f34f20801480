// AU (".snd") files: a 28-byte header of big-endian words, then the samples.
//
//   offset  field        read                                  written
//   0       ".snd"       must match, else SOUND_BAD_HEADER     ".snd"
//   4       data offset  start of the samples                  28
//   8       data size    frames = size / block align           frames x block align
//   12      encoding     1 mu-law, 2 8-bit linear (signed),    2 / 3 by width,
//                        3 16-bit linear, 27 A-law             1 or 27 when asked
//   16      rate                                               rate
//   20      channels     1 or 2                                channels
//   24      annotation   ignored                               "mood"
#pragma once

#include "sound/sound_status.h"

#include <cstddef>
#include <cstdint>

#include "port/win32.h"

enum AuEncoding : std::uint32_t {
  AU_MULAW = 1,
  AU_LINEAR_8 = 2,
  AU_LINEAR_16 = 3,
  AU_ALAW = 27,
};

constexpr std::uint32_t kAuHeaderSize = 28;

struct AuHeader {
  std::uint32_t dataOffset = 0;
  std::uint32_t frames = 0;
  std::uint32_t encoding = 0;
  std::uint32_t rate = 0;
  std::uint32_t channels = 0;

  // Bytes of one frame in the file.
  std::uint32_t BlockAlign() const { return channels * (encoding == AU_LINEAR_16 ? 2 : 1); }
};

// SOUND_OK, SOUND_BAD_HEADER (short header, wrong magic, no channels or rate,
// more than two channels, samples past the end of the file), or
// SOUND_UNSUPPORTED_ENCODING.
[[nodiscard]] SoundStatus ParseAuHeader(const std::uint8_t* file, std::size_t size, AuHeader* out);

// The PCM format a sound read from the file has: the rate and channels, 8 bits
// for 8-bit linear data, else 16 (mu-law and A-law decode to 16-bit PCM).
void AuSoundFormat(const AuHeader& header, WAVEFORMATEX* format);
// The 8-bit format of mu-law or A-law data (tags 7 and 6), as a header-only
// load keeps it and the converter reads it.
void AuCompandedFormat(const AuHeader& header, WAVEFORMATEX* format);

// The header for frames of a sound with this rate and channels and encoding;
// false for an encoding other than the four.
bool WriteAuHeader(std::uint32_t encoding, std::uint32_t rate, std::uint32_t channels,
                   std::uint32_t frames, std::uint8_t header[kAuHeaderSize]);
