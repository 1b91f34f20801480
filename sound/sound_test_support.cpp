#include "sound/sound_test_support.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "sound/wave_format.h"

WAVEFORMATEX Pcm(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels) {
  WAVEFORMATEX f;
  MakePcmFormat(&f, rate, bits, channels);
  return f;
}

std::vector<std::uint8_t> Sine16(std::uint32_t frames, std::uint32_t channels, double hz,
                                 std::uint32_t rate, double amplitude) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto v = std::int16_t(std::lround(amplitude * std::sin(6.283185307179586 * hz * i / rate)));
    for (std::uint32_t c = 0; c < channels; ++c) {
      out.push_back(std::uint8_t(v));
      out.push_back(std::uint8_t(std::uint16_t(v) >> 8));
    }
  }
  return out;
}

std::vector<std::uint8_t> Sine8(std::uint32_t frames, std::uint32_t channels, double hz,
                                std::uint32_t rate) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto v = std::uint8_t(128 + std::lround(100 * std::sin(6.283185307179586 * hz * i / rate)));
    for (std::uint32_t c = 0; c < channels; ++c) out.push_back(v);
  }
  return out;
}

TempPath::TempPath(const char* extension) {
  char dir[MAX_PATH], name[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "TWS", 0, name);
  DeleteFileA(name);
  path_ = std::string(name) + "." + extension;
}

TempPath::~TempPath() { DeleteFileA(path_.c_str()); }

std::vector<std::uint8_t> ReadWholeFile(const char* path) {
  std::vector<std::uint8_t> bytes;
  FILE* f = std::fopen(path, "rb");
  if (!f) return bytes;
  std::uint8_t buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

bool WriteWholeFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::vector<std::uint8_t> ReadCapture(std::uint32_t rate, std::uint32_t channels,
                                      std::uint32_t bits) {
  const char* dir = std::getenv("TW_SOUND_CAPTURE");
  if (!dir) return {};
  std::string path = std::string("Z:") + dir + "\\cap_" + std::to_string(rate) + "_" +
                     std::to_string(channels) + "_" + std::to_string(bits) +
                     (bits == 8 ? "_U8.raw" : "_S16_LE.raw");
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return ReadWholeFile(path.c_str());
}

std::int64_t FindBytes(const std::vector<std::uint8_t>& haystack,
                       const std::vector<std::uint8_t>& needle) {
  if (needle.empty() || needle.size() > haystack.size()) return -1;
  const auto at = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
  return at == haystack.end() ? -1 : at - haystack.begin();
}
