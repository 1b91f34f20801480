// Plain bitmaps of arbitrary bytes through every encoder: whatever an encoder
// accepts comes back from its decoder with the same header, colour table and
// pixels.
#include "sprite/arle.h"
#include "sprite/packed.h"
#include "sprite/trle.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using Codec = BITMAPINFOHEADER* (*)(const BITMAPINFOHEADER*, SIZE_T, SIZE_T*);

// Header (except biSizeImage), table and the pixels of every row agree; row
// padding may differ.
bool SamePlain(const BITMAPINFOHEADER* a, const FuzzDib& b) {
  const BYTE* x = reinterpret_cast<const BYTE*>(a);
  BITMAPINFOHEADER h;
  std::memcpy(&h, a, 40);
  h.biSizeImage = 0;
  if (std::memcmp(&h, b.dib, 40) != 0) return false;
  const std::size_t stride = (std::size_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
  const std::size_t bits = b.bytes - stride * std::size_t(h.biHeight);
  if (std::memcmp(x + 40, b.data() + 40, bits - 40) != 0) return false;
  const std::size_t used = std::size_t(h.biWidth) * h.biBitCount / 8;
  for (LONG r = 0; r < h.biHeight; ++r)
    if (std::memcmp(x + bits + r * stride, b.data() + bits + r * stride, used) != 0) return false;
  return true;
}

void RoundTrip(const BITMAPINFOHEADER* in, SIZE_T size, Codec encode, Codec decode) {
  FuzzDib encoded;
  encoded.dib = encode(in, size, &encoded.bytes);
  if (!encoded) return;
  FuzzDib decoded;
  decoded.dib = decode(encoded.dib, encoded.bytes, &decoded.bytes);
  FUZZ_CHECK(decoded);
  FUZZ_CHECK(SamePlain(in, decoded));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const BITMAPINFOHEADER* in = AsDib(data);
  RoundTrip(in, size, EncodeArle, DecodeArle);
  RoundTrip(in, size, EncodePrle, DecodePrle);
  RoundTrip(in, size, EncodeTrle, DecodeTrle);
  RoundTrip(in, size, EncodePacked, DecodePacked);
  return 0;
}
