// ArleImage (kind 3): an 8-bit palettised sprite kept in the "ARLE" run-length encoding and
// drawn straight from its codes (pixel/rle_blit.h) onto surfaces of depth 8, 16, 24 or 32:
// indices as they are at 8 bits, through the sprite palette's lookup table above. Made
// transparent with the source key (BLIT_SRCKEY, a palette index).
// Kept in its encoding like every RunLengthImage.
#pragma once

#include <cstdint>

#include "gfx/run_length_image.h"

class ArleImage : public RunLengthImage {
 public:
  // Draws the sprite unscaled; a scaled request draws nothing and succeeds. aux is the
  // level of BLIT_STIPPLE and BLIT_BLEND.
  [[nodiscard]] GraphicsStatus DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy,
                                        std::int32_t dw, std::int32_t dh, std::int32_t sx,
                                        std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                        std::uint32_t flags, std::intptr_t aux) override;
  // Remaps the sprite's indices and colour table to the palette's 256 entries (the type is
  // ignored) and takes the palette.
  [[nodiscard]] GraphicsStatus Convert(std::uint16_t type, Palette* palette,
                                       std::uint32_t flags = 0,
                                       std::uint32_t reserved = 0) override;
  std::int32_t Kind() const override;
  // Takes an 8-bit "ARLE" sprite, or a "PRLE" sprite which it expands to "ARLE" at once.
  // Anything else, or a sprite that fails validation, gives GFX_BAD_ARGUMENT and an empty
  // image.
  [[nodiscard]] GraphicsStatus Attach(MemoryBlock* block) override;
};
