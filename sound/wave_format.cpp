#include "sound/wave_format.h"

void MakePcmFormat(WAVEFORMATEX* format, std::uint32_t rate, std::uint16_t bits,
                   std::uint16_t channels) {
  const std::uint32_t wrapped = rate & 0xFFFF;
  format->wFormatTag = WAVE_FORMAT_PCM;
  format->nChannels = channels;
  format->nSamplesPerSec = wrapped;
  format->nBlockAlign = WORD(channels * bits / 8);
  format->nAvgBytesPerSec = wrapped * format->nBlockAlign;
  format->wBitsPerSample = bits;
  format->cbSize = 0;
}

std::uint32_t FormatStoredSize(const WAVEFORMATEX& format) {
  return format.wFormatTag == WAVE_FORMAT_PCM ? 18u : 18u + format.cbSize;
}

std::uint32_t OutputFormatCode(const WAVEFORMATEX& format) {
  if (format.wFormatTag != WAVE_FORMAT_PCM) return 0;
  if (format.nChannels != 1 && format.nChannels != 2) return 0;
  if (format.wBitsPerSample == 8) return format.nChannels == 1 ? 1 : 2;
  if (format.wBitsPerSample == 16) return format.nChannels == 1 ? 3 : 4;
  return 0;
}

std::uint32_t BytesPerFrameOfCode(std::uint32_t code) {
  static const std::uint32_t kBytes[5] = {0, 1, 2, 2, 4};
  return code < 5 ? kBytes[code] : 0;
}

bool SameSampleLayout(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
  return a.wFormatTag == b.wFormatTag && a.nSamplesPerSec == b.nSamplesPerSec &&
         a.wBitsPerSample == b.wBitsPerSample && a.nChannels == b.nChannels;
}

std::vector<std::uint8_t> CopyFormat(const WAVEFORMATEX* format) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(format);
  return std::vector<std::uint8_t>(p, p + FormatStoredSize(*format));
}
