#include "gfx/wrapped_memory_block.h"

WrappedMemoryBlock::WrappedMemoryBlock(void* pointer, std::uint32_t size, bool owns,
                                       bool readOnly)
    : owns_(owns && pointer) {
  kind_ = MEMORY_BLOCK_WRAPPED;
  pointer_ = pointer;
  size_ = pointer ? size : 0;
  lockCount_ = 1;
  readOnly_ = readOnly;
}

WrappedMemoryBlock::~WrappedMemoryBlock() {
  if (owns_) GlobalFree(static_cast<HGLOBAL>(pointer_));
}

void* WrappedMemoryBlock::Lock() { return pointer_; }

void WrappedMemoryBlock::Unlock() {}
