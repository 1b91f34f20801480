// "TRLE" sprites of arbitrary bytes: the validator, the decoder and every
// conversion agree on what is valid, and conversions give valid sprites with
// the same rows.
#include "pixel/inverse_colour_map.h"
#include "pixel/pixel_format.h"
#include "sprite/trle.h"
#include "tests/fuzz/fuzz_support.h"

#include <memory>

namespace {

struct Palette {
  PaletteEntry entries[256];
  InverseColourMap map;
};

const Palette& FuzzPalette() {
  static std::unique_ptr<Palette> palette;
  if (!palette) {
    palette = std::make_unique<Palette>();
    for (int i = 0; i < 256; ++i)
      palette->entries[i] = {BYTE(i * 53), BYTE(i * 7), BYTE(i), BYTE(i % 29 == 3)};
    BuildInverseColourMap(palette->entries, 256, &palette->map);
  }
  return *palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const BITMAPINFOHEADER* in = AsDib(data);
  const bool valid = ValidateTrle(in, size);
  FUZZ_CHECK(valid == (TrlePixelType(in, size) != 0));
  // Decoding allocates the whole picture; keep the run fast on huge headers.
  if (valid && std::uint64_t(in->biWidth) * in->biHeight <= (1u << 22)) {
    FuzzDib plain;
    plain.dib = DecodeTrle(in, size, &plain.bytes);
    FUZZ_CHECK(plain);
  }
  const Palette& palette = FuzzPalette();
  for (std::uint16_t type : {4, 7, 9, 11, 13}) {
    FuzzDib out;
    out.dib = ConvertTrle(in, size, type, palette.entries, &out.bytes);
    FUZZ_CHECK(valid == bool(out));
    if (!out) continue;
    FUZZ_CHECK(TrlePixelType(out.dib, out.bytes) == type);
    FUZZ_CHECK(ValidateTrleMask(out.dib, out.bytes, in, size) == (in->biBitCount == 8));
  }
  FuzzDib indexed;
  indexed.dib = TrleToIndexed(in, size, palette.entries, &palette.map, &indexed.bytes);
  FUZZ_CHECK(valid == bool(indexed));
  if (indexed) FUZZ_CHECK(ValidateTrleMask(in, size, indexed.dib, indexed.bytes));
  return 0;
}
