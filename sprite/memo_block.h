// MemoBlock: a self-describing, zlib-compressed copy of a block of memory.
//
// Layout (all integers 32-bit little-endian):
//   offset 0   magic, the bytes "MEMO" (0x4F4D454D)
//   offset 4   total size of the block in bytes, these 12 header bytes included
//   offset 8   size of the data before compression
//   offset 12  zlib stream as zlib's compress() writes it (total - 12 bytes)
//
// Blocks and expanded buffers are fixed global-heap memory owned by the caller,
// who frees them with GlobalFree. A block read from a sprite or bitmap is
// untrusted, so every reader takes the number of bytes actually available.
#pragma once

#include "port/win32.h"

#include <cstdint>

constexpr SIZE_T kMemoHeaderBytes = 12;

// Compresses `size` bytes of `data` into a new block; null when the data is
// too large or memory runs out. `outBytes` receives the block's total size.
[[nodiscard]] void* MemoCompress(const void* data, SIZE_T size, SIZE_T* outBytes = nullptr);

// True when `bytes` bytes at `block` hold a well-formed block header: the
// magic, a total size that covers the header and a minimal zlib stream and
// fits in `bytes`, and a data size of at most `maxData`. The stream itself is
// only checked by expanding it.
[[nodiscard]] bool ValidateMemo(const void* block, SIZE_T bytes, std::uint64_t maxData);

// Expands a block into a new buffer of exactly the stored data size; null when
// the header is not valid for `bytes` available bytes, the data size is above
// `maxData`, or the stream does not inflate to exactly the stored size.
[[nodiscard]] void* MemoExpand(const void* block, SIZE_T bytes, std::uint64_t maxData,
                               SIZE_T* outSize = nullptr);

// The stored total size, or 0 when fewer than 12 bytes are available or the
// magic is wrong.
std::uint32_t MemoTotalSize(const void* block, SIZE_T bytes);

// The stored uncompressed size, or 0 when fewer than 12 bytes are available or
// the magic is wrong.
std::uint32_t MemoDataSize(const void* block, SIZE_T bytes);
