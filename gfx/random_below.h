// The scene's pseudo-random generator and RandomBelow over it. The generator
// is one process-wide linear congruential sequence: state = state * 214013 +
// 2531011 (mod 2^32), each draw (state >> 16) & 32767. The scene seeds it with
// the multimedia time at each setup. Not thread-safe: the user-interface
// thread owns it.
#pragma once

#include <cstdint>

constexpr std::int32_t kRandomMax = 32767;

void SeedRandom(std::uint32_t seed);
// The next draw, 0..kRandomMax.
std::int32_t NextRandom();
// An integer in 0..n-1 from one draw; 0 when n is not positive.
std::int32_t RandomBelow(std::int32_t n);
// The mapping RandomBelow applies to one draw (0..kRandomMax).
std::int32_t ScaleRandomBelow(std::int32_t draw, std::int32_t n);
