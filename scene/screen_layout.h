#pragma once
// Where the full-screen scene sits on the screen: its pixel type from the
// screen's depth and layout (the screen's own: a 16-bit screen is 555 or
// 565, so that presenting is a plain copy), its logical size (640 x 480, 800 x 600 or 1024 x 768, the
// largest whose width fits) and its offset, centred on a larger screen. Edge
// to edge the scene takes the monitor's own shape instead.

#include <cstdint>

#include "scene/pixel_scale.h"

struct ScreenLayout {
  std::uint16_t type = 0;  // pixel type: 7 or 9, 11 or 13 for 16, 24 or 32 bits, else 4
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t offsetX = 0;  // never negative
  std::int32_t offsetY = 0;
  // The 4:3 size whose art the scene uses (640, 800 or 1024 wide; the
  // height is the scene's): the width itself unless the scene is edge to edge.
  std::int32_t designWidth = 0;
  // Pixels per design unit (width and height are pixels; designWidth stays
  // in design units): 1, or more for a scene composed from the art at twice
  // the size (TwiceSizeLayout).
  PixelScale scale;
};

// green6: a 16-bit screen has six bits of green (565).
ScreenLayout FullScreenLayout(std::int32_t screenWidth, std::int32_t screenHeight,
                              std::int32_t bitsPerPixel, bool green6);

// Edge to edge on a monitor of monitorWidth x monitorHeight: the height is the
// 4:3 size's that FullScreenLayout picks for the largest 4:3 box inside the
// monitor (768, 600 or 480), the width that height times the monitor's
// aspect, rounded, the aspect held between 1:4 and 4:1 (a view covering the
// monitor crops the rest). The offsets are 0.
ScreenLayout EdgeLayout(std::int32_t monitorWidth, std::int32_t monitorHeight,
                        std::int32_t bitsPerPixel, bool green6);

// An edge-to-edge layout for its monitor, composed from the art at twice the
// size when the monitor is more than 1.25 times as high as the scene and the
// screen has more than 8 bits. Up to twice the scene's height the scene is
// composed at the monitor's own pixels (the scale the monitor's height over
// the scene's; the art resampled once, at setup), which a tick then copies
// as it is. Above, at twice its pixels (scale 2), which a tick scales to the
// monitor: measured, that is faster on 3840 x 2160 than composing there.
// Otherwise (and for a layout already scaled) the layout as it is.
ScreenLayout TwiceSizeLayout(const ScreenLayout& edge, std::int32_t monitorWidth,
                             std::int32_t monitorHeight);
