#include "gfx/write_block_to_file.h"

#include "gfx/memory_block.h"

std::uint32_t WriteBlockToFile(MemoryBlock* block, const char* fileName) {
  if (!block || !fileName) return 0;
  void* bytes = block->Lock();
  DWORD written = 0;
  if (bytes && block->Size() > 0) {
    HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      if (!WriteFile(file, bytes, block->Size(), &written, nullptr)) written = 0;
      CloseHandle(file);
    }
  }
  block->Unlock();
  return written;
}
