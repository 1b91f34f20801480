#include "mpadec/mpeg_test_files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "sound/riff_wave.h"
#include "sound/sound_test_support.h"

std::vector<MpegTestFile> MpegTestFiles() {
  std::vector<MpegTestFile> files;
  for (std::uint32_t rate : {16000u, 22050u, 32000u, 44100u, 48000u}) {
    for (std::uint32_t channels : {1u, 2u}) {
      const std::string stem = std::to_string(rate) + "_" + std::to_string(channels);
      files.push_back({stem + ".mp3", rate, channels, 3});
      files.push_back({stem + ".mp2", rate, channels, 2});
    }
  }
  return files;
}

std::string MpegTestPath(const std::string& name) {
  return std::string(TW_MPEG_TEST_DIR) + "/" + name;
}

std::vector<std::int16_t> ReferenceSamples(const std::string& name, std::uint32_t* rate,
                                           std::uint32_t* channels) {
  const std::vector<std::uint8_t> image = ReadWholeFile(MpegTestPath(name + ".wav").c_str());
  RiffWaveImage wave;
  std::vector<std::int16_t> samples;
  if (!ParseRiffWave(image.data(), image.size(), &wave) || wave.Format().wBitsPerSample != 16)
    return samples;
  *rate = wave.Format().nSamplesPerSec;
  *channels = wave.Format().nChannels;
  samples.resize(wave.dataSize / 2);
  std::memcpy(samples.data(), image.data() + wave.dataOffset, samples.size() * 2);
  return samples;
}

int LargestDifference(const std::uint8_t* pcm, std::size_t bytes,
                      const std::vector<std::int16_t>& reference, std::size_t first) {
  int largest = 0;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    const std::size_t at = first + i / 2;
    if (at >= reference.size()) return 65536;
    std::int16_t sample;
    std::memcpy(&sample, pcm + i, 2);
    largest = std::max(largest, std::abs(int(sample) - int(reference[at])));
  }
  return largest;
}
