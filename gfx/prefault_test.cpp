#include "gfx/prefault.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Pages of pageSize that the byte range [offset, offset + size) overlaps.
std::uint32_t PagesSpanned(std::uintptr_t begin, std::uint32_t size, std::uint32_t pageSize) {
  std::uintptr_t first = begin / pageSize;
  std::uintptr_t last = (begin + size - 1) / pageSize;
  return static_cast<std::uint32_t>(last - first + 1);
}

// The sanitizers check that no read leaves the buffer.
TEST(PrefaultTest, TouchesEveryPageOfTheRangeAndNothingOutside) {
  std::mt19937 random(7);
  for (std::uint32_t pageSize : {64u, 256u, 4096u}) {
    std::vector<std::uint8_t> buffer(pageSize * 40 + 17);
    for (int trial = 0; trial < 200; ++trial) {
      std::uint32_t offset = random() % buffer.size();
      std::uint32_t size = 1 + random() % (buffer.size() - offset);
      const std::uint8_t* start = buffer.data() + offset;
      EXPECT_EQ(PrefaultPages(start, size, pageSize),
                PagesSpanned(reinterpret_cast<std::uintptr_t>(start), size, pageSize));
    }
  }
}

TEST(PrefaultTest, EmptyOrInvalidRangesTouchNothing) {
  std::uint8_t byte = 0;
  EXPECT_EQ(Prefault(nullptr, 100), 0u);
  EXPECT_EQ(Prefault(&byte, 0), 0u);
  EXPECT_EQ(PrefaultPages(&byte, 1, 0), 0u);
  EXPECT_EQ(PrefaultPages(&byte, 1, 1000), 0u);  // not a power of two
  EXPECT_EQ(Prefault(&byte, 1), 1u);
}

}  // namespace
