// MemoryBlock: one interface to bytes that live in caller memory, global
// memory, a mapped file or a module resource. Construction never fails: a
// block whose memory could not be obtained has a null pointer, and users test
// the pointer after Lock.
#pragma once

#include <cstdint>

#include "port/win32.h"

enum MemoryBlockKind : std::uint32_t {
  MEMORY_BLOCK_NONE = 0,
  MEMORY_BLOCK_WRAPPED = 1,
  MEMORY_BLOCK_GLOBAL = 2,
  MEMORY_BLOCK_FILE_MAPPING = 3,
  MEMORY_BLOCK_RESOURCE = 4,
};

class MemoryBlock {
 public:
  MemoryBlock() = default;
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;
  virtual ~MemoryBlock();
  // Nests; returns the first byte, or null when the bytes are not available.
  virtual void* Lock();
  virtual void Unlock();

  std::uint32_t Kind() const { return kind_; }
  std::uint32_t Size() const { return size_; }
  // The first byte while locked, else null.
  void* Pointer() const { return pointer_; }
  std::int32_t LockCount() const { return lockCount_; }
  // The bytes must not be written (a resource or a read-only mapping).
  bool IsReadOnly() const { return readOnly_; }
  HANDLE Handle() const { return handle_; }

 protected:
  std::uint32_t kind_ = MEMORY_BLOCK_NONE;
  std::uint32_t size_ = 0;
  void* pointer_ = nullptr;
  std::int32_t lockCount_ = 0;
  bool readOnly_ = false;
  HANDLE handle_ = nullptr;
};
