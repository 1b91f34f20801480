#pragma once
// The bubble burst a fish releases while it turns: a cloud of bubbles rising
// and spreading, 30 frames of 160 x 120 (times the pixel scale).

#include "assets/art/strip.h"

constexpr int kBubbleFrames = 30;
constexpr int kBubbleWidth = 160;
constexpr int kBubbleHeight = 120;

// At `pixelScale` 2 the same burst is drawn at twice the size.
FrameStrip RenderBubbleBurst(int pixelScale = 1);

// One bubble: a clear sphere with a bright rim and a highlight.
void DrawBubble(cairo_t* cr, double x, double y, double r, double alpha);
