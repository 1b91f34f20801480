#include "tests/support/byte_mutator.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Counting(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(i);
  return b;
}

// A replayed case is the same case: the loop's findings can be reproduced.
TEST(ByteMutatorTest, SameSeedSameEdits) {
  const Bytes seed = Counting(300), other = Bytes(50, 0xEE);
  int differing = 0;
  for (std::uint32_t s = 0; s < 200; ++s) {
    Bytes a = seed, b = seed, c = seed;
    ByteMutator(s).Mutate(&a, other, 1000);
    ByteMutator(s).Mutate(&b, other, 1000);
    ByteMutator(s + 1000).Mutate(&c, other, 1000);
    EXPECT_EQ(a, b) << s;
    differing += a != c;
  }
  EXPECT_GT(differing, 150);
}

// The results stay between 1 byte and the maximum, and over many seeds they
// shrink, grow, take the other input's bytes and carry size-field lies.
TEST(ByteMutatorTest, EditsReachEveryKindAndKeepTheBounds) {
  const Bytes seed = Counting(200), other = Bytes(400, 0xEE);
  bool shorter = false, longer = false, spliced = false, allOnes = false, unchangedSize = false;
  for (std::uint32_t s = 0; s < 3000; ++s) {
    Bytes b = seed;
    ByteMutator(s).Mutate(&b, other, 256);
    ASSERT_GE(b.size(), 1u);
    ASSERT_LE(b.size(), 256u);
    shorter |= b.size() < seed.size();
    longer |= b.size() > seed.size();
    unchangedSize |= b.size() == seed.size() && b != seed;
    spliced |= std::search_n(b.begin(), b.end(), 8, 0xEE) != b.end();
    allOnes |= std::search_n(b.begin(), b.end(), 4, 0xFF) != b.end();
  }
  EXPECT_TRUE(shorter && longer && spliced && allOnes && unchangedSize);
  Bytes empty;
  ByteMutator(1).Mutate(&empty, Bytes(), 1);
  EXPECT_EQ(empty.size(), 1u);
}

}  // namespace
