// The mixer's kernels: four looping voices at a level below full mixed into
// one 45 ms buffer at a time (22050 Hz mono, 8 and 16 bits), per kernel set.
// Prints how many times faster than real time one core mixes them,
//   mix_realtime_8 X, mix_realtime_16 X       (the "MMX" set, done in SSE2)
//   mix_realtime_8_portable X, mix_realtime_16_portable X
// and the ratios of the two sets.
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "sound/mix_board.h"
#include "sound/mix_test_voice.h"
#include "sound/wave_format.h"

namespace {

constexpr std::uint32_t kRate = 22050;
constexpr int kVoices = 4;

// Four voices of different lengths, so that their loops wrap at different places.
struct MixCase {
  std::vector<std::vector<std::uint8_t>> sounds;
  MixBoard board{1};
  std::vector<std::unique_ptr<MixTestVoice>> voices;
  std::vector<std::uint8_t> out;
  MixKernel kernel;
  std::uint32_t buffer;

  MixCase(std::uint32_t bits, std::uint32_t set) {
    WAVEFORMATEX f;
    MakePcmFormat(&f, kRate, std::uint16_t(bits), 1);
    buffer = (45 * f.nAvgBytesPerSec / 1000) & ~3u;
    kernel = SelectMixKernel(OutputFormatCode(f), set);
    std::mt19937 rng(bits);
    for (int v = 0; v < kVoices; ++v) {
      std::vector<std::uint8_t> s(f.nAvgBytesPerSec + 1000 * v);
      for (auto& b : s) b = std::uint8_t(rng());
      sounds.push_back(std::move(s));
    }
    for (const auto& s : sounds) {
      voices.emplace_back(new MixTestVoice(&board, s, true, buffer));
      board.SetVoiceVolume(voices.back().get(), -300);
    }
    out.resize(buffer);
  }
  void Run() { board.Mix(kernel, out.data(), buffer); }
};

void AddSet(std::uint32_t bits, std::uint32_t set, const std::string& name,
            const std::string& label) {
  auto mix = std::make_shared<MixCase>(bits, set);
  AddBench(name, [mix] { mix->Run(); }, mix->buffer);
  AddRate(name, label, double(kRate) * bits / 8);
}

}  // namespace

int main(int argc, char** argv) {
  AddSet(8, MIX_KERNELS_MMX, "MixSse2_8", "mix_realtime_8");
  AddSet(8, MIX_KERNELS_PORTABLE, "MixPortable_8", "mix_realtime_8_portable");
  AddSet(16, MIX_KERNELS_MMX, "MixSse2_16", "mix_realtime_16");
  AddSet(16, MIX_KERNELS_PORTABLE, "MixPortable_16", "mix_realtime_16_portable");
  AddRatio("MixSse2_8", "MixPortable_8", "MixSse2/MixPortable");
  AddRatio("MixSse2_16", "MixPortable_16", "MixSse2_16/MixPortable_16");
  return RunBenchMain(argc, argv);
}
