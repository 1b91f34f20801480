#include "gfx/random_below.h"

namespace {

std::uint32_t g_state = 1;
thread_local std::uint32_t* t_scoped = nullptr;  // this thread's RandomScope's

}  // namespace

void SeedRandom(std::uint32_t seed) { g_state = seed; }

std::int32_t NextRandom() {
  std::uint32_t& state = t_scoped ? *t_scoped : g_state;
  state = state * 214013u + 2531011u;
  return static_cast<std::int32_t>((state >> 16) & 0x7FFFu);
}

RandomScope::RandomScope(std::uint32_t& state) : previous_(t_scoped) { t_scoped = &state; }

RandomScope::~RandomScope() { t_scoped = previous_; }

std::int32_t ScaleRandomBelow(std::int32_t draw, std::int32_t n) {
  if (n <= 0) return 0;
  // draw * 32769 / 2^30 lies in [0, 1) for every draw up to 32767.
  double x = static_cast<double>(draw) * 32769.0 / 1073741824.0;
  double scaled = x * static_cast<double>(n);
  if (scaled < 0) return 0;
  if (scaled >= static_cast<double>(n)) return n - 1;
  return static_cast<std::int32_t>(scaled);
}

std::int32_t RandomBelow(std::int32_t n) { return ScaleRandomBelow(NextRandom(), n); }

std::int32_t RandomMod(std::int32_t n) {
  const std::int32_t draw = NextRandom();
  return n > 0 ? draw % n : 0;
}
