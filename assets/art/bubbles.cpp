#include "assets/art/bubbles.h"

#include <cmath>

void DrawBubble(cairo_t* cr, double x, double y, double r, double alpha) {
  if (alpha <= 0 || r <= 0.3) return;
  cairo_save(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, r);
  AddStop(g, 0, Hex(0xD8F0FF), 0.12 * alpha);
  AddStop(g, 0.7, Hex(0xC8E8FF), 0.22 * alpha);
  AddStop(g, 0.92, Hex(0xF0FAFF), 0.75 * alpha);
  AddStop(g, 1, Hex(0xA8D0F0), 0.0);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // Highlight up left, a faint reflection low right.
  cairo_arc(cr, x - r * 0.38, y - r * 0.38, std::max(0.6, r * 0.24), 0, 2 * kPi);
  SetColour(cr, Rgb{1, 1, 1}, 0.9 * alpha);
  cairo_fill(cr);
  cairo_new_path(cr);
  cairo_arc(cr, x, y, r * 0.72, 0.2 * kPi, 0.55 * kPi);
  SetColour(cr, Rgb{1, 1, 1}, 0.35 * alpha);
  cairo_set_line_width(cr, std::max(0.6, r * 0.12));
  cairo_stroke(cr);
  cairo_restore(cr);
}

FrameStrip RenderBubbleBurst(int pixelScale) {
  struct Bubble {
    double x0, y0, r, start, rise, drift, wobble, phase;
  };
  Rng rng(0xB0B1E5);
  std::vector<Bubble> bubbles;
  for (int i = 0; i < 44; ++i) {
    Bubble b;
    b.x0 = 80 + rng.Range(-14, 14);
    b.y0 = 112 + rng.Range(-8, 4);
    b.r = i < 6 ? rng.Range(5.5, 8.5) : rng.Range(1.5, 5);
    b.start = rng.Range(0, 10);                  // frame it leaves the fish
    b.rise = rng.Range(3.2, 5.0) + b.r * 0.25;   // bigger bubbles rise faster
    b.drift = rng.Range(-2.8, 2.8);              // spreading sideways
    b.wobble = rng.Range(0.8, 2.2);
    b.phase = rng.Range(0, 2 * kPi);
    bubbles.push_back(b);
  }
  FrameStrip strip;
  strip.frames = kBubbleFrames;
  strip.frameWidth = kBubbleWidth * pixelScale;
  strip.frameHeight = kBubbleHeight * pixelScale;
  strip.image = RgbaImage(strip.frameWidth, strip.frameHeight * kBubbleFrames);
  for (int f = 0; f < kBubbleFrames; ++f) {
    Canvas canvas(strip.frameWidth, strip.frameHeight);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, pixelScale, pixelScale);
    for (const Bubble& b : bubbles) {
      const double age = f - b.start;
      if (age < 0) continue;
      const double y = b.y0 - b.rise * age - 0.04 * age * age;
      const double x = b.x0 + b.drift * age + b.wobble * std::sin(b.phase + age * 0.7);
      const double r = b.r * (0.6 + 0.4 * std::min(1.0, age / 4)) * (1 + 0.012 * age);
      // Fade as they near the top of the burst and in the last frames.
      const double top = SmoothStep(2, 26, y - r);
      const double end = 1 - SmoothStep(kBubbleFrames - 6, kBubbleFrames - 1, f);
      const double alpha = top * end;
      // Keep inside the frame.
      if (x - r < 1 || x + r > kBubbleWidth - 1 || y - r < 1 || y + r > kBubbleHeight - 1) {
        continue;
      }
      DrawBubble(cr, x, y, r, alpha);
    }
    PasteImage(strip.image, canvas.ToImage(), 0, f * strip.frameHeight);
  }
  return strip;
}
