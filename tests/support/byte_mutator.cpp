#include "tests/support/byte_mutator.h"

#include <algorithm>
#include <cstring>

namespace {

enum EditKind { FLIP_BIT, SET_BYTE, INSERT, ERASE, TRUNCATE, COPY, SPLICE, SIZE_FIELD, EDIT_KINDS };

}  // namespace

void ByteMutator::Mutate(std::vector<std::uint8_t>* bytes, const std::vector<std::uint8_t>& other,
                         std::size_t maxSize) {
  if (bytes->empty()) bytes->push_back(0);
  for (std::size_t edits = 1 + Below(4); edits > 0; --edits) {
    Edit(bytes, other);
    if (bytes->empty()) bytes->push_back(std::uint8_t(rng_()));
  }
  if (bytes->size() > maxSize) bytes->resize(std::max<std::size_t>(maxSize, 1));
}

void ByteMutator::Edit(std::vector<std::uint8_t>* bytes, const std::vector<std::uint8_t>& other) {
  std::vector<std::uint8_t>& b = *bytes;
  const std::size_t at = Below(b.size());
  switch (Below(EDIT_KINDS)) {
    case FLIP_BIT: b[at] ^= std::uint8_t(1u << Below(8)); break;
    case SET_BYTE: b[at] = std::uint8_t(rng_()); break;
    case INSERT: {
      std::vector<std::uint8_t> extra(1 + Below(8));
      for (auto& x : extra) x = std::uint8_t(rng_());
      b.insert(b.begin() + std::ptrdiff_t(at), extra.begin(), extra.end());
      break;
    }
    case ERASE: {
      const std::size_t n = std::min(b.size() - at, 1 + Below(64));
      b.erase(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + n));
      break;
    }
    case TRUNCATE: b.resize(at); break;
    case COPY: {
      const std::size_t from = Below(b.size());
      const std::size_t n = std::min({b.size() - from, b.size() - at, 1 + Below(512)});
      std::memmove(b.data() + at, b.data() + from, n);
      break;
    }
    case SPLICE:
      if (other.empty()) break;
      b.resize(at);
      b.insert(b.end(), other.begin() + std::ptrdiff_t(Below(other.size())), other.end());
      break;
    default: LieInSizeField(bytes); break;
  }
}

void ByteMutator::LieInSizeField(std::vector<std::uint8_t>* bytes) {
  std::vector<std::uint8_t>& b = *bytes;
  const std::uint32_t size = std::uint32_t(b.size());
  const std::uint32_t lies[] = {0, 1, 2, size, size + 1, size - 1, size + 8, size * 2,
                                0x7FFF, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu,
                                std::uint32_t(rng_())};
  const std::uint32_t value = lies[Below(sizeof lies / sizeof lies[0])];
  const std::size_t width = Below(2) ? 4 : 2;
  const std::size_t at = Below(b.size());
  for (std::size_t i = 0; i < width && at + i < b.size(); ++i)
    b[at + i] = std::uint8_t(value >> (8 * i));
}
