#include "sound/au_file.h"

#include <cstring>

#include "sound/sound_status.h"
#include "sound/wave_format.h"

namespace {

constexpr WORD kTagAlaw = 6;
constexpr WORD kTagMulaw = 7;

std::uint32_t GetBe32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
void PutBe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v >> 24);
  p[1] = std::uint8_t(v >> 16);
  p[2] = std::uint8_t(v >> 8);
  p[3] = std::uint8_t(v);
}

bool Known(std::uint32_t encoding) {
  return encoding == AU_MULAW || encoding == AU_LINEAR_8 || encoding == AU_LINEAR_16 ||
         encoding == AU_ALAW;
}

}  // namespace

SoundStatus ParseAuHeader(const std::uint8_t* file, std::size_t size, AuHeader* out) {
  *out = AuHeader();
  if (!file || size < 24 || std::memcmp(file, ".snd", 4) != 0) return SOUND_BAD_HEADER;
  AuHeader h;
  h.dataOffset = GetBe32(file + 4);
  h.encoding = GetBe32(file + 12);
  h.rate = GetBe32(file + 16);
  h.channels = GetBe32(file + 20);
  if (!Known(h.encoding)) return SOUND_UNSUPPORTED_ENCODING;
  if (h.rate == 0 || h.channels == 0 || h.channels > 2) return SOUND_BAD_HEADER;
  h.frames = GetBe32(file + 8) / h.BlockAlign();
  const std::uint64_t end = std::uint64_t(h.dataOffset) + std::uint64_t(h.frames) * h.BlockAlign();
  if (h.dataOffset < 24 || end > size) return SOUND_BAD_HEADER;
  *out = h;
  return SOUND_OK;
}

void AuSoundFormat(const AuHeader& header, WAVEFORMATEX* format) {
  MakePcmFormat(format, header.rate, header.encoding == AU_LINEAR_8 ? 8 : 16,
                std::uint16_t(header.channels));
}

void AuCompandedFormat(const AuHeader& header, WAVEFORMATEX* format) {
  MakePcmFormat(format, header.rate, 8, std::uint16_t(header.channels));
  format->wFormatTag = header.encoding == AU_ALAW ? kTagAlaw : kTagMulaw;
}

bool WriteAuHeader(std::uint32_t encoding, std::uint32_t rate, std::uint32_t channels,
                   std::uint32_t frames, std::uint8_t header[kAuHeaderSize]) {
  if (!Known(encoding)) return false;
  const std::uint32_t bytesPerSample = encoding == AU_LINEAR_16 ? 2 : 1;
  std::memcpy(header, ".snd", 4);
  PutBe32(header + 4, kAuHeaderSize);
  PutBe32(header + 8, frames * bytesPerSample * channels);
  PutBe32(header + 12, encoding);
  PutBe32(header + 16, rate);
  PutBe32(header + 20, channels);
  std::memcpy(header + 24, "mood", 4);
  return true;
}
