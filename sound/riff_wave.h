// RIFF WAVE images in memory, read and written as plain bytes.
//
//   "RIFF" size "WAVE"           the first chunk; its form type is not examined
//     "fmt " size WAVEFORMATEX   16 bytes or more; kept in max(size, 18) zeroed bytes
//     ... other chunks ...
//     "data" size samples        searched for after "fmt "
//     "LIST" size "INFO"         optional, after "data"
//       "INAM" size text NUL     one chunk per tag of kInfoTags, any order
//
// Chunk sizes are little-endian 32-bit counts of the contents; a chunk of odd
// size is followed by one pad byte. Everything is untrusted: a chunk is only
// used when its contents lie inside the image, a "data" chunk that claims more
// bytes than the image holds rejects the image, and so does a format whose
// extra bytes are missing or whose block align or byte rate is 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "port/win32.h"

constexpr int kInfoTagCount = 23;
// The INFO tags in the order a Sound keeps them.
extern const char* const kInfoTags[kInfoTagCount];
// The tag's index in kInfoTags, or -1.
int InfoTagIndex(const char* tag);

struct RiffWaveImage {
  std::vector<std::uint8_t> format;  // max(chunk size, 18) bytes, a WAVEFORMATEX at the start
  std::uint32_t dataOffset = 0;      // of the first sample byte in the image
  std::uint32_t dataSize = 0;
  std::string info[kInfoTagCount];   // empty = absent

  const WAVEFORMATEX& Format() const {
    return *reinterpret_cast<const WAVEFORMATEX*>(format.data());
  }
};

// True when the image holds a usable "fmt " and "data" pair; the INFO texts are
// read when present (up to their first NUL).
bool ParseRiffWave(const std::uint8_t* image, std::size_t size, RiffWaveImage* out);

// A RIFF WAVE image: the format (its stored size), the samples, and a LIST
// INFO chunk with every non-empty text of info (null: none), each with its
// terminating NUL.
std::vector<std::uint8_t> WriteRiffWave(const WAVEFORMATEX& format, const std::uint8_t* data,
                                        std::uint32_t size, const std::string* info);
