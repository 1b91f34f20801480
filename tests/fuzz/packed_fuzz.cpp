// DecodePacked of arbitrary bytes: whatever decodes passed the validator and
// packs and unpacks again to the same plain bitmap.
#include "sprite/packed.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/memo_mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const BITMAPINFOHEADER* in = AsDib(data);
  const bool valid = ValidatePacked(in, size);
  FuzzDib plain;
  plain.dib = DecodePacked(in, size, &plain.bytes);
  if (!plain) return 0;
  FUZZ_CHECK(valid);
  FUZZ_CHECK(plain.dib->biSizeImage == 0);
  FuzzDib packed;
  packed.dib = EncodePacked(plain.dib, plain.bytes, &packed.bytes);
  FUZZ_CHECK(packed && ValidatePacked(packed.dib, packed.bytes));
  FuzzDib again;
  again.dib = DecodePacked(packed.dib, packed.bytes, &again.bytes);
  FUZZ_CHECK(again && again.SameBytes(plain));
  return 0;
}

// Mutates the pixel bits inside the block as well as the header.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned seed) {
  std::size_t offset = 40;
  if (size >= 40) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, data, 40);
    if (h.biBitCount <= 8 && h.biBitCount > 0)
      offset += 4 * std::size_t(h.biClrUsed && h.biClrUsed <= 256 ? h.biClrUsed
                                                                   : 1u << (h.biBitCount & 15));
    else if (h.biCompression == 0x32434B50)  // "PKC2": three masks
      offset += 12;
  }
  const std::size_t sizeImage = 20;
  return MutateInsideMemo(data, size, maxSize, seed, offset, &sizeImage);
}
