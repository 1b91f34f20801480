#pragma once
// What the saver and its settings program agree on besides the registry's
// names (scene/config_values.h): the resource library's file, the codes of
// "DISPLAY" and the colour of the water.

#include <cstdint>

#include "port/win32.h"

// The resource library, in the data directory; always loaded as data.
constexpr const char* kLibraryFile = "ReraDOR.dll";

// "DISPLAY": 0..kBackgroundCount - 1 (scene/creature_table.h) pick a stock
// scene; then these two.
constexpr std::int32_t kDisplayCustom = 8;  // the user's picture
constexpr std::int32_t kDisplayRandom = 9;  // a random stock scene (so is any other value)

// The open water's colour, where a picture is missing or behind a sample.
constexpr COLORREF kWaterColour = RGB(16, 56, 104);
