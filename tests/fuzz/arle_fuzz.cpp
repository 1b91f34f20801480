// "ARLE" sprites of arbitrary bytes: the validator and the decoder agree, a
// valid sprite re-encodes to the same pixels, and a palette remap keeps it
// valid.
#include "pixel/pixel_format.h"
#include "sprite/arle.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const PaletteEntry* FuzzPalette() {
  static PaletteEntry entries[256];
  static bool made = false;
  if (!made) {
    for (int i = 0; i < 256; ++i)
      entries[i] = {BYTE(i * 37), BYTE(i * 11), BYTE(255 - i), BYTE(i % 17 == 0)};
    made = true;
  }
  return entries;
}

// Picture rows of two plain 8-bit bitmaps of the same header agree.
bool SamePixels(const FuzzDib& a, const FuzzDib& b) {
  if (a.bytes != b.bytes) return false;
  const std::uint32_t width = std::uint32_t(a.dib->biWidth);
  const std::uint32_t stride = (width + 3) & ~3u;
  const std::size_t bits = a.bytes - std::size_t(a.dib->biHeight) * stride;
  if (std::memcmp(a.data(), b.data(), bits) != 0) return false;
  for (LONG r = 0; r < a.dib->biHeight; ++r)
    if (std::memcmp(a.data() + bits + r * stride, b.data() + bits + r * stride, width) != 0)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const BITMAPINFOHEADER* in = AsDib(data);
  const bool valid = ValidateArle(in, size);
  FuzzDib plain;
  plain.dib = DecodeArle(in, size, &plain.bytes);
  FUZZ_CHECK(valid == bool(plain));
  if (!plain) return 0;

  FuzzDib arle;
  arle.dib = EncodeArle(plain.dib, plain.bytes, &arle.bytes);
  FUZZ_CHECK(arle && ValidateArle(arle.dib, arle.bytes));
  FuzzDib again;
  again.dib = DecodeArle(arle.dib, arle.bytes, &again.bytes);
  FUZZ_CHECK(again && SamePixels(again, plain));

  std::vector<BYTE> copy(data, data + size);
  auto* sprite = reinterpret_cast<BITMAPINFOHEADER*>(copy.data());
  if (RemapArle(sprite, copy.size(), FuzzPalette())) {
    FUZZ_CHECK(ValidateArle(sprite, copy.size()));
  } else {
    FUZZ_CHECK(std::memcmp(copy.data(), data, size) == 0);
  }
  return 0;
}
