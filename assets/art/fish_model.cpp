#include "assets/art/fish_model.h"

#include <algorithm>
#include <cmath>

namespace {

// Monotone cubic interpolation of one channel of the knots.
double Interpolate(const std::vector<ProfileKnot>& k, double t, double ProfileKnot::*field) {
  std::vector<Point> pts;
  pts.reserve(k.size());
  for (const ProfileKnot& kn : k) pts.push_back(Point{kn.t, kn.*field});
  return MonotoneCubic(pts, t);
}

void BodyPathThunk(cairo_t* cr, const void* body) {
  static_cast<const FishBody*>(body)->AppendPath(cr);
}

double Beat(const FishPose& pose, double amplitude) {
  return amplitude * std::sin(2 * kPi * pose.swim);
}

struct TailFrame {
  double x, yc, span, length, shear;
};

Point TailPoint(const TailFrame& f, double u, double w) {
  return Point{f.x + u * f.length, f.yc + w * f.span / 2 + f.shear * u};
}

void DrawTail(cairo_t* cr, const FishDesign& d, const FishBody& body) {
  const double L = body.Length();
  const double alpha = Beat(body.pose(), d.tailBeat);
  const double top = body.Top(1), bottom = body.Bottom(1);
  TailFrame f;
  f.x = L * 0.97;
  f.yc = (top + bottom) / 2;
  f.length = d.tailLength * L * std::cos(alpha);
  f.span = d.tailSpan * L * (1 + 0.06 * std::sin(alpha));
  f.shear = 0.05 * d.tailSpan * L * std::sin(2 * kPi * body.pose().swim + kPi / 2);
  const double ped = std::max(0.05, (bottom - top) / f.span);  // stalk half-height, w units
  std::vector<std::pair<double, double>> uw;
  switch (d.tail) {
    case TailShape::Forked: {
      const double notch = 1 - d.tailFork;
      uw = {{0, -ped}, {0.45, -0.6}, {0.85, -0.9}, {1.0, -1.0}, {0.92, -0.7},
            {notch, -0.12}, {notch, 0.12}, {0.92, 0.7}, {1.0, 1.0}, {0.85, 0.9},
            {0.45, 0.6}, {0, ped}};
      break;
    }
    case TailShape::Lunate: {
      const double notch = 1 - d.tailFork;
      uw = {{0, -ped}, {0.35, -0.45}, {0.8, -0.9}, {1.0, -1.0}, {0.85, -0.6},
            {notch, -0.05}, {notch, 0.05}, {0.85, 0.6}, {1.0, 1.0}, {0.8, 0.9},
            {0.35, 0.45}, {0, ped}};
      break;
    }
    case TailShape::Lyre: {
      const double notch = 1 - d.tailFork;
      uw = {{0, -ped}, {0.4, -0.5}, {0.8, -0.75}, {1.1, -1.05}, {0.95, -0.65},
            {notch, -0.2}, {notch + 0.03, 0}, {notch, 0.2}, {0.95, 0.65}, {1.1, 1.05},
            {0.8, 0.75}, {0.4, 0.5}, {0, ped}};
      break;
    }
    case TailShape::Truncate:
      uw = {{0, -ped}, {0.5, -0.7}, {0.95, -0.98}, {1.0, -0.6}, {0.98, 0}, {1.0, 0.6},
            {0.95, 0.98}, {0.5, 0.7}, {0, ped}};
      break;
    case TailShape::Rounded:
      uw = {{0, -ped}, {0.35, -0.68}, {0.72, -0.95}, {0.95, -0.68}, {1.02, 0},
            {0.95, 0.68}, {0.72, 0.95}, {0.35, 0.68}, {0, ped}};
      break;
  }
  std::vector<Point> outline;
  for (auto [u, w] : uw) outline.push_back(TailPoint(f, u, w));
  // Rays: from the stalk to the rim points of the outline (skip the stalk ends).
  std::vector<Point> base, tip;
  const int rays = std::max(3, d.tailRays);
  for (int i = 0; i < rays; ++i) {
    const double s = -1 + 2.0 * i / (rays - 1);
    base.push_back(TailPoint(f, 0.02, s * ped * 0.8));
    // Tip: the outline point whose w is nearest to s, among rim points.
    Point best = outline[1];
    double bestDist = 1e9;
    for (std::size_t j = 1; j + 1 < uw.size(); ++j) {
      const double dw = std::fabs(uw[j].second - s) - 0.3 * uw[j].first;
      if (dw < bestDist) {
        bestDist = dw;
        best = outline[j];
      }
    }
    tip.push_back(TailPoint(f, 0.9 * ((best.x - f.x) / std::max(1e-6, f.length)), s));
  }
  FinStyle style = d.tailStyle;
  if (alpha < 0) {
    style.base = Scale(style.base, 1 + 0.15 * alpha / std::max(0.01, d.tailBeat));
    style.edge = Scale(style.edge, 1 + 0.15 * alpha / std::max(0.01, d.tailBeat));
  }
  DrawFin(cr, outline, base, tip, style);
}

// Dorsal (up = -1) or anal (up = +1) fin along an edge of the body.
void DrawMedianFin(cairo_t* cr, const FinDesign& fin, const FishBody& body, double dir) {
  if (!fin.present || fin.heights.empty()) return;
  const double L = body.Length();
  const int n = std::max<int>(2, fin.rays + 1);
  auto edge = [&](double t) { return dir < 0 ? body.Top(t) : body.Bottom(t); };
  auto heightAt = [&](double s) {
    const std::size_t m = fin.heights.size();
    if (m == 1) return fin.heights[0];
    const double p = s * (m - 1);
    const std::size_t i = std::min<std::size_t>(m - 2, std::size_t(p));
    return Lerp(fin.heights[i], fin.heights[i + 1], p - i);
  };
  double hmax = 1e-6;
  for (double h : fin.heights) hmax = std::max(hmax, h);
  std::vector<Point> base, tip, outline;
  const double ripple = body.pose().swim;
  for (int i = 0; i < n; ++i) {
    const double s = double(i) / (n - 1);
    const double t = Lerp(fin.start, fin.end, s);
    const double h = heightAt(s) * L * (1 + 0.07 * std::sin(2 * kPi * (ripple - s)));
    const Point b{body.X(t), edge(t) - dir * 0.012 * L};
    const Point r{b.x + fin.sweep * L * (h / (hmax * L)), edge(t) + dir * h};
    base.push_back(b);
    tip.push_back(r);
  }
  // Outline: along the base, out to the trailing tip, back along the rim.
  for (const Point& p : base) outline.push_back(p);
  if (fin.tail > 0) {
    const Point last = tip.back();
    outline.push_back(Point{last.x + fin.tail * L * 0.5, Lerp(base.back().y, last.y, 0.6)});
    outline.push_back(Point{last.x + fin.tail * L, last.y + dir * 0.02 * L});
  }
  for (int i = n - 1; i >= 0; --i) {
    Point r = tip[i];
    if (fin.spiny && i > 0) {
      outline.push_back(r);
      const Point prev = tip[i - 1];
      const Point b = base[i], bp = base[i - 1];
      const Point mid{(r.x + prev.x) / 2, (r.y + prev.y) / 2};
      const Point bm{(b.x + bp.x) / 2, (b.y + bp.y) / 2};
      outline.push_back(Point{Lerp(bm.x, mid.x, 0.7), Lerp(bm.y, mid.y, 0.7)});
    } else {
      outline.push_back(r);
    }
  }
  DrawFin(cr, outline, base, tip, fin.style);
  if (fin.pattern) {
    cairo_save(cr);
    cairo_new_path(cr);
    SmoothClosedPath(cr, outline);
    cairo_clip(cr);
    fin.pattern(cr, body);
    cairo_restore(cr);
  }
  if (fin.spiny) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, std::max(0.8, fin.style.rayWidth));
    SetColour(cr, fin.style.ray, std::min(1.0, fin.style.rayAlpha + 0.3));
    for (int i = 0; i < n; ++i) {
      const Point b = base[i], r = tip[i];
      cairo_move_to(cr, b.x, b.y);
      cairo_line_to(cr, Lerp(b.x, r.x, 1.08), Lerp(b.y, r.y, 1.08));
    }
    cairo_stroke(cr);
    cairo_restore(cr);
  }
}

void DrawPairedFin(cairo_t* cr, const PairedFinDesign& fin, const FishBody& body,
                   double phaseShift, double shade) {
  if (!fin.present) return;
  const double L = body.Length();
  const Point hinge = body.At(fin.t, fin.v);
  const double a = fin.angle + fin.flap * std::sin(2 * kPi * (body.pose().swim + phaseShift));
  const double len = fin.length * L * (0.85 + 0.15 * std::cos(2 * kPi * body.pose().swim));
  const double w = fin.width * L;
  const double ca = std::cos(a), sa = std::sin(a);
  auto P = [&](double u, double v) {  // u along the fin, v across
    return Point{hinge.x + u * len * ca - v * w * sa, hinge.y + u * len * sa + v * w * ca};
  };
  // A fan: narrow at the hinge, the rays spreading to a rounded rim.
  std::vector<Point> outline = {P(0, -0.22), P(0.45, -0.8), P(0.85, -0.85), P(1.02, -0.3),
                                P(1.0, 0.25), P(0.8, 0.75), P(0.4, 0.65), P(0, 0.22)};
  std::vector<Point> base, tip;
  for (int i = 0; i < fin.rays; ++i) {
    const double s = fin.rays == 1 ? 0 : -0.85 + 1.6 * i / (fin.rays - 1);
    base.push_back(P(0.02, s * 0.18));
    tip.push_back(P(0.97 - 0.2 * s * s, s * 0.85));
  }
  FinStyle style = fin.style;
  style.base = Scale(style.base, shade);
  style.edge = Scale(style.edge, shade);
  DrawFin(cr, outline, base, tip, style);
}

void DrawBody(cairo_t* cr, const FishDesign& d, const FishBody& body) {
  const double L = body.Length();
  const double top = body.Top(0.4), bottom = body.Bottom(0.4);
  cairo_save(cr);
  cairo_new_path(cr);
  body.AppendPath(cr);
  cairo_pattern_t* g = VerticalGradient(top, bottom);
  AddStop(g, 0, d.back);
  AddStop(g, 0.45, d.flank);
  AddStop(g, 1, d.belly);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_clip(cr);
  if (d.pattern) {
    cairo_save(cr);
    d.pattern(cr, body);
    cairo_restore(cr);
  }
  // Light from above: a soft highlight on the upper flank, shade below.
  const double hy = Lerp(top, bottom, 0.3);
  cairo_pattern_t* h =
      cairo_pattern_create_radial(L * 0.3, hy, 0, L * 0.35, hy, (bottom - top) * 0.8);
  AddStop(h, 0, Rgb{1, 1, 1}, 0.28);
  AddStop(h, 1, Rgb{1, 1, 1}, 0);
  cairo_set_source(cr, h);
  cairo_paint(cr);
  cairo_pattern_destroy(h);
  cairo_pattern_t* s = VerticalGradient(top, bottom);
  AddStop(s, 0, Rgb{0, 0, 0.05}, 0.18);
  AddStop(s, 0.35, Rgb{0, 0, 0}, 0);
  AddStop(s, 0.75, Rgb{0, 0, 0}, 0);
  AddStop(s, 1, Rgb{0, 0, 0.05}, 0.25);
  cairo_set_source(cr, s);
  cairo_paint(cr);
  cairo_pattern_destroy(s);
  // Darker towards the tail stalk.
  cairo_pattern_t* r = cairo_pattern_create_linear(L * 0.6, 0, L, 0);
  AddStop(r, 0, Rgb{0, 0, 0}, 0);
  AddStop(r, 1, Rgb{0, 0, 0}, 0.15);
  cairo_set_source(cr, r);
  cairo_paint(cr);
  cairo_pattern_destroy(r);
  // Turning: the body is seen from the back, edge on.
  const double edgeOn = 1 - std::fabs(std::cos(kPi * body.pose().turn));
  if (edgeOn > 0) {
    SetColour(cr, Scale(d.back, 0.6), 0.45 * edgeOn);
    cairo_paint(cr);
  }
  cairo_restore(cr);
  InnerRimShade(cr, BodyPathThunk, &body, std::max(1.5, (bottom - top) * 0.12),
                Rgb{0.02, 0.02, 0.08}, d.rim);
  // Gill cover and mouth.
  cairo_save(cr);
  cairo_new_path(cr);
  body.AppendPath(cr);
  cairo_clip(cr);
  if (d.gillT > 0) {
    const double gt = d.gillT;
    const Point a = body.At(gt - 0.02, -0.75), m = body.At(gt + 0.03, 0.05),
                b = body.At(gt - 0.04, 0.8);
    cairo_move_to(cr, a.x, a.y);
    cairo_curve_to(cr, m.x, a.y + (m.y - a.y) * 0.5, m.x, m.y + (b.y - m.y) * 0.5, b.x, b.y);
    SetColour(cr, Scale(d.flank, 0.45), 0.55);
    cairo_set_line_width(cr, std::max(0.9, L * 0.012));
    cairo_stroke(cr);
  }
  const Point m0 = body.At(0.0, d.mouthV), m1 = body.At(d.mouthLength, d.mouthV + 0.12);
  cairo_move_to(cr, m0.x - 1, m0.y);
  cairo_line_to(cr, m1.x, m1.y);
  SetColour(cr, Rgb{0.05, 0.03, 0.03}, 0.7);
  cairo_set_line_width(cr, std::max(0.8, L * 0.01));
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

FishBody::FishBody(const FishDesign& design, const FishPose& pose)
    : design_(design), pose_(pose), length_(design.length), knots_(design.profile) {
  if (pose.inflate > 0) {
    // Blend towards a ball that keeps the tail stalk.
    const double k = pose.inflate;
    for (ProfileKnot& kn : knots_) {
      const double c = (kn.t - 0.46) / 0.5;
      const double r = 0.54 * std::sqrt(std::max(0.0, 1 - c * c));
      const double ball = std::max(r, kn.t > 0.9 ? 0.5 * (kn.bottom - kn.top) : 0.0);
      const double mid = (kn.top + kn.bottom) / 2;
      kn.top = Lerp(kn.top, std::min(kn.top, mid - ball), k);
      kn.bottom = Lerp(kn.bottom, std::max(kn.bottom, mid + ball), k);
    }
  }
}

double FishBody::Top(double t) const {
  return Interpolate(knots_, t, &ProfileKnot::top) * length_;
}
double FishBody::Bottom(double t) const {
  return Interpolate(knots_, t, &ProfileKnot::bottom) * length_;
}

Point FishBody::At(double t, double v) const {
  const double top = Top(t), bottom = Bottom(t);
  return Point{X(t), (top + bottom) / 2 + v * (bottom - top) / 2};
}

void FishBody::AppendPath(cairo_t* cr) const {
  const int n = 64;
  const double top0 = Top(0), bottom0 = Bottom(0);
  cairo_move_to(cr, 0, top0);
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n;
    cairo_line_to(cr, X(t), Top(t));
  }
  for (int i = n; i >= 0; --i) {
    const double t = double(i) / n;
    cairo_line_to(cr, X(t), Bottom(t));
  }
  // Round snout between the bottom and the top of the nose.
  const double gap = bottom0 - top0;
  cairo_curve_to(cr, -gap * 0.55, bottom0, -gap * 0.55, top0, 0, top0);
  cairo_close_path(cr);
}

void DrawFish(cairo_t* cr, const FishDesign& design, const FishPose& pose) {
  FishBody body(design, pose);
  cairo_save(cr);
  // Far-side paired fins peek out behind the body.
  DrawPairedFin(cr, design.pelvic, body, 0.25, 0.7);
  DrawTail(cr, design, body);
  DrawMedianFin(cr, design.dorsal, body, -1);
  DrawMedianFin(cr, design.dorsal2, body, -1);
  DrawMedianFin(cr, design.anal, body, 1);
  DrawBody(cr, design, body);
  DrawEye(cr, body.At(design.eyeT, design.eyeV).x, body.At(design.eyeT, design.eyeV).y,
          design.eyeRadius * design.length, design.iris, design.eyeRing);
  DrawPairedFin(cr, design.pelvic, body, 0, 1.0);
  DrawPairedFin(cr, design.pectoral, body, 0, 1.0);
  if (design.overlay) design.overlay(cr, body);
  cairo_restore(cr);
}

void BodyBand(cairo_t* cr, const FishBody& body, double t0, double t1, double bend) {
  const int n = 12;
  cairo_new_path(cr);
  for (int i = 0; i <= n; ++i) {
    const double v = -1.2 + 2.4 * i / n;
    const double off = bend * (1 - v * v);
    const Point p = body.At(t0 + off, v);
    if (i == 0) {
      cairo_move_to(cr, p.x, p.y);
    } else {
      cairo_line_to(cr, p.x, p.y);
    }
  }
  for (int i = n; i >= 0; --i) {
    const double v = -1.2 + 2.4 * i / n;
    const double off = bend * (1 - v * v);
    const Point p = body.At(t1 + off, v);
    cairo_line_to(cr, p.x, p.y);
  }
  cairo_close_path(cr);
}

void BodyStripe(cairo_t* cr, const FishBody& body, double t0, double t1, double v0,
                double v1) {
  const int n = 24;
  cairo_new_path(cr);
  for (int i = 0; i <= n; ++i) {
    const Point p = body.At(Lerp(t0, t1, double(i) / n), v0);
    if (i == 0) {
      cairo_move_to(cr, p.x, p.y);
    } else {
      cairo_line_to(cr, p.x, p.y);
    }
  }
  for (int i = n; i >= 0; --i) {
    const Point p = body.At(Lerp(t0, t1, double(i) / n), v1);
    cairo_line_to(cr, p.x, p.y);
  }
  cairo_close_path(cr);
}
