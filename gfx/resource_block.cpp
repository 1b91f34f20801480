#include "gfx/resource_block.h"

ResourceBlock::ResourceBlock(HMODULE module, const char* name, const char* type) {
  readOnly_ = true;
  if (!name || !type) return;
  HRSRC info = FindResourceA(module, name, type);
  if (!info) return;
  HGLOBAL loaded = LoadResource(module, info);
  if (!loaded) return;
  void* bytes = LockResource(loaded);
  if (!bytes) {
    FreeResource(loaded);
    return;
  }
  kind_ = MEMORY_BLOCK_RESOURCE;
  handle_ = loaded;
  pointer_ = bytes;
  size_ = SizeofResource(module, info);
  lockCount_ = 1;
}

ResourceBlock::~ResourceBlock() {
  if (handle_) FreeResource(handle_);
}

void* ResourceBlock::Lock() { return pointer_; }

void ResourceBlock::Unlock() {}
