#include "pixel/fill_rect.h"

#include <cassert>
#include <cstddef>
#include <cstring>

#include "pixel/blit_pixels.h"

static std::uint8_t* RowStart(std::uint8_t* base, std::int32_t pitch, std::int32_t y) {
  return base + std::ptrdiff_t(y) * pitch;
}

// Low or high `bits` bits of a byte (bits 0..8).
static std::uint8_t LowBits(std::uint32_t bits) { return std::uint8_t((1u << bits) - 1); }
static std::uint8_t HighBits(std::uint32_t bits) { return std::uint8_t(~LowBits(8 - bits)); }

static void Merge(std::uint8_t* p, std::uint8_t value, std::uint8_t mask) {
  *p = std::uint8_t((*p & ~mask) | (value & mask));
}

void FillRectPacked(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                    std::int32_t width, std::int32_t height, std::uint32_t colour,
                    std::uint32_t depth) {
  assert(depth == 1 || depth == 2 || depth == 4);
  if (width <= 0 || height <= 0) return;
  const std::int32_t perByte = std::int32_t(8 / depth);
  std::uint8_t fill = 0;
  for (std::int32_t i = 0; i < perByte; ++i) {
    fill = std::uint8_t(fill << depth | (colour & ((1u << depth) - 1)));
  }
  const std::int32_t end = x + width;
  const std::int32_t first = x / perByte, last = (end - 1) / perByte;
  const std::uint8_t headMask =
      x % perByte ? LowBits(depth * std::uint32_t(perByte - x % perByte)) : 0xff;
  const std::uint8_t tailMask = end % perByte ? HighBits(depth * std::uint32_t(end % perByte))
                                              : 0xff;
  for (std::int32_t r = 0; r < height; ++r) {
    std::uint8_t* row = RowStart(base, pitch, y + r);
    if (first == last) {
      Merge(row + first, fill, std::uint8_t(headMask & tailMask));
      continue;
    }
    Merge(row + first, fill, headMask);
    std::memset(row + first + 1, fill, std::size_t(last - first - 1));
    Merge(row + last, fill, tailMask);
  }
}

template <int B>
static void FillRows(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                     std::int32_t width, std::int32_t height, std::uint32_t colour) {
  for (std::int32_t r = 0; r < height; ++r) {
    std::uint8_t* p = RowStart(base, pitch, y + r) + std::ptrdiff_t(x) * B;
    for (std::int32_t c = 0; c < width; ++c, p += B) StorePixel<B>(p, colour);
  }
}

void FillRect8(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
               std::int32_t width, std::int32_t height, std::uint32_t colour) {
  if (width <= 0) return;
  for (std::int32_t r = 0; r < height; ++r) {
    std::memset(RowStart(base, pitch, y + r) + x, std::uint8_t(colour), std::size_t(width));
  }
}

void FillRect16(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                std::int32_t width, std::int32_t height, std::uint32_t colour) {
  FillRows<2>(base, pitch, x, y, width, height, colour);
}

void FillRect24(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                std::int32_t width, std::int32_t height, std::uint32_t colour) {
  FillRows<3>(base, pitch, x, y, width, height, colour);
}

void FillRect32(std::uint8_t* base, std::int32_t pitch, std::int32_t x, std::int32_t y,
                std::int32_t width, std::int32_t height, std::uint32_t colour) {
  FillRows<4>(base, pitch, x, y, width, height, colour);
}
