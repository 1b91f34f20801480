// WriteBlockToFile: writes all bytes of a block to a new file (replacing any
// old one). Returns the bytes written, 0 when the block has no bytes or the
// file cannot be created. Target only.
#pragma once

#include <cstdint>

class MemoryBlock;

std::uint32_t WriteBlockToFile(MemoryBlock* block, const char* fileName);
