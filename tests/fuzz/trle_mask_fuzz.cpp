// A sprite and a mask of arbitrary bytes: ValidateTrleMask accepts only pairs
// whose parts are valid and have the same rows.
#include "sprite/trle.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzPair pair;
  if (!SplitPair(data, size, &pair)) return 0;
  const auto* sprite = reinterpret_cast<const BITMAPINFOHEADER*>(pair.first.data());
  const auto* mask = reinterpret_cast<const BITMAPINFOHEADER*>(pair.second.data());
  if (!ValidateTrleMask(sprite, pair.first.size(), mask, pair.second.size())) return 0;
  FUZZ_CHECK(ValidateTrle(sprite, pair.first.size()) && ValidateTrle(mask, pair.second.size()));
  FUZZ_CHECK(TrlePixelType(mask, pair.second.size()) == 4);
  FUZZ_CHECK(sprite->biWidth == mask->biWidth && sprite->biHeight == mask->biHeight);
  return 0;
}
