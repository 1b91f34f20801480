// ResourceBlock (kind 4): the bytes of a module resource, read-only and
// always locked. Target only.
#pragma once

#include "gfx/memory_block.h"

class ResourceBlock : public MemoryBlock {
 public:
  // name and type may be integer identifiers made with MAKEINTRESOURCEA.
  ResourceBlock(HMODULE module, const char* name, const char* type);
  ~ResourceBlock() override;
  void* Lock() override;
  void Unlock() override;
};
