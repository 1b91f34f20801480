// The MPEG test files make_test_files.sh writes at build time, and the host
// decoder's reading of each, for the target tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every test file: "RATE_CHANNELS.mp3" and ".mp2" for each rate and count.
struct MpegTestFile {
  std::string name;
  std::uint32_t rate;
  std::uint32_t channels;
  std::uint32_t layer;
};
std::vector<MpegTestFile> MpegTestFiles();

// The file's path for the Windows file functions.
std::string MpegTestPath(const std::string& name);

// The reference decoding (16-bit samples, interleaved); empty when unreadable.
// rate and channels receive the reference's format.
std::vector<std::int16_t> ReferenceSamples(const std::string& name, std::uint32_t* rate,
                                           std::uint32_t* channels);

// The largest |pcm[i] - reference[first + i]| over pcm's samples (16-bit
// little-endian bytes); a sample past the reference's end counts as 65536.
int LargestDifference(const std::uint8_t* pcm, std::size_t bytes,
                      const std::vector<std::int16_t>& reference, std::size_t first);
