#include "sprite/memo_block.h"

#include "sprite/sprite_layout.h"
#include "sprite/sprite_tags.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

namespace {

// The smallest zlib stream: 2 header bytes, one empty final block, 4 bytes of
// checksum.
constexpr std::uint32_t kMinStreamBytes = 8;

bool HasMagic(const void* block, SIZE_T bytes) {
  return block && bytes >= kMemoHeaderBytes &&
         LoadU32(static_cast<const BYTE*>(block)) == TAG_MEMO;
}

}  // namespace

void* MemoCompress(const void* data, SIZE_T size, SIZE_T* outBytes) {
  if ((!data && size) || std::uint64_t(size) > kMaxCodecBytes) return nullptr;
  // Room for zlib's worst case: the classic 0.1 % plus a constant, and never
  // less than what this zlib itself reports.
  const double classic = std::floor(1.001 * double(size)) + 24;
  const std::uint64_t work = std::max<std::uint64_t>(
      std::uint64_t(classic), std::uint64_t(compressBound(uLong(size))) + kMemoHeaderBytes);
  GlobalBuffer scratch;
  if (!scratch.Allocate(work)) return nullptr;
  uLongf packed = uLongf(work - kMemoHeaderBytes);
  if (compress(scratch.data() + kMemoHeaderBytes, &packed, static_cast<const Bytef*>(data),
               uLong(size)) != Z_OK)
    return nullptr;
  const std::uint64_t total = std::uint64_t(packed) + kMemoHeaderBytes;
  GlobalBuffer block;
  if (!block.Allocate(total)) return nullptr;
  std::memcpy(block.data() + kMemoHeaderBytes, scratch.data() + kMemoHeaderBytes, packed);
  StoreU32(block.data(), TAG_MEMO);
  StoreU32(block.data() + 4, std::uint32_t(total));
  StoreU32(block.data() + 8, std::uint32_t(size));
  if (outBytes) *outBytes = SIZE_T(total);
  return block.Release();
}

bool ValidateMemo(const void* block, SIZE_T bytes, std::uint64_t maxData) {
  if (!HasMagic(block, bytes)) return false;
  const BYTE* p = static_cast<const BYTE*>(block);
  const std::uint32_t total = LoadU32(p + 4);
  const std::uint32_t dataSize = LoadU32(p + 8);
  return total >= kMemoHeaderBytes + kMinStreamBytes && total <= bytes && dataSize <= maxData;
}

void* MemoExpand(const void* block, SIZE_T bytes, std::uint64_t maxData, SIZE_T* outSize) {
  if (!ValidateMemo(block, bytes, std::min(maxData, kMaxCodecBytes))) return nullptr;
  const BYTE* p = static_cast<const BYTE*>(block);
  const std::uint32_t total = LoadU32(p + 4);
  const std::uint32_t dataSize = LoadU32(p + 8);
  GlobalBuffer out;
  if (!out.Allocate(dataSize)) return nullptr;
  uLongf produced = dataSize;
  if (uncompress(out.data(), &produced, p + kMemoHeaderBytes, total - kMemoHeaderBytes) != Z_OK)
    return nullptr;
  // A stream that stops short would leave part of the buffer undefined.
  if (produced != dataSize) return nullptr;
  if (outSize) *outSize = dataSize;
  return out.Release();
}

std::uint32_t MemoTotalSize(const void* block, SIZE_T bytes) {
  return HasMagic(block, bytes) ? LoadU32(static_cast<const BYTE*>(block) + 4) : 0;
}

std::uint32_t MemoDataSize(const void* block, SIZE_T bytes) {
  return HasMagic(block, bytes) ? LoadU32(static_cast<const BYTE*>(block) + 8) : 0;
}
