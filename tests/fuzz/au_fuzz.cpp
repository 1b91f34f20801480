// ParseAuHeader of arbitrary bytes: an accepted linear file decodes inside
// its bytes and encodes back to the same samples.
#include "sound/au_file.h"
#include "sound/sample_frames.h"
#include "sound/sound_status.h"
#include "sound/wave_format.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  AuHeader h;
  const int status = ParseAuHeader(data, size, &h);
  FUZZ_CHECK(status == SOUND_OK || status == SOUND_BAD_HEADER ||
             status == SOUND_UNSUPPORTED_ENCODING);
  if (status != SOUND_OK || (h.encoding != AU_LINEAR_8 && h.encoding != AU_LINEAR_16)) return 0;
  FUZZ_CHECK(std::uint64_t(h.dataOffset) + std::uint64_t(h.frames) * h.BlockAlign() <= size);
  WAVEFORMATEX f;
  AuSoundFormat(h, &f);
  const std::uint32_t code = OutputFormatCode(f);
  FUZZ_CHECK(code != 0);
  std::vector<std::uint8_t> pcm(std::size_t(h.frames) * BytesPerFrameOfCode(code));
  DecodeBigEndianFrames(data + h.dataOffset, f.wBitsPerSample, code, pcm.data(), 0, h.frames);
  std::vector<std::uint8_t> back(std::size_t(h.frames) * h.BlockAlign());
  EncodeBigEndianFrames(pcm.data(), code, back.data(), 0, h.frames);
  FUZZ_CHECK(back.empty() || std::memcmp(back.data(), data + h.dataOffset, back.size()) == 0);
  return 0;
}
