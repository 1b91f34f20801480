#pragma once
// Drawing helpers shared by every creature and scene: colours, seeded
// randomness, value noise, smooth paths, soft shading, eyes and fins.

#include <cairo.h>

#include <cstdint>
#include <vector>

struct Rgb {
  double r = 0, g = 0, b = 0;
};

constexpr Rgb Hex(std::uint32_t v) {
  return Rgb{((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scale(Rgb c, double k);  // k < 1 darkens, k > 1 lightens (clamped)

void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

// Deterministic generator (splitmix64); everything random in the art is seeded.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  double Uniform();                        // [0, 1)
  double Range(double lo, double hi);      // [lo, hi)
  int Below(int n);                        // 0..n-1

 private:
  std::uint64_t state_;
};

// Smooth value noise in [0, 1] on a lattice of unit cells, and fractal sums.
double ValueNoise(std::uint32_t seed, double x, double y);
double FractalNoise(std::uint32_t seed, double x, double y, int octaves);
// Noise that tiles with period `period` cells in x (for seamless loops in time).
double PeriodicNoise1(std::uint32_t seed, double x, int period);

struct Point {
  double x = 0, y = 0;
};

// Appends a smooth closed (or open) curve through the points to the current
// path (Catmull-Rom turned into cubic Beziers). `tension` 1 is the usual curve.
void SmoothClosedPath(cairo_t* cr, const std::vector<Point>& pts, double tension = 1.0);
void SmoothOpenPath(cairo_t* cr, const std::vector<Point>& pts, bool moveFirst = true,
                    double tension = 1.0);

// Soft inner shading of whatever path `path` builds: a dark rim fading
// inwards, drawn as several strokes clipped to the path.
void InnerRimShade(cairo_t* cr, void (*path)(cairo_t*, const void*), const void* ctx,
                   double width, Rgb colour, double alpha);

// A round eye with iris, pupil and highlight; `r` is the outer radius.
void DrawEye(cairo_t* cr, double x, double y, double r, Rgb iris, Rgb ring);

// A fan-shaped fin: membrane through `outline` (closed, smooth) filled with a
// vertical gradient, with rays drawn from each base point to each tip point.
struct FinStyle {
  Rgb base;
  Rgb edge;
  double alpha = 0.85;      // membrane opacity near the body
  double edgeAlpha = 0.6;   // membrane opacity at the rim
  Rgb ray;
  double rayAlpha = 0.5;
  double rayWidth = 0.8;
  double edgeStart = 0.5;   // where along base-to-rim the edge colour begins
  double rayDash = 0;       // > 0: rays banded in dashes of this length ...
  Rgb ray2;                 // ... alternating with this colour
};
void DrawFin(cairo_t* cr, const std::vector<Point>& outline, const std::vector<Point>& rayBase,
             const std::vector<Point>& rayTip, const FinStyle& style);

// Smooth interpolation through knots (x ascending) without overshoot.
double MonotoneCubic(const std::vector<Point>& knots, double x);

// Fills the current path with a vertical gradient (the path is kept).
void FillShaded(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);

// Linear gradient helpers along y or an arbitrary segment.
cairo_pattern_t* VerticalGradient(double y0, double y1);
double Clamp01(double v);
double SmoothStep(double e0, double e1, double x);
double Lerp(double a, double b, double t);
constexpr double kPi = 3.14159265358979323846;
