// GlobalMemoryBlock (kind 2): bytes from the global heap, fixed or moveable.
// A fixed block's handle is its pointer. A moveable block is locked on
// creation and stays locked until unlocked; it is unlocked again when the
// outermost Unlock runs and relocked by the next Lock.
#pragma once

#include "gfx/memory_block.h"

class GlobalMemoryBlock : public MemoryBlock {
 public:
  GlobalMemoryBlock(std::uint32_t size, bool fixed);
  ~GlobalMemoryBlock() override;
  void* Lock() override;
  void Unlock() override;
  // Reallocates an unlocked moveable block; the size becomes the requested
  // one, or the block's real size when that is smaller. False when the block
  // is locked, fixed or empty, or when the reallocation failed (the old bytes
  // stay).
  bool Resize(std::uint32_t size);

  bool IsFixed() const { return fixed_; }

 private:
  bool fixed_;
};
