#include "sound/aiff_file.h"

#include <cstring>

#include "sound/sound_status.h"

namespace {

std::uint32_t GetBe32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint16_t GetBe16(const std::uint8_t* p) { return std::uint16_t(p[0] << 8 | p[1]); }
void PutBe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v >> 24);
  p[1] = std::uint8_t(v >> 16);
  p[2] = std::uint8_t(v >> 8);
  p[3] = std::uint8_t(v);
}
void PutBe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v >> 8);
  p[1] = std::uint8_t(v);
}

constexpr std::uint16_t kUnitExponent = 0x400E;  // m itself is the value

// Contents offset and size of the first chunk with this id in [12, end).
bool FindChunk(const std::uint8_t* file, std::uint64_t end, const char* id,
               std::uint64_t* begin, std::uint64_t* size) {
  std::uint64_t pos = 12;
  while (pos + 8 <= end) {
    const std::uint64_t n = GetBe32(file + pos + 4);
    if (std::memcmp(file + pos, id, 4) == 0) {
      *begin = pos + 8;
      *size = n;
      return true;
    }
    pos += 8 + n + (n & 1);
  }
  return false;
}

}  // namespace

std::uint32_t AiffRateFromExtended(std::uint16_t exponent, std::uint16_t mantissaTop) {
  if (exponent < 0x4009 || exponent > 0x4011) return 0;
  if (exponent <= kUnitExponent) return std::uint32_t(mantissaTop) >> (kUnitExponent - exponent);
  return std::uint32_t(mantissaTop) << (exponent - kUnitExponent);
}

void AiffRateToExtended(std::uint32_t rate, std::uint16_t* exponent, std::uint16_t* mantissaTop) {
  *exponent = 0;
  *mantissaTop = 0;
  if (rate == 0) return;
  int top = 31;
  while (!(rate >> top)) --top;
  // The value is 1.f x 2^top; the mantissa's top 16 bits hold its leading bits.
  *exponent = std::uint16_t(0x3FFF + top);
  *mantissaTop = std::uint16_t(top >= 15 ? rate >> (top - 15) : rate << (15 - top));
}

SoundStatus ParseAiff(const std::uint8_t* file, std::size_t size, AiffInfo* out) {
  *out = AiffInfo();
  if (!file || size < 12 || std::memcmp(file, "FORM", 4) != 0 ||
      std::memcmp(file + 8, "AIFF", 4) != 0)
    return SOUND_BAD_HEADER;
  std::uint64_t end = 8 + std::uint64_t(GetBe32(file + 4));
  if (end > size) end = size;
  std::uint64_t comm, commSize, ssnd, ssndSize;
  if (!FindChunk(file, end, "COMM", &comm, &commSize) || commSize < 18 || comm + 18 > size)
    return SOUND_BAD_HEADER;
  if (!FindChunk(file, end, "SSND", &ssnd, &ssndSize) || ssndSize < 8 || ssnd + 8 > size)
    return SOUND_BAD_HEADER;
  AiffInfo info;
  info.channels = GetBe16(file + comm);
  info.bits = GetBe16(file + comm + 6) == 8 ? 8 : 16;
  info.rate = AiffRateFromExtended(GetBe16(file + comm + 8), GetBe16(file + comm + 10));
  if (info.rate == 0 || info.channels == 0 || info.channels > 2) return SOUND_BAD_HEADER;
  info.frames = std::uint32_t((ssndSize - 8) / info.BlockAlign());
  const std::uint64_t start = ssnd + 8 + GetBe32(file + ssnd);
  if (start + std::uint64_t(info.frames) * info.BlockAlign() > size) return SOUND_BAD_HEADER;
  info.dataOffset = std::uint32_t(start);
  *out = info;
  return SOUND_OK;
}

void WriteAiffHeader(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate,
                     std::uint32_t frames, std::uint8_t header[kAiffHeaderSize]) {
  const std::uint32_t dataBytes = frames * channels * (bits / 8);
  std::uint16_t exponent, mantissaTop;
  AiffRateToExtended(rate, &exponent, &mantissaTop);
  std::memset(header, 0, kAiffHeaderSize);
  std::memcpy(header, "FORM", 4);
  PutBe32(header + 4, dataBytes + 46);
  std::memcpy(header + 8, "AIFFCOMM", 8);
  PutBe32(header + 16, 18);
  PutBe16(header + 20, channels);
  PutBe32(header + 22, frames);
  PutBe16(header + 26, bits);
  PutBe16(header + 28, exponent);
  PutBe16(header + 30, mantissaTop);
  std::memcpy(header + 38, "SSND", 4);
  PutBe32(header + 42, dataBytes + 8);
}
