// Helpers of the target sound tests: generated sample data, WAVE images and
// temporary file names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "port/win32.h"

// A PCM format of this rate, width and channel count.
WAVEFORMATEX Pcm(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels);
// A sine of `frames` frames, 16-bit, every channel the same.
std::vector<std::uint8_t> Sine16(std::uint32_t frames, std::uint32_t channels, double hz,
                                 std::uint32_t rate, double amplitude);
// The same as unsigned 8-bit.
std::vector<std::uint8_t> Sine8(std::uint32_t frames, std::uint32_t channels, double hz,
                                std::uint32_t rate);
// A new temporary file name with this extension; the file is removed by the
// destructor.
class TempPath {
 public:
  explicit TempPath(const char* extension);
  ~TempPath();
  const char* c_str() const { return path_.c_str(); }

 private:
  std::string path_;
};
std::vector<std::uint8_t> ReadWholeFile(const char* path);
bool WriteWholeFile(const char* path, const std::vector<std::uint8_t>& bytes);

// What the recorded wave-out device played at this rate, channel count and
// width (sound-exec.sh records it), read after the device was closed.
std::vector<std::uint8_t> ReadCapture(std::uint32_t rate, std::uint32_t channels,
                                      std::uint32_t bits);
// Where needle occurs in haystack, or -1.
std::int64_t FindBytes(const std::vector<std::uint8_t>& haystack,
                       const std::vector<std::uint8_t>& needle);
