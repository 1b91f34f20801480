// ParseAiff of arbitrary bytes: an accepted file decodes inside its bytes and
// encodes back to the same samples; its rate survives a header rewrite (rates
// from 1024 on: the reader knows no exponent for smaller ones).
#include "sound/aiff_file.h"
#include "sound/sample_frames.h"
#include "sound/sound_status.h"
#include "sound/wave_format.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  AiffInfo info;
  const int status = ParseAiff(data, size, &info);
  FUZZ_CHECK(status == SOUND_OK || status == SOUND_BAD_HEADER);
  if (status != SOUND_OK) return 0;
  FUZZ_CHECK(std::uint64_t(info.dataOffset) + std::uint64_t(info.frames) * info.BlockAlign() <=
             size);
  WAVEFORMATEX f;
  MakePcmFormat(&f, info.rate, std::uint16_t(info.bits), std::uint16_t(info.channels));
  const std::uint32_t code = OutputFormatCode(f);
  std::vector<std::uint8_t> pcm(std::size_t(info.frames) * BytesPerFrameOfCode(code));
  DecodeBigEndianFrames(data + info.dataOffset, info.bits, code, pcm.data(), 0, info.frames);
  std::vector<std::uint8_t> back(std::size_t(info.frames) * info.BlockAlign());
  EncodeBigEndianFrames(pcm.data(), code, back.data(), 0, info.frames);
  FUZZ_CHECK(back.empty() || std::memcmp(back.data(), data + info.dataOffset, back.size()) == 0);
  if (info.rate < 1024) return 0;
  std::uint8_t header[kAiffHeaderSize];
  WriteAiffHeader(info.channels, info.bits, info.rate, 0, header);
  AiffInfo again;
  FUZZ_CHECK(ParseAiff(header, sizeof header, &again) == SOUND_OK);
  FUZZ_CHECK(again.rate == info.rate && again.channels == info.channels);
  return 0;
}
