// The scene's pseudo-random generator and the two ways of drawing below n
// from it: RandomBelow scales a draw, RandomMod takes it modulo n. The generator
// is one process-wide linear congruential sequence: state = state * 214013 +
// 2531011 (mod 2^32), each draw (state >> 16) & 32767. The scene seeds it with
// the multimedia time at each setup. Not thread-safe: the user-interface
// thread owns it. A further monitor's scene draws from a sequence of its own
// (RandomScope), on whichever thread composes it.
#pragma once

#include <cstdint>

constexpr std::int32_t kRandomMax = 32767;

void SeedRandom(std::uint32_t seed);
// The next draw, 0..kRandomMax.
std::int32_t NextRandom();
// An integer in 0..n-1 from one draw; 0 when n is not positive.
std::int32_t RandomBelow(std::int32_t n);
// An integer in 0..n-1 as one draw modulo n; 0 when n is not positive (the
// draw is made all the same).
std::int32_t RandomMod(std::int32_t n);
// The mapping RandomBelow applies to one draw (0..kRandomMax).
std::int32_t ScaleRandomBelow(std::int32_t draw, std::int32_t n);

// While a scope lasts, this thread's draws come from state and leave the
// process-wide sequence alone. Scopes nest.
class RandomScope {
 public:
  explicit RandomScope(std::uint32_t& state);
  ~RandomScope();
  RandomScope(const RandomScope&) = delete;
  RandomScope& operator=(const RandomScope&) = delete;

 private:
  std::uint32_t* previous_;
};
