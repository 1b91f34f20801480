// Prefault: reads one byte of every memory page of a range so that the pages
// are resident before time-critical use. Reads stay inside the range: the
// first page is touched at the range's first byte.
#pragma once

#include <cstdint>

// Both return the number of pages touched.
std::uint32_t Prefault(const void* address, std::uint32_t size);
std::uint32_t PrefaultPages(const void* address, std::uint32_t size, std::uint32_t pageSize);
