// MemoBlock expansion of arbitrary bytes: a block that expands must describe
// itself consistently and survive a second round through MemoCompress.
#include "sprite/memo_block.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/memo_mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint64_t maxData = 1 << 24;
  SIZE_T expanded = 0;
  void* out = MemoExpand(data, size, maxData, &expanded);
  const bool valid = ValidateMemo(data, size, maxData);
  if (!out) return 0;
  FUZZ_CHECK(valid);
  FUZZ_CHECK(expanded == MemoDataSize(data, size));
  FUZZ_CHECK(MemoTotalSize(data, size) <= size);

  SIZE_T blockBytes = 0;
  void* block = MemoCompress(out, expanded, &blockBytes);
  FUZZ_CHECK(block);
  SIZE_T again = 0;
  void* back = MemoExpand(block, blockBytes, maxData, &again);
  FUZZ_CHECK(back && again == expanded && std::memcmp(back, out, expanded) == 0);
  GlobalFree(back);
  GlobalFree(block);
  GlobalFree(out);
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned seed) {
  return MutateInsideMemo(data, size, maxSize, seed, 0, nullptr);
}
