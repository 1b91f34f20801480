// The colour masks of a 16-bit screen: 555 or 565. Target only.
#pragma once

#include <cstdint>

#include "port/win32.h"

// The screen's green mask (0x03E0 for 555, 0x07E0 for 565), from the
// platform's description of the display mode, else from a bitmap compatible
// with the screen (dc); 0 when neither tells.
std::uint32_t ScreenGreenMask(HDC dc);
