#pragma once
// RIFF WAVE images of mono PCM: written for the resource library, read back
// for checks and for `rera extract`.
//
//   "RIFF" size "WAVE"
//   "fmt " 16: format tag 1 (PCM), channels, rate, bytes per second, block
//              align, bits per sample (all little-endian)
//   "data" n:  the samples (a pad byte when n is odd)
//   "LIST" "INFO": "INAM" the title, "ISFT" the tool, each zero-terminated

#include <cstdint>
#include <string>
#include <vector>

std::vector<std::uint8_t> WriteWave(const std::vector<std::uint8_t>& pcm, int rate, int bits,
                                    const std::string& title);

struct WaveInfo {
  int formatTag = 0;
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::size_t dataOffset = 0;
  std::size_t dataBytes = 0;
  std::string title;
};

// Parses a RIFF WAVE image; false when it is malformed or a chunk runs past
// the end of the image.
bool ReadWave(const std::uint8_t* data, std::size_t size, WaveInfo* out);
