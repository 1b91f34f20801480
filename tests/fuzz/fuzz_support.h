// Small helpers for the fuzz targets: a check that stops the run as a crash,
// owners for codec results and the framing of inputs that hold two parts.
#pragma once

#include "port/win32.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// A property every input must keep; a broken one is reported like a crash.
#define FUZZ_CHECK(condition)                                                  \
  do {                                                                         \
    if (!(condition)) {                                                        \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,   \
                   #condition);                                                \
      std::abort();                                                            \
    }                                                                          \
  } while (0)

// A codec result: fixed global memory and its size, freed at scope end.
struct FuzzDib {
  BITMAPINFOHEADER* dib = nullptr;
  SIZE_T bytes = 0;
  FuzzDib() = default;
  FuzzDib(const FuzzDib&) = delete;
  FuzzDib& operator=(const FuzzDib&) = delete;
  ~FuzzDib() {
    if (dib) GlobalFree(dib);
  }
  explicit operator bool() const { return dib != nullptr; }
  const BYTE* data() const { return reinterpret_cast<const BYTE*>(dib); }
  bool SameBytes(const FuzzDib& other) const {
    return bytes == other.bytes && std::memcmp(dib, other.dib, bytes) == 0;
  }
};

inline const BITMAPINFOHEADER* AsDib(const std::uint8_t* data) {
  return reinterpret_cast<const BITMAPINFOHEADER*>(data);
}

// Two-part inputs: a 32-bit little-endian length, the first part, the second.
struct FuzzPair {
  std::vector<BYTE> first, second;
};

inline bool SplitPair(const std::uint8_t* data, std::size_t size, FuzzPair* out) {
  if (size < 4) return false;
  std::uint32_t n;
  std::memcpy(&n, data, 4);
  if (n > size - 4) return false;
  out->first.assign(data + 4, data + 4 + n);
  out->second.assign(data + 4 + n, data + size);
  return true;
}

inline std::vector<BYTE> JoinPair(const BYTE* a, std::size_t na, const BYTE* b, std::size_t nb) {
  std::vector<BYTE> out(4 + na + nb);
  const std::uint32_t n = std::uint32_t(na);
  std::memcpy(out.data(), &n, 4);
  std::memcpy(out.data() + 4, a, na);
  std::memcpy(out.data() + 4 + na, b, nb);
  return out;
}
