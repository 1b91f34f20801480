#include "gfx/global_memory_block.h"

GlobalMemoryBlock::GlobalMemoryBlock(std::uint32_t size, bool fixed) : fixed_(fixed) {
  HGLOBAL handle = GlobalAlloc(fixed ? GMEM_FIXED : GMEM_MOVEABLE, size);
  if (!handle) return;
  void* pointer = fixed ? handle : GlobalLock(handle);
  if (!pointer) {
    GlobalFree(handle);
    return;
  }
  kind_ = MEMORY_BLOCK_GLOBAL;
  handle_ = handle;
  pointer_ = pointer;
  size_ = size;
  lockCount_ = 1;
}

GlobalMemoryBlock::~GlobalMemoryBlock() {
  if (!handle_) return;
  if (lockCount_ > 1) lockCount_ = 1;
  Unlock();
  GlobalFree(static_cast<HGLOBAL>(handle_));
}

void* GlobalMemoryBlock::Lock() {
  if (!handle_) return nullptr;
  if (lockCount_ == 0 && !fixed_) pointer_ = GlobalLock(static_cast<HGLOBAL>(handle_));
  ++lockCount_;
  return pointer_;
}

void GlobalMemoryBlock::Unlock() {
  if (lockCount_ <= 0) return;
  if (lockCount_ == 1 && !fixed_) {
    GlobalUnlock(static_cast<HGLOBAL>(handle_));
    pointer_ = nullptr;
  }
  --lockCount_;
}

bool GlobalMemoryBlock::Resize(std::uint32_t size) {
  if (!handle_ || fixed_ || lockCount_ > 0) return false;
  HGLOBAL resized = GlobalReAlloc(static_cast<HGLOBAL>(handle_), size, GMEM_MOVEABLE);
  if (!resized) return false;
  handle_ = resized;
  SIZE_T real = GlobalSize(resized);
  size_ = real < size ? static_cast<std::uint32_t>(real) : size;
  return true;
}
