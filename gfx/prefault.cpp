#include "gfx/prefault.h"

#include "port/win32.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// Pages are read with a lead of this many pages ahead of the trailing read,
// so the faults of the lead overlap the work behind it.
constexpr std::uintptr_t kLeadPages = 16;

std::uint32_t SystemPageSize() {
#ifdef _WIN32
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
#else
  long size = sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<std::uint32_t>(size) : 4096u;
#endif
}

}  // namespace

std::uint32_t PrefaultPages(const void* address, std::uint32_t size, std::uint32_t pageSize) {
  if (!address || size == 0 || pageSize == 0 || (pageSize & (pageSize - 1)) != 0) return 0;
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(address);
  const std::uintptr_t last = begin + (size - 1);
  if (last < begin) return 0;  // the range wraps the address space
  const std::uintptr_t mask = ~static_cast<std::uintptr_t>(pageSize - 1);
  const std::uintptr_t firstPage = begin & mask;
  const std::uintptr_t pages = ((last & mask) - firstPage) / pageSize + 1;
  // The byte read for page i: the page's start, or the range's first byte.
  auto touch = [&](std::uintptr_t i) {
    std::uintptr_t at = firstPage + i * pageSize;
    if (at < begin) at = begin;
    return *reinterpret_cast<const volatile std::uint8_t*>(at);
  };
  std::uint8_t sink = 0;
  for (std::uintptr_t i = 0; i < pages && i < kLeadPages; ++i) sink ^= touch(i);
  for (std::uintptr_t i = 0; i < pages; ++i) {
    if (i + kLeadPages < pages) sink ^= touch(i + kLeadPages);
    sink ^= touch(i);
  }
  (void)sink;
  return static_cast<std::uint32_t>(pages);
}

std::uint32_t Prefault(const void* address, std::uint32_t size) {
  return PrefaultPages(address, size, SystemPageSize());
}
