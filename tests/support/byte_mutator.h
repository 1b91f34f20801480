// ByteMutator: seeded, deterministic edits of a fuzz input for the mutation
// loops that run where libFuzzer cannot (the target's own parsers under
// Wine). Each Mutate makes one to four edits, each one of:
//   flip a bit; set a byte; insert a few random bytes; delete a range;
//   truncate; copy a range of the input over another place; splice the tail
//   of another input behind a prefix of this one; lie in a size field (a
//   16- or 32-bit little-endian value such as 0, 1, the input's size give or
//   take a little, 0x7FFFFFFF or 0xFFFFFFFF written at any offset).
// The result is never empty and never longer than the given maximum. The same
// seed and inputs give the same edits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

class ByteMutator {
 public:
  explicit ByteMutator(std::uint32_t seed) : rng_(seed) {}

  void Mutate(std::vector<std::uint8_t>* bytes, const std::vector<std::uint8_t>& other,
              std::size_t maxSize);

 private:
  std::size_t Below(std::size_t n) { return n ? std::size_t(rng_() % n) : 0; }
  void Edit(std::vector<std::uint8_t>* bytes, const std::vector<std::uint8_t>& other);
  void LieInSizeField(std::vector<std::uint8_t>* bytes);

  std::mt19937 rng_;
};
