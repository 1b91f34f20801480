#pragma once
// "FILLSCREEN": how the scene meets each monitor. Absent, 0 or out of range:
// centred at its own size; 1: scaled to fit with its shape kept (bars on the
// long sides); 2: edge to edge, a scene of the monitor's own shape covering it.

#include <cstdint>

enum FillMode : std::uint32_t { FILL_CENTRED = 0, FILL_BARS = 1, FILL_EDGE = 2 };
constexpr std::uint32_t kMaxFillScreen = FILL_EDGE;
