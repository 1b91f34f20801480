#include "scene/library_file.h"

#include <cstring>

namespace {

constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::size_t kFileHeaderBytes = 20;
constexpr std::size_t kSectionBytes = 40;

std::uint32_t Read32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::uint16_t Read16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

}  // namespace

bool LibraryFileComplete(const std::uint8_t* head, std::size_t headSize,
                         std::uint64_t fileSize) {
  if (!head || headSize > fileSize || headSize < kPeOffsetField + 4) return false;
  if (head[0] != 'M' || head[1] != 'Z') return false;
  const std::uint64_t pe = Read32(head + kPeOffsetField);
  if (pe + 4 + kFileHeaderBytes > headSize || std::memcmp(head + pe, "PE\0\0", 4) != 0)
    return false;
  const std::uint8_t* fileHeader = head + pe + 4;
  const std::uint64_t sections = Read16(fileHeader + 2);
  const std::uint64_t table = pe + 4 + kFileHeaderBytes + Read16(fileHeader + 16);
  if (sections == 0 || table + sections * kSectionBytes > headSize) return false;
  for (std::uint64_t i = 0; i < sections; ++i) {
    const std::uint8_t* section = head + table + i * kSectionBytes;
    const std::uint64_t size = Read32(section + 16), offset = Read32(section + 20);
    if (size != 0 && offset + size > fileSize) return false;
  }
  return true;
}
