#include "gfx/run_length_image.h"

std::int32_t RunLengthImage::Create(std::int32_t, std::int32_t, std::uint16_t, std::int32_t,
                                    std::int32_t) {
  return GFX_UNSUPPORTED;
}
std::int32_t RunLengthImage::Lock(std::uint8_t**, std::int32_t*) { return GFX_ENCODED; }
std::int32_t RunLengthImage::Encode(std::uint32_t) { return GFX_UNSUPPORTED; }
std::int32_t RunLengthImage::Decode() { return GFX_UNSUPPORTED; }
std::int32_t RunLengthImage::IsEncoded() { return 0; }

std::int32_t RunLengthImage::FinishAttach(bool valid) {
  if (!valid) {
    Free();
    return GFX_BAD_ARGUMENT;
  }
  encoded_ = 0;
  PaletteFromTable();
  return GFX_OK;
}
