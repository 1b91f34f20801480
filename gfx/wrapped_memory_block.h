// WrappedMemoryBlock (kind 1): bytes the caller already holds. Always locked;
// Lock and Unlock do nothing. When it owns the bytes they came from
// GlobalAlloc (fixed) and the destructor frees them with GlobalFree.
#pragma once

#include "gfx/memory_block.h"

class WrappedMemoryBlock : public MemoryBlock {
 public:
  WrappedMemoryBlock(void* pointer, std::uint32_t size, bool owns, bool readOnly);
  ~WrappedMemoryBlock() override;
  void* Lock() override;
  void Unlock() override;

  bool Owns() const { return owns_; }

 private:
  bool owns_;
};
