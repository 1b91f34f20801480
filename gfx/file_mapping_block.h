// FileMappingBlock (kind 3): a file, or an existing named mapping object,
// mapped into memory whole. The outermost Lock maps a view and the outermost
// Unlock unmaps it, so the bytes are paged in on demand. Target only.
#pragma once

#include "gfx/memory_block.h"
#include "gfx/text_string.h"

class FileMappingBlock : public MemoryBlock {
 public:
  // With a file name and a create size the file is created (or emptied) with
  // that size; with create size 0 an existing file is opened. Without a file
  // name the block maps the existing mapping object named mappingName. The
  // block is locked once before the constructor returns.
  FileMappingBlock(std::uint32_t createSize, const char* fileName, bool temporary,
                   const char* mappingName, bool readOnly, bool sequential);
  ~FileMappingBlock() override;
  void* Lock() override;
  void Unlock() override;

  const TextString& MappingName() const { return mappingName_; }

 private:
  bool OpenFile(std::uint32_t createSize, const char* fileName, bool temporary,
                bool sequential);
  void MapView();

  HANDLE mapping_ = nullptr;
  TextString mappingName_;
};
