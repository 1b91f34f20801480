#pragma once
// Small synthesis kit for seamless ambient loops. Every signal is one period
// of a loop: sustained tones use frequencies with a whole number of cycles
// per loop, events wrap round the end, and filters and reverbs are run round
// the loop until they settle, so the last sample leads into the first like
// any other pair.

#include <cstdint>
#include <vector>

struct Loop {
  int rate = 22050;
  std::vector<float> samples;  // one period, mono

  Loop() = default;
  Loop(int sampleRate, double seconds);
  int Length() const { return int(samples.size()); }
  float& At(long long i);  // index taken modulo the length
};

// Deterministic noise source (xorshift), values in [-1, 1).
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  float White();
  double Uniform();  // [0, 1)
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  int Below(int n) { return n <= 0 ? 0 : int(Uniform() * n); }

 private:
  std::uint64_t state_;
};

// The nearest frequency with a whole number (at least one) of cycles per loop.
double LoopFrequency(const Loop& loop, double hz);

// Adds a sine of `hz` (snapped to the loop), amplitude `amp`, starting phase.
void AddSine(Loop& loop, double hz, double amp, double phase = 0);
// Adds a sine whose amplitude follows 0.5 + 0.5 sin(lfo), lfo with `cycles`
// whole cycles per loop; depth 0 steady .. 1 fully pulsing.
void AddPulsingSine(Loop& loop, double hz, double amp, int cycles, double depth,
                    double phase = 0);
// Adds white noise.
void AddNoise(Loop& loop, double amp, std::uint64_t seed);

// Biquad filters (RBJ cookbook), run round the loop until settled.
enum class FilterKind { LowPass, HighPass, BandPass, Peak };
void Filter(Loop& loop, FilterKind kind, double hz, double q, double gainDb = 0);
// A filter whose centre moves between lo and hi along a sine of `cycles`
// whole cycles per loop.
void SweptFilter(Loop& loop, FilterKind kind, double lo, double hi, int cycles, double q);
// Multiplies by 1 - depth + depth x (0.5 + 0.5 sin), `cycles` per loop.
void Tremolo(Loop& loop, int cycles, double depth, double phase = 0);
// A slowly wandering gain: smooth periodic noise, `knots` per loop.
void Swell(Loop& loop, int knots, double depth, std::uint64_t seed);
// Schroeder reverb, mixed in with `wet`, run round the loop until settled.
void Reverb(Loop& loop, double roomSeconds, double decay, double wet);
// A feedback echo of `delaySeconds`, round the loop.
void Echo(Loop& loop, double delaySeconds, double feedback, double wet);

// One-shot event, written into the loop at `start` (wrapping round).
using EventShape = std::vector<float>;
void AddEvent(Loop& loop, long long start, const EventShape& event, double gain);

// Event makers (their own length, at the loop's rate).
// A bubble: a sine rising in pitch as it decays.
EventShape BubbleEvent(int rate, double hz, double seconds);
// A struck bell: inharmonic partials with their own decays.
EventShape BellEvent(int rate, double hz, double seconds);
// A plucked tone: harmonics decaying faster the higher they are.
EventShape PluckEvent(int rate, double hz, double seconds);
// A drop of water: a short chirp down with a soft click.
EventShape DropEvent(int rate, double hz, double seconds, std::uint64_t seed);
// A gliding call: pitch from hz0 to hz1 with vibrato, soft attack and release.
EventShape CallEvent(int rate, double hz0, double hz1, double seconds, double vibrato);
// A click of `samples` length filtered by its brightness 0..1.
EventShape ClickEvent(int rate, double brightness, std::uint64_t seed);
// A ping: a sine with a sharp attack and long decay.
EventShape PingEvent(int rate, double hz, double seconds);

// Scales so the loudest sample reaches `peak`; removes any DC offset first.
void Normalise(Loop& loop, double peak);

// PCM output.
std::vector<std::uint8_t> ToPcm16(const Loop& loop);
std::vector<std::uint8_t> ToPcm8(const Loop& loop, std::uint64_t ditherSeed);
