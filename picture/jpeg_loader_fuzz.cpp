// libFuzzer target: the JPEG loader on arbitrary bytes from memory. Whatever
// loads must be a consistent bitmap of the decoded pixels within the limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gfx/debug_log.h"
#include "picture/jpeg_loader.h"

#define JPEG_FUZZ_CHECK(condition) \
  do {                             \
    if (!(condition)) std::abort(); \
  } while (0)

namespace {

void Quiet(const char*) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetDebugLogSink(Quiet);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > UINT32_MAX) return 0;
  const auto bytes = static_cast<std::uint32_t>(size);
  std::int32_t width = 0, height = 0;
  std::uint8_t* rgb = DecodeJpegFromMemory(data, bytes, &width, &height);
  HGLOBAL block = LoadJpegFromMemory(data, bytes);
  JPEG_FUZZ_CHECK((rgb == nullptr) == (block == nullptr));
  if (!rgb) {
    JPEG_FUZZ_CHECK(width == 0 && height == 0);
    return 0;
  }
  JPEG_FUZZ_CHECK(width > 0 && height > 0);
  JPEG_FUZZ_CHECK(static_cast<std::uint64_t>(width) * height <= kJpegMaxPixels);
  const std::uint32_t stride = PackedDibStride24(static_cast<std::uint32_t>(width));
  JPEG_FUZZ_CHECK(GlobalSize(block) == 40u + static_cast<SIZE_T>(stride) * height);
  const auto* dib = static_cast<const std::uint8_t*>(block);
  // The bottom row of the bitmap is the last decoded row, in blue-green-red.
  const std::uint8_t* last = rgb + static_cast<std::size_t>(width) * 3 * (height - 1);
  for (std::int32_t x = 0; x < width; ++x) {
    JPEG_FUZZ_CHECK(dib[40 + 3 * x] == last[3 * x + 2]);
    JPEG_FUZZ_CHECK(dib[40 + 3 * x + 2] == last[3 * x]);
  }
  std::free(rgb);
  GlobalFree(block);
  return 0;
}
