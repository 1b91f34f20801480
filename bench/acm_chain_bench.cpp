// The format chain a library sound takes on its way to the mixer: 16-bit
// 16000 Hz mono through the platform's audio compression manager to 8-bit
// 22050 Hz mono, read 992 bytes (one 45 ms mix buffer) at a time. Ten seconds
// of sound, the chain opened anew for each of seven runs; prints the median
// run as how many times faster than real time one core converts:
//
//   acm_chain_realtime X
//
// Run under Wine by scripts/bench.sh.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "gfx/wrapped_memory_block.h"
#include "sound/format_chain.h"
#include "sound/memory_stream.h"
#include "sound/wave_format.h"

namespace {

constexpr std::uint32_t kSourceRate = 16000;
constexpr std::uint32_t kTargetRate = 22050;
constexpr std::uint32_t kSeconds = 10;
constexpr std::uint32_t kMixBuffer = 992;
constexpr int kRuns = 7;

double Seconds() {
  LARGE_INTEGER frequency, t;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A sine under noise, so that no run of equal samples makes the work easier.
std::vector<std::int16_t> Source() {
  std::vector<std::int16_t> samples(kSourceRate * kSeconds);
  std::uint32_t noise = 12345;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    noise = noise * 1103515245u + 12345u;
    const double tone = 12000.0 * std::sin(2 * 3.14159265358979 * 440.0 * double(i) / kSourceRate);
    samples[i] = std::int16_t(tone + double(int(noise >> 20) - 2048));
  }
  return samples;
}

// Seconds to convert the whole source, or a negative number when the chain
// delivered less than it should.
double OneRun(std::vector<std::int16_t>& source, const WAVEFORMATEX& from,
              const WAVEFORMATEX& to) {
  const auto bytes = std::uint32_t(source.size() * 2);
  const double start = Seconds();
  FormatChain chain(&from, &to,
                    new MemoryStream(new WrappedMemoryBlock(source.data(), bytes, false, true), true));
  std::uint8_t buffer[kMixBuffer];
  std::uint64_t total = 0;
  while (const std::uint32_t n = chain.Read(buffer, kMixBuffer)) total += n;
  const double elapsed = Seconds() - start;
  // Nearest-sample rate change: one sample of drift per conversion piece at most.
  const std::uint64_t expected = std::uint64_t(kTargetRate) * kSeconds;
  if (chain.StageCount() == 0 || total + 64 < expected) return -1;
  return elapsed;
}

}  // namespace

int main() {
  std::vector<std::int16_t> source = Source();
  WAVEFORMATEX from, to;
  MakePcmFormat(&from, kSourceRate, 16, 1);
  MakePcmFormat(&to, kTargetRate, 8, 1);
  std::vector<double> runs;
  for (int i = 0; i < kRuns; ++i) {
    const double t = OneRun(source, from, to);
    if (t <= 0) {
      std::printf("acm_chain_failed\n");
      return 1;
    }
    runs.push_back(t);
  }
  std::sort(runs.begin(), runs.end());
  const double median = runs[kRuns / 2];
  std::printf("acm_chain_ms %.2f\n", median * 1000.0);
  std::printf("acm_chain_realtime %.0f\n", kSeconds / median);
  return 0;
}
