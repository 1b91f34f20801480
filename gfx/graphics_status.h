// Status codes shared by the image family, the surfaces and the display.
// Every operation returns one of these; 0 is success, and "nothing to do"
// (a blit clipped away entirely) is success too.
#pragma once

#include <cstdint>

enum GraphicsStatus : std::int32_t {
  GFX_OK = 0,
  GFX_UNSUPPORTED = 1,        // not supported by this class, or the object is empty
  GFX_BAD_ARGUMENT = 2,       // bad argument, missing object, or the work failed
  GFX_NO_PIXELS = 3,          // the image has no pixels (type 0) or no block
  GFX_LOCKED = 4,             // the image is locked
  GFX_UNKNOWN_TAG = 5,        // unrecognised encoding tag
  GFX_NOT_ENCODED = 6,        // the image is not encoded
  GFX_ALREADY_ENCODED = 7,    // the image is already encoded
  GFX_BUSY = 8,               // the device context is busy
  GFX_PALETTE_LENGTH = 10,    // palette length does not equal 2^depth
  GFX_PALETTE_EMPTY = 11,     // palette is empty
  GFX_ENCODED = 12,           // the pixels are encoded and cannot be locked or converted
  GFX_CONVERSION_EMPTY = 13,  // conversion produced nothing
  GFX_TYPES_DIFFER = 14,      // source and destination types differ
};
