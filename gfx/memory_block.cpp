#include "gfx/memory_block.h"

MemoryBlock::~MemoryBlock() = default;

void* MemoryBlock::Lock() {
  ++lockCount_;
  return pointer_;
}

void MemoryBlock::Unlock() {
  if (lockCount_ > 0) --lockCount_;
}
