// Reading the row codes of an "ARLE" body (layout in sprite/arle.h), shared by
// the "ARLE" and "PRLE" routines.
#pragma once

#include "port/win32.h"

#include <cstdint>

// Walks the codes of one row starting at body[pos], for exactly `width`
// pixels, calling emit(fill, n, data) for each code: data points at the fill
// value or at the n literal bytes. Stops and returns false at the first code
// that is cut off by the end of the body (`size` bytes), has a count of zero
// or would pass the row's end; otherwise leaves pos after the row's last code.
template <class Byte, class Emit>
bool WalkArleRow(Byte* body, std::uint64_t size, std::uint64_t& pos, std::uint32_t width,
                 Emit&& emit) {
  std::uint32_t done = 0;
  while (done < width) {
    if (pos >= size) return false;
    const std::uint32_t c = body[pos];
    std::uint64_t at = pos + 1;
    std::uint32_t n = c & 0x3F;
    if (c & 0x80) {
      if (at >= size) return false;
      n = n << 8 | body[at++];
    }
    if (n == 0 || n > width - done) return false;
    const bool fill = (c & 0x40) != 0;
    const std::uint64_t payload = fill ? 1 : n;
    if (payload > size - at) return false;
    emit(fill, n, body + at);
    pos = at + payload;
    done += n;
  }
  return true;
}

// Checks a complete "ARLE" body of `size` bytes for a W x H sprite: the row
// table at the start, entry 0 = 4H and each row starting where the previous
// one ended, every row exactly `width` pixels, the last ending at `size`.
[[nodiscard]] bool ValidateArleBody(const BYTE* body, std::uint64_t size, std::uint32_t width,
                                    std::uint32_t height);

// Most bytes an "ARLE" body of W x H can take: the row table and three bytes
// per pixel (a long code for a single pixel).
inline std::uint64_t MaxArleBodyBytes(std::uint32_t width, std::uint32_t height) {
  return std::uint64_t(height) * 4 + std::uint64_t(width) * height * 3;
}
