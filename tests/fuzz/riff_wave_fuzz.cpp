// ParseRiffWave of arbitrary bytes: what parses lies inside the image, and
// written again it parses to the same format, samples and texts.
#include "sound/riff_wave.h"
#include "sound/wave_format.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RiffWaveImage w;
  if (!ParseRiffWave(data, size, &w)) return 0;
  FUZZ_CHECK(std::uint64_t(w.dataOffset) + w.dataSize <= size);
  FUZZ_CHECK(w.format.size() >= 18 && FormatStoredSize(w.Format()) <= w.format.size());
  const std::vector<std::uint8_t> again =
      WriteRiffWave(w.Format(), data + w.dataOffset, w.dataSize, w.info);
  RiffWaveImage v;
  FUZZ_CHECK(ParseRiffWave(again.data(), again.size(), &v));
  const std::uint32_t stored = FormatStoredSize(w.Format());
  FUZZ_CHECK(std::memcmp(v.format.data(), w.format.data(), stored) == 0);
  FUZZ_CHECK(v.dataSize == w.dataSize);
  FUZZ_CHECK(std::memcmp(again.data() + v.dataOffset, data + w.dataOffset, w.dataSize) == 0);
  for (int i = 0; i < kInfoTagCount; ++i) FUZZ_CHECK(v.info[i] == w.info[i]);
  return 0;
}
