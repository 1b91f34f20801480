#include "bench/bench_support.h"

#include <cstdlib>
#include <random>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

struct RatioLine {
  std::string a, b, label;
};

static std::vector<RatioLine>& Ratios() {
  static std::vector<RatioLine> ratios;
  return ratios;
}

struct RateLine {
  std::string name, label;
  double bytesPerUnit;
};

static std::vector<RateLine>& Rates() {
  static std::vector<RateLine> rates;
  return rates;
}

// Each case runs this many times; its median goes into the ratios, so that a burst of
// load from elsewhere on the machine does not decide a comparison.
constexpr int kRepetitions = 5;

void AddBench(const std::string& name, std::function<void()> body,
              std::int64_t bytesPerIteration) {
  benchmark::RegisterBenchmark(name.c_str(), [body, bytesPerIteration](benchmark::State& state) {
    for (auto _ : state) body();
    if (bytesPerIteration > 0) state.SetBytesProcessed(state.iterations() * bytesPerIteration);
  })
      ->Repetitions(kRepetitions)
      ->DisplayAggregatesOnly(true);
}

void AddRate(const std::string& name, const std::string& label, double bytesPerUnit) {
  Rates().push_back({name, label, bytesPerUnit});
}

void AddRatio(const std::string& a, const std::string& b, const std::string& label) {
  Ratios().push_back({a, b, label.empty() ? a + "/" + b : label});
}

// The console reporter that also keeps each case's median throughput. No colour, so that
// every line of the output (the ratio lines above all) starts with its text.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  RecordingReporter() : ConsoleReporter(OO_Tabular) {}
  std::map<std::string, double> bytesPerSecond;
  std::map<std::string, double> itemsPerSecond;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
      const std::string name = run.run_name.function_name;
      const auto bytes = run.counters.find("bytes_per_second");
      if (bytes != run.counters.end()) bytesPerSecond[name] = bytes->second;
      // An aggregate's accumulated time is already the statistic of the time per
      // iteration.
      if (run.real_accumulated_time > 0) itemsPerSecond[name] = 1.0 / run.real_accumulated_time;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  double Rate(const std::string& name, double bytesPerUnit) const {
    const auto bytes = bytesPerSecond.find(name);
    return bytes == bytesPerSecond.end() ? std::nan("") : bytes->second / bytesPerUnit;
  }

  double Ratio(const std::string& a, const std::string& b) const {
    const auto ba = bytesPerSecond.find(a), bb = bytesPerSecond.find(b);
    if (ba != bytesPerSecond.end() && bb != bytesPerSecond.end() && bb->second > 0) {
      return ba->second / bb->second;
    }
    const auto ia = itemsPerSecond.find(a), ib = itemsPerSecond.find(b);
    if (ia != itemsPerSecond.end() && ib != itemsPerSecond.end() && ib->second > 0) {
      return ia->second / ib->second;
    }
    return std::nan("");
  }
};

int RunBenchMain(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (const RatioLine& line : Ratios()) {
    std::printf("ratio %s %.3f\n", line.label.c_str(), reporter.Ratio(line.a, line.b));
  }
  for (const RateLine& line : Rates()) {
    std::printf("%s %.1f\n", line.label.c_str(), reporter.Rate(line.name, line.bytesPerUnit));
  }
  std::fflush(stdout);
  return 0;
}

BenchPixels::BenchPixels(int w, int h, int b)
    : width(w), height(h), bytes(b), pitch((w * b + 15) / 16 * 16) {
  const std::size_t size = (std::size_t(pitch) * h + 63) / 64 * 64;
  data = static_cast<std::uint8_t*>(std::aligned_alloc(64, size));
  std::mt19937 rng(std::uint32_t(w * 7 + h * 3 + b));
  for (std::size_t i = 0; i < size; ++i) data[i] = std::uint8_t(rng());
}

BenchPixels::~BenchPixels() { std::free(data); }
