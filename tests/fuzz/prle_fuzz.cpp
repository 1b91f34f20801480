// "PRLE" expansion of arbitrary bytes: whatever PrleToArle accepts is a valid
// "ARLE" sprite that decodes and compresses back to the same sprite.
#include "sprite/arle.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/memo_mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const BITMAPINFOHEADER* in = AsDib(data);
  const bool valid = ValidatePrle(in, size);
  FuzzDib arle;
  arle.dib = PrleToArle(in, size, &arle.bytes);
  if (!arle) return 0;
  FUZZ_CHECK(valid);
  FUZZ_CHECK(ValidateArle(arle.dib, arle.bytes));
  FuzzDib plain;
  plain.dib = DecodeArle(arle.dib, arle.bytes, &plain.bytes);
  FUZZ_CHECK(plain);
  FuzzDib decoded;
  decoded.dib = DecodePrle(in, size, &decoded.bytes);
  FUZZ_CHECK(decoded && decoded.SameBytes(plain));
  FuzzDib prle;
  prle.dib = ArleToPrle(arle.dib, arle.bytes, &prle.bytes);
  FUZZ_CHECK(prle && ValidatePrle(prle.dib, prle.bytes));
  FuzzDib again;
  again.dib = PrleToArle(prle.dib, prle.bytes, &again.bytes);
  FUZZ_CHECK(again && again.SameBytes(arle));
  return 0;
}

// Mutates the "ARLE" body inside the sprite's block as well as its header.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned seed) {
  std::size_t offset = 40 + 1024;
  if (size >= 40) {
    std::uint32_t used;
    std::memcpy(&used, data + 32, 4);
    if (used && used <= 256) offset = 40 + 4 * std::size_t(used);
  }
  const std::size_t sizeImage = 20;
  return MutateInsideMemo(data, size, maxSize, seed, offset, &sizeImage);
}
