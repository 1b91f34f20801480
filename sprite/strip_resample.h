// Strips of frames resampled to another frame size, once, for a scene
// composed at its monitor's own pixels from the art drawn at twice the size.
// Each frame is area-averaged on its own (nothing of one frame bleeds into
// the next) with its transparency: a keyed picture's key and a masked
// picture's mask become an alpha, carried premultiplied, so edges stay smooth
// and no key colour fringes them. The result is a 32-bit "TRLE" sprite and
// the 8-bit "TRLE" mask it is drawn through (pixel and mask 0 exactly where
// nothing shows).
//
// Inputs are plain 8-bit bitmaps as the sprite decoders give them, checked
// like every codec input (sprite/sprite_layout.h). Portable.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct ResampledStrip {
  BITMAPINFOHEADER* sprite = nullptr;  // fixed global-heap blocks: GlobalFree both
  SIZE_T spriteBytes = 0;
  BITMAPINFOHEADER* mask = nullptr;
  SIZE_T maskBytes = 0;
};

// picture: `frames` frames stacked top to bottom (its height a multiple of
// frames). alpha: null, the index `key` then being transparent (-1: none),
// or a plain 8-bit bitmap of the picture's size whose indices are the alpha
// (0 nothing, 255 all). Every frame becomes frameWidth x frameHeight. False,
// with out untouched and nothing held, when an input is not as described, a
// size is out of range or memory runs out.
[[nodiscard]] bool ResampleStrip(const BITMAPINFOHEADER* picture, SIZE_T pictureBytes,
                                 const BITMAPINFOHEADER* alpha, SIZE_T alphaBytes,
                                 std::int32_t key, std::int32_t frames, std::int32_t frameWidth,
                                 std::int32_t frameHeight, ResampledStrip* out);
