// Writes the seed corpora of the sound fuzz targets, made by our own writers:
// fuzz_sound_seeds OUTPUT_DIR. Kinds: wave (RIFF WAVE images with INFO texts,
// PCM and a compressed format with extra bytes), au (every encoding), aiff (8
// and 16 bits at several rates). The same files every time.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "sound/aiff_file.h"
#include "sound/au_file.h"
#include "sound/riff_wave.h"
#include "sound/wave_format.h"

namespace {

std::string g_root;

void Write(const std::string& kind, const std::string& name, const std::vector<std::uint8_t>& v) {
  const std::string dir = g_root + "/" + kind;
  mkdir(g_root.c_str(), 0777);
  mkdir(dir.c_str(), 0777);
  const std::string path = dir + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "fuzz_sound_seeds: cannot write %s\n", path.c_str());
    std::exit(1);
  }
  std::fwrite(v.data(), 1, v.size(), f);
  std::fclose(f);
}

std::vector<std::uint8_t> Noise(std::size_t n, std::mt19937& rng) {
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = std::uint8_t(rng());
  return v;
}

void WaveSeeds(std::mt19937& rng) {
  int n = 0;
  for (std::uint16_t bits : {8, 16}) {
    for (std::uint16_t channels : {1, 2}) {
      WAVEFORMATEX f;
      MakePcmFormat(&f, bits == 8 ? 22050 : 11025, bits, channels);
      const auto samples = Noise(7 + 13 * n, rng);
      std::string info[kInfoTagCount];
      info[n % kInfoTagCount] = "seed text";
      info[14] = "INAM" + std::to_string(n);
      Write("wave", "pcm" + std::to_string(n++),
            WriteRiffWave(f, samples.data(), std::uint32_t(samples.size()), info));
    }
  }
  // IMA ADPCM-like header: tag 0x11 with two extra bytes.
  std::uint8_t adpcm[20] = {};
  WAVEFORMATEX f;
  MakePcmFormat(&f, 22050, 4, 1);
  f.wFormatTag = 0x11;
  f.nBlockAlign = 256;
  f.nAvgBytesPerSec = 11100;
  f.cbSize = 2;
  std::memcpy(adpcm, &f, 18);
  adpcm[18] = 0xF9;
  adpcm[19] = 0x01;
  const auto samples = Noise(512, rng);
  Write("wave", "adpcm",
        WriteRiffWave(*reinterpret_cast<const WAVEFORMATEX*>(adpcm), samples.data(), 512, nullptr));
}

void AuSeeds(std::mt19937& rng) {
  for (std::uint32_t e : {AU_MULAW, AU_LINEAR_8, AU_LINEAR_16, AU_ALAW}) {
    for (std::uint32_t channels : {1u, 2u}) {
      std::vector<std::uint8_t> v(kAuHeaderSize);
      WriteAuHeader(e, 8000, channels, 9, v.data());
      const auto samples = Noise(9 * channels * (e == AU_LINEAR_16 ? 2 : 1), rng);
      v.insert(v.end(), samples.begin(), samples.end());
      Write("au", "enc" + std::to_string(e) + "-" + std::to_string(channels), v);
    }
  }
}

void AiffSeeds(std::mt19937& rng) {
  for (std::uint32_t bits : {8u, 16u}) {
    for (std::uint32_t rate : {8000u, 22050u, 48000u}) {
      std::vector<std::uint8_t> v(kAiffHeaderSize);
      const std::uint32_t channels = rate == 22050 ? 2 : 1;
      WriteAiffHeader(channels, bits, rate, 11, v.data());
      const auto samples = Noise(11 * channels * bits / 8, rng);
      v.insert(v.end(), samples.begin(), samples.end());
      Write("aiff", std::to_string(bits) + "-" + std::to_string(rate), v);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_sound_seeds OUTPUT_DIR\n");
    return 2;
  }
  g_root = argv[1];
  std::mt19937 rng(13);
  WaveSeeds(rng);
  AuSeeds(rng);
  AiffSeeds(rng);
  return 0;
}
