// Four-character codes of the sprite encodings, as 32-bit little-endian values
// (the first character in the lowest byte, no case folding), the way the
// platform's mmioStringToFOURCCA makes them.
#pragma once

#include <cstdint>

constexpr std::uint32_t SpriteTag(char a, char b, char c, char d) {
  return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
         std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

constexpr std::uint32_t TAG_ARLE = SpriteTag('A', 'R', 'L', 'E');  // 0x454C5241
constexpr std::uint32_t TAG_PRLE = SpriteTag('P', 'R', 'L', 'E');  // 0x454C5250
constexpr std::uint32_t TAG_TRLE = SpriteTag('T', 'R', 'L', 'E');  // 0x454C5254
constexpr std::uint32_t TAG_PKCC = SpriteTag('P', 'K', 'C', 'C');  // 0x43434B50, request only
constexpr std::uint32_t TAG_PKC1 = SpriteTag('P', 'K', 'C', '1');  // 0x31434B50
constexpr std::uint32_t TAG_PKC2 = SpriteTag('P', 'K', 'C', '2');  // 0x32434B50
constexpr std::uint32_t TAG_MEMO = SpriteTag('M', 'E', 'M', 'O');  // 0x4F4D454D

static_assert(TAG_ARLE == 0x454C5241u && TAG_PKC2 == 0x32434B50u && TAG_MEMO == 0x4F4D454Du);
