#include "assets/art/draw_kit.h"

#include <algorithm>
#include <cmath>

Rgb Mix(Rgb a, Rgb b, double t) {
  return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb c, double k) {
  if (k <= 1) return Rgb{c.r * k, c.g * k, c.b * k};
  const double t = std::min(1.0, k - 1);
  return Mix(c, Rgb{1, 1, 1}, t);
}

void SetColour(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

std::uint64_t Rng::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Rng::Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
int Rng::Below(int n) { return n <= 0 ? 0 : int(Next() % std::uint64_t(n)); }


static double LatticeValue(std::uint32_t seed, std::int32_t x, std::int32_t y) {
  std::uint32_t h = seed * 0x27D4EB2Du ^ std::uint32_t(x) * 0x85EBCA6Bu ^
                    std::uint32_t(y) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return (h & 0xFFFFFF) / double(0xFFFFFF);
}

static double Fade(double t) { return t * t * (3 - 2 * t); }

double ValueNoise(std::uint32_t seed, double x, double y) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = std::int32_t(fx), iy = std::int32_t(fy);
  const double tx = Fade(x - fx), ty = Fade(y - fy);
  const double a = LatticeValue(seed, ix, iy), b = LatticeValue(seed, ix + 1, iy);
  const double c = LatticeValue(seed, ix, iy + 1), d = LatticeValue(seed, ix + 1, iy + 1);
  return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

double FractalNoise(std::uint32_t seed, double x, double y, int octaves) {
  double sum = 0, amp = 0.5, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * ValueNoise(seed + std::uint32_t(i) * 101u, x, y);
    norm += amp;
    amp *= 0.5;
    x *= 2.03;
    y *= 2.03;
  }
  return sum / norm;
}

double PeriodicNoise1(std::uint32_t seed, double x, int period) {
  const double fx = std::floor(x);
  const int i0 = ((int(fx) % period) + period) % period;
  const int i1 = (i0 + 1) % period;
  return Lerp(LatticeValue(seed, i0, 7), LatticeValue(seed, i1, 7), Fade(x - fx));
}

static void CatmullSegment(cairo_t* cr, Point p0, Point p1, Point p2, Point p3, double k) {
  const double t = k / 6.0;
  cairo_curve_to(cr, p1.x + (p2.x - p0.x) * t, p1.y + (p2.y - p0.y) * t,
                 p2.x - (p3.x - p1.x) * t, p2.y - (p3.y - p1.y) * t, p2.x, p2.y);
}

void SmoothClosedPath(cairo_t* cr, const std::vector<Point>& pts, double tension) {
  const std::size_t n = pts.size();
  if (n < 3) return;
  cairo_move_to(cr, pts[0].x, pts[0].y);
  for (std::size_t i = 0; i < n; ++i) {
    CatmullSegment(cr, pts[(i + n - 1) % n], pts[i], pts[(i + 1) % n], pts[(i + 2) % n],
                   tension);
  }
  cairo_close_path(cr);
}

void SmoothOpenPath(cairo_t* cr, const std::vector<Point>& pts, bool moveFirst,
                    double tension) {
  const std::size_t n = pts.size();
  if (n < 2) return;
  if (moveFirst) {
    cairo_move_to(cr, pts[0].x, pts[0].y);
  } else {
    cairo_line_to(cr, pts[0].x, pts[0].y);
  }
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Point p0 = i == 0 ? pts[0] : pts[i - 1];
    const Point p3 = i + 2 < n ? pts[i + 2] : pts[n - 1];
    CatmullSegment(cr, p0, pts[i], pts[i + 1], p3, tension);
  }
}

void InnerRimShade(cairo_t* cr, void (*path)(cairo_t*, const void*), const void* ctx,
                   double width, Rgb colour, double alpha) {
  cairo_save(cr);
  cairo_new_path(cr);
  path(cr, ctx);
  cairo_clip(cr);
  const int steps = 6;
  for (int i = 0; i < steps; ++i) {
    const double w = width * 2 * (steps - i) / steps;
    cairo_new_path(cr);
    path(cr, ctx);
    SetColour(cr, colour, alpha / steps);
    cairo_set_line_width(cr, w);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void DrawEye(cairo_t* cr, double x, double y, double r, Rgb iris, Rgb ring) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  SetColour(cr, ring);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.2, y - r * 0.2, r * 0.1, x, y,
                                                   r * 0.82);
  AddStop(g, 0, Scale(iris, 1.35));
  AddStop(g, 1, Scale(iris, 0.7));
  cairo_arc(cr, x, y, r * 0.82, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_arc(cr, x, y, r * 0.5, 0, 2 * kPi);
  SetColour(cr, Hex(0x080810));
  cairo_fill(cr);
  cairo_arc(cr, x - r * 0.25, y - r * 0.28, std::max(0.6, r * 0.22), 0, 2 * kPi);
  SetColour(cr, Rgb{1, 1, 1}, 0.95);
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawFin(cairo_t* cr, const std::vector<Point>& outline, const std::vector<Point>& rayBase,
             const std::vector<Point>& rayTip, const FinStyle& style) {
  if (outline.size() < 3) return;
  double y0 = outline[0].y, y1 = outline[0].y, x0 = outline[0].x, x1 = outline[0].x;
  for (const Point& p : outline) {
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
  }
  // Gradient from the centroid of the base towards the farthest tip.
  Point bc{0, 0}, tc{0, 0};
  for (const Point& p : rayBase) bc = {bc.x + p.x, bc.y + p.y};
  for (const Point& p : rayTip) tc = {tc.x + p.x, tc.y + p.y};
  if (!rayBase.empty()) bc = {bc.x / rayBase.size(), bc.y / rayBase.size()};
  if (!rayTip.empty()) tc = {tc.x / rayTip.size(), tc.y / rayTip.size()};
  if (rayBase.empty() || rayTip.empty()) {
    bc = {x0, y0};
    tc = {x1, y1};
  }
  cairo_save(cr);
  cairo_new_path(cr);
  SmoothClosedPath(cr, outline);
  cairo_pattern_t* g = cairo_pattern_create_linear(bc.x, bc.y, tc.x, tc.y);
  AddStop(g, 0, style.base, style.alpha);
  AddStop(g, Clamp01(style.edgeStart), style.base, Lerp(style.alpha, style.edgeAlpha, 0.5));
  AddStop(g, 1, style.edge, style.edgeAlpha);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_clip(cr);
  const std::size_t n = std::min(rayBase.size(), rayTip.size());
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, style.rayWidth);
  cairo_new_path(cr);
  for (std::size_t i = 0; i < n; ++i) {
    const Point a = rayBase[i], b = rayTip[i];
    const Point m{(a.x + b.x) / 2 + (b.y - a.y) * 0.04, (a.y + b.y) / 2 - (b.x - a.x) * 0.04};
    cairo_move_to(cr, a.x, a.y);
    cairo_curve_to(cr, m.x, m.y, m.x, m.y, b.x, b.y);
  }
  SetColour(cr, style.ray, style.rayAlpha);
  if (style.rayDash > 0) {
    cairo_stroke_preserve(cr);
    const double dash[] = {style.rayDash, style.rayDash};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    SetColour(cr, style.ray2, style.rayAlpha);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

cairo_pattern_t* VerticalGradient(double y0, double y1) {
  return cairo_pattern_create_linear(0, y0, 0, y1);
}

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

double SmoothStep(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

double MonotoneCubic(const std::vector<Point>& k, double x) {
  const std::size_t n = k.size();
  if (n == 0) return 0;
  if (x <= k.front().x) return k.front().y;
  if (x >= k.back().x) return k.back().y;
  std::size_t i = 0;
  while (i + 2 < n && x > k[i + 1].x) ++i;
  auto slope = [&](std::size_t a) { return (k[a + 1].y - k[a].y) / (k[a + 1].x - k[a].x); };
  auto tangent = [&](std::size_t a) {
    if (a == 0) return slope(0);
    if (a == n - 1) return slope(n - 2);
    const double s0 = slope(a - 1), s1 = slope(a);
    if (s0 * s1 <= 0) return 0.0;
    return 2 * s0 * s1 / (s0 + s1);
  };
  const double h = k[i + 1].x - k[i].x;
  const double u = (x - k[i].x) / h;
  const double m0 = tangent(i) * h, m1 = tangent(i + 1) * h;
  const double u2 = u * u, u3 = u2 * u;
  return (2 * u3 - 3 * u2 + 1) * k[i].y + (u3 - 2 * u2 + u) * m0 + (-2 * u3 + 3 * u2) * k[i + 1].y +
         (u3 - u2) * m1;
}

void FillShaded(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
  cairo_pattern_t* g = VerticalGradient(y0, y1);
  AddStop(g, 0, top);
  AddStop(g, 1, bottom);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
}
