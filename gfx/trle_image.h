// TrleImage (kind 4): a row-trimmed "TRLE" sprite of the destination's own pixel type,
// drawn straight from its spans (pixel/rle_blit.h) through a second TrleImage, an 8-bit
// "TRLE" mask of the same shape passed as aux: per pixel alpha blend at 16, 24 and 32
// bits, a screen door tied to the sprite at 8 bits.
// Kept in its encoding like every RunLengthImage; every draw checks that the mask's rows
// match the sprite's before anything is read.
#pragma once

#include <cstdint>

#include "gfx/run_length_image.h"

class TrleImage : public RunLengthImage {
 public:
  // Draws the sprite unscaled through the mask image AuxImage(aux); a scaled request draws
  // nothing and succeeds.
  [[nodiscard]] GraphicsStatus DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy,
                                        std::int32_t dw, std::int32_t dh, std::int32_t sx,
                                        std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                        std::uint32_t flags, std::intptr_t aux) override;
  // Converts the sprite to pixel type 4, 7, 9, 11 or 13 (type 4 with CONVERT_INVERSE_MAP
  // through the palette's inverse colour map, otherwise to the nearest of its entries);
  // the same type (other than 4) changes nothing.
  [[nodiscard]] GraphicsStatus Convert(std::uint16_t type, Palette* palette,
                                       std::uint32_t flags = 0,
                                       std::uint32_t reserved = 0) override;
  std::int32_t Kind() const override;
  // Takes a "TRLE" sprite of 8, 16, 24 or 32 bits. Anything else, or a sprite that fails
  // validation, gives GFX_BAD_ARGUMENT and an empty image.
  [[nodiscard]] GraphicsStatus Attach(MemoryBlock* block) override;
};
