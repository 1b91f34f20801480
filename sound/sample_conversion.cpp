#include "sound/sample_conversion.h"

#include <memory>
#include <vector>

#include "gfx/wrapped_memory_block.h"
#include "sound/acm_stream.h"
#include "sound/memory_stream.h"
#include "sound/sound_status.h"
#include "sound/wave_format.h"

SoundStatus ConvertSamples(const WAVEFORMATEX* from, const WAVEFORMATEX* to, const std::uint8_t* data,
                   std::uint32_t size, MemoryBlock** out, SoundProgress progress, void* datum) {
  *out = nullptr;
  auto* wrapper = new WrappedMemoryBlock(const_cast<std::uint8_t*>(data), size, false, true);
  auto* source = new MemoryStream(wrapper, true);
  std::unique_ptr<SampleStream> reader;
  if (SameSampleLayout(*from, *to)) {
    reader.reset(source);
  } else {
    reader.reset(new AcmStream(from, to, source));
    if (!reader->IsOpen()) return SOUND_NO_CONVERSION;
  }
  MemoryStream converted;
  if (!converted.IsOpen()) return SOUND_NO_MEMORY;
  std::vector<std::uint8_t> piece(16384);
  for (;;) {
    const std::uint32_t n = reader->Read(piece.data(), std::uint32_t(piece.size()));
    if (n == 0) break;
    if (converted.Write(piece.data(), n) != n) return SOUND_NO_MEMORY;
    if (progress && size) progress(datum, 2, int(std::uint64_t(source->Position()) * 100 / size));
  }
  *out = converted.Detach();
  return *out ? SOUND_OK : SOUND_BAD_WAVE;
}
