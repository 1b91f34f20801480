// Shared driver for the benchmark programs: cases are registered with Google Benchmark
// (through AddBench or its own macros), run once, and then every registered comparison is
// printed as one line
//     ratio A/B V
// where V is the throughput of case A divided by the throughput of case B in this run
// (bytes per second when both cases report bytes, else iterations per second). Cases of
// one comparison must process the same data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Pixel memory that pixman can wrap: 64-byte aligned, its pitch a multiple of 16 bytes,
// filled with random bytes seeded by its size (so every run draws the same data).
struct BenchPixels {
  int width, height, bytes;
  std::int32_t pitch;
  std::uint8_t* data;
  BenchPixels(int w, int h, int b);
  ~BenchPixels();
  BenchPixels(const BenchPixels&) = delete;
  BenchPixels& operator=(const BenchPixels&) = delete;
  std::uint8_t* Row(int y) { return data + std::ptrdiff_t(y) * pitch; }
};

// Registers a case whose every iteration runs body once and processes bytesPerIteration
// bytes (0: not counted).
void AddBench(const std::string& name, std::function<void()> body,
              std::int64_t bytesPerIteration);

// Prints "ratio LABEL V" after the run, LABEL being a/b unless given; a case missing from
// the run (filtered out, failed) gives V = nan.
void AddRatio(const std::string& a, const std::string& b, const std::string& label = "");

// Prints "LABEL V" after the run, V being the case's median bytes per second divided by
// bytesPerUnit (for instance the byte rate of a sound format: V is then times real time).
void AddRate(const std::string& name, const std::string& label, double bytesPerUnit);

// Runs the registered cases (honouring the usual --benchmark_* options) and prints the
// ratio lines; returns the process exit status.
int RunBenchMain(int argc, char** argv);
