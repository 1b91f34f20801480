// A libFuzzer custom mutator for inputs that carry a MemoBlock: every other
// mutation expands the block, lets libFuzzer mutate the data inside and
// compresses it again, so the fuzzer reaches what lies behind the checksum.
// The rest are plain byte mutations of the whole input, header included.
#pragma once

#include "sprite/memo_block.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size,
                                        std::size_t maxSize);

// Mutates the block at `offset` (the input's header before it is kept). When
// `sizeField` is not null it names the offset of a 32-bit field that must
// hold the block's total size (biSizeImage of a sprite or packed bitmap).
inline std::size_t MutateInsideMemo(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                    unsigned seed, std::size_t offset, const std::size_t* sizeField) {
  if (seed % 2 == 0 || offset > size) return LLVMFuzzerMutate(data, size, maxSize);
  SIZE_T inner = 0;
  void* expanded = MemoExpand(data + offset, size - offset, 1 << 20, &inner);
  if (!expanded) return LLVMFuzzerMutate(data, size, maxSize);
  std::vector<std::uint8_t> body(inner * 2 + 64);
  std::memcpy(body.data(), expanded, inner);
  GlobalFree(expanded);
  const std::size_t n = LLVMFuzzerMutate(body.data(), inner, body.size());
  SIZE_T blockBytes = 0;
  void* block = MemoCompress(body.data(), n, &blockBytes);
  if (!block || offset + blockBytes > maxSize) {
    if (block) GlobalFree(block);
    return LLVMFuzzerMutate(data, size, maxSize);
  }
  std::memcpy(data + offset, block, blockBytes);
  GlobalFree(block);
  if (sizeField && *sizeField + 4 <= offset) {
    const std::uint32_t total = std::uint32_t(blockBytes);
    std::memcpy(data + *sizeField, &total, 4);
  }
  return offset + blockBytes;
}
