// RunLengthImage: what the two sprite classes kept in a run-length encoding share. The
// encoding is their normal form, so they never count as encoded, cannot be re-encoded or
// decoded in place, cannot be created empty, and cannot lock their pixels: the body is
// codes or spans, not rows of pixels.
#pragma once

#include <cstdint>

#include "gfx/packed_dib_image.h"

class RunLengthImage : public PackedDibImage {
 public:
  // GFX_UNSUPPORTED.
  std::int32_t Create(std::int32_t width, std::int32_t height, std::uint16_t type,
                      std::int32_t reserved0 = 0, std::int32_t reserved1 = 0) override;
  // GFX_ENCODED.
  std::int32_t Lock(std::uint8_t** bits, std::int32_t* pitch) override;
  // GFX_UNSUPPORTED; the sprite stays as it is.
  std::int32_t Encode(std::uint32_t tag) override;
  std::int32_t Decode() override;
  // Always 0.
  std::int32_t IsEncoded() override;

 protected:
  // The end of Attach once the installed sprite has been validated: an invalid one is
  // freed (GFX_BAD_ARGUMENT, empty image), a valid one takes its colour table as palette.
  std::int32_t FinishAttach(bool valid);
};
