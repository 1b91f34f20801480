// The air-breathers: the loggerhead turtle and the bottlenose dolphin.
#include "assets/art/creature_art.h"

#include <cmath>

namespace {

// A paddle-shaped limb hinged at `hinge`, pointing at `angle` (0 = straight
// back, positive = downwards), in the local shape (u along, v across).
void Paddle(cairo_t* cr, Point hinge, double angle, double length, double width,
            const std::vector<Point>& shape) {
  const double ca = std::cos(angle), sa = std::sin(angle);
  std::vector<Point> pts;
  for (const Point& p : shape) {
    pts.push_back(Point{hinge.x + p.x * length * ca - p.y * width * sa,
                        hinge.y + p.x * length * sa + p.y * width * ca});
  }
  cairo_new_path(cr);
  SmoothClosedPath(cr, pts);
}

// Irregular scales: a loose net of dark cells over the current clip.
void ScaleNet(cairo_t* cr, double x0, double y0, double x1, double y1, double cell,
              std::uint64_t seed, Rgb line, double alpha) {
  Rng rng(seed);
  cairo_save(cr);
  cairo_set_line_width(cr, std::max(0.7, cell * 0.1));
  SetColour(cr, line, alpha);
  for (double y = y0; y < y1; y += cell * 0.8) {
    for (double x = x0 + (int((y - y0) / (cell * 0.8)) % 2) * cell * 0.5; x < x1; x += cell) {
      const double r = cell * rng.Range(0.38, 0.5);
      cairo_new_path(cr);
      for (int k = 0; k < 6; ++k) {
        const double a = k * kPi / 3 + rng.Range(-0.2, 0.2);
        const double px = x + r * std::cos(a), py = y + r * 0.8 * std::sin(a);
        if (k == 0) {
          cairo_move_to(cr, px, py);
        } else {
          cairo_line_to(cr, px, py);
        }
      }
      cairo_close_path(cr);
      cairo_stroke(cr);
    }
  }
  cairo_restore(cr);
}

const std::vector<Point> kFrontFlipper = {{0, -0.5},  {0.3, -0.62}, {0.7, -0.45}, {1, -0.08},
                                          {0.95, 0.12}, {0.6, 0.3}, {0.2, 0.45}, {0, 0.5}};
const std::vector<Point> kRearFlipper = {{0, -0.5}, {0.5, -0.6}, {1, -0.2}, {0.9, 0.4},
                                         {0.4, 0.55}, {0, 0.5}};

const Rgb kSkinTop = Hex(0x8A5A30), kSkinBottom = Hex(0xE0C088), kScaleLine = Hex(0x4A2E14);

void TurtleFlipper(cairo_t* cr, Point hinge, double angle, double length, double width,
                   const std::vector<Point>& shape, double shade) {
  Paddle(cr, hinge, angle, length, width, shape);
  cairo_save(cr);
  FillShaded(cr, hinge.y - length, hinge.y + length, Scale(kSkinTop, shade),
             Scale(kSkinBottom, shade));
  cairo_clip(cr);
  ScaleNet(cr, hinge.x - length, hinge.y - length, hinge.x + length, hinge.y + length,
           width * 0.3, 5, kScaleLine, 0.3);
  cairo_restore(cr);
  SetColour(cr, Scale(kScaleLine, shade), 0.7);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
}

void ShellPath(cairo_t* cr) {
  const std::vector<Point> shell = {{70, -8},   {84, -38},  {118, -58}, {165, -63},
                                    {212, -50}, {246, -25}, {258, -4},  {246, 12},
                                    {200, 21},  {140, 25},  {92, 19},   {72, 7}};
  SmoothClosedPath(cr, shell);
}

void DrawTurtle(cairo_t* cr, const FishPose& pose) {
  const double phase = 2 * kPi * pose.swim;
  const double stroke = 0.05 - 1.0 * std::cos(phase);
  const double bob = 3 * std::sin(phase - 0.8);  // the body rises a little on the down-stroke
  cairo_save(cr);
  cairo_translate(cr, 0, bob);
  // Far-side flippers, darker, behind the body.
  TurtleFlipper(cr, Point{108, 0}, stroke - 0.15, 118, 34, kFrontFlipper, 0.62);
  TurtleFlipper(cr, Point{236, 4}, 0.5 + 0.35 * std::sin(phase + 1.5), 40, 22, kRearFlipper,
                0.62);
  // Neck and head.
  cairo_new_path(cr);
  SmoothClosedPath(cr, {{4, -18}, {26, -34}, {58, -32}, {92, -20}, {96, 12}, {60, 18},
                        {28, 16}, {4, 7}, {-3, -6}});
  cairo_save(cr);
  FillShaded(cr, -28, 14, kSkinTop, kSkinBottom);
  cairo_clip(cr);
  ScaleNet(cr, 0, -36, 64, -2, 11, 3, kScaleLine, 0.5);
  cairo_restore(cr);
  SetColour(cr, kScaleLine, 0.6);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  // Beak line and eye.
  cairo_move_to(cr, -1, 0);
  cairo_curve_to(cr, 10, 4, 22, 3, 32, -2);
  SetColour(cr, Hex(0x2A1A0A), 0.8);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  DrawEye(cr, 24, -16, 5.5, Hex(0x5A3A1A), Hex(0x2A1A0A));
  // Shell: the carapace with its scutes, and the pale plastron below.
  cairo_new_path(cr);
  ShellPath(cr);
  cairo_save(cr);
  FillShaded(cr, -63, 25, Hex(0x9A5424), Hex(0xB87A40));
  cairo_clip(cr);
  cairo_new_path(cr);
  SmoothOpenPath(cr, {{72, 8}, {120, 12}, {200, 10}, {258, -2}});
  cairo_line_to(cr, 258, 30);
  cairo_line_to(cr, 72, 30);
  cairo_close_path(cr);
  SetColour(cr, Hex(0xE8C880));
  cairo_fill(cr);
  // Scute borders: a ring inside the rim and radial seams.
  cairo_set_line_width(cr, 1.6);
  SetColour(cr, Hex(0x4A220C), 0.75);
  cairo_new_path(cr);
  SmoothOpenPath(cr, {{86, -4}, {100, -30}, {130, -44}, {168, -47}, {208, -37}, {238, -16},
                      {250, 0}});
  cairo_stroke(cr);
  cairo_new_path(cr);
  SmoothOpenPath(cr, {{78, 4}, {130, 9}, {200, 7}, {252, -3}});
  cairo_stroke(cr);
  const double seams[][4] = {{104, -34, 100, 6}, {138, -46, 132, 9}, {172, -48, 170, 9},
                             {206, -38, 206, 7}, {236, -18, 240, 2}};
  for (const auto& s : seams) {
    cairo_move_to(cr, s[0], s[1]);
    cairo_line_to(cr, s[2], s[3]);
  }
  for (const auto& s : seams) {
    cairo_move_to(cr, s[0], s[1]);
    cairo_line_to(cr, s[0] + 6, s[1] - 16);
  }
  cairo_stroke(cr);
  // Marginal scutes along the rim.
  cairo_set_line_width(cr, 1.0);
  for (int i = 0; i < 12; ++i) {
    const double x = 88 + i * 14;
    cairo_move_to(cr, x, 6 + (i > 8 ? -(i - 8) * 2 : 0));
    cairo_line_to(cr, x + 2, 14);
  }
  cairo_stroke(cr);
  // Light from above.
  cairo_pattern_t* h = cairo_pattern_create_radial(150, -50, 5, 150, -40, 80);
  AddStop(h, 0, Rgb{1, 0.95, 0.85}, 0.35);
  AddStop(h, 1, Rgb{1, 1, 1}, 0);
  cairo_set_source(cr, h);
  cairo_paint(cr);
  cairo_pattern_destroy(h);
  cairo_restore(cr);
  cairo_new_path(cr);
  ShellPath(cr);
  SetColour(cr, Hex(0x3A1A08), 0.8);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Near-side flippers.
  TurtleFlipper(cr, Point{232, 10}, 0.55 + 0.35 * std::sin(phase + 1.2), 44, 24,
                kRearFlipper, 1.0);
  TurtleFlipper(cr, Point{100, 8}, stroke, 126, 36, kFrontFlipper, 1.0);
  cairo_restore(cr);
}

// Dolphin: the body bends up and down along a spine; the head stays steady.
struct DolphinShape {
  double phase;
  double SpineY(double s) const {
    return 10 * std::pow(s, 2.2) * std::sin(phase - 2.2 * s) - 10 * 0.0;
  }
  double Slope(double s) const {
    const double e = 0.002;
    return (SpineY(std::min(1.0, s + e)) - SpineY(std::max(0.0, s - e))) / (2 * e * kLength);
  }
  static constexpr double kLength = 262;
};

double ProfileAt(const std::vector<Point>& knots, double s) { return MonotoneCubic(knots, s); }

void DrawDolphin(cairo_t* cr, const FishPose& pose) {
  const DolphinShape shape{2 * kPi * pose.swim};
  const double L = DolphinShape::kLength;
  const std::vector<Point> top = {{0, -1.5}, {0.035, -3},  {0.07, -6},  {0.1, -16},
                                  {0.14, -24}, {0.22, -30}, {0.4, -33}, {0.6, -25},
                                  {0.8, -12}, {0.92, -6},   {1, -4}};
  const std::vector<Point> bottom = {{0, 1.5},  {0.04, 3},  {0.08, 6},   {0.14, 14},
                                     {0.26, 27}, {0.45, 29}, {0.65, 19}, {0.85, 8},
                                     {1, 4}};
  auto at = [&](double s, double off) {
    const double slope = shape.Slope(s);
    const double n = std::sqrt(1 + slope * slope);
    return Point{s * L - off * slope / n, shape.SpineY(s) + off / n};
  };
  auto bodyPath = [&](cairo_t* c) {
    const int n = 60;
    for (int i = 0; i <= n; ++i) {
      const double s = double(i) / n;
      const Point p = at(s, ProfileAt(top, s));
      if (i == 0) {
        cairo_move_to(c, p.x, p.y);
      } else {
        cairo_line_to(c, p.x, p.y);
      }
    }
    for (int i = n; i >= 0; --i) {
      const double s = double(i) / n;
      const Point p = at(s, ProfileAt(bottom, s));
      cairo_line_to(c, p.x, p.y);
    }
    cairo_close_path(c);
  };
  const Rgb back = Hex(0x4C5A6A), flank = Hex(0x8C9AAA), belly = Hex(0xECE8E6);
  // Flukes: a wide, thin wedge along the tail, tilting with the bend.
  {
    const Point base = at(0.97, 0);
    const double ang = std::atan(shape.Slope(0.99)) * 1.8;
    cairo_save(cr);
    cairo_translate(cr, base.x, base.y);
    cairo_rotate(cr, ang);
    cairo_new_path(cr);
    // The flukes seen slightly from above: two lobes spreading from the stock.
    SmoothClosedPath(cr, {{-8, -4}, {10, -7}, {26, -17}, {40, -22}, {34, -8}, {30, 0},
                          {34, 8}, {42, 20}, {26, 16}, {10, 7}, {-8, 4}});
    FillShaded(cr, -22, 20, back, flank);
    SetColour(cr, Hex(0x303A46), 0.6);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  // Far flipper.
  const Point fin = at(0.27, 20);
  const double flap = 0.15 * std::sin(shape.phase + 0.5);
  Paddle(cr, Point{fin.x + 4, fin.y - 4}, 0.75 + flap, 40, 12,
         {{0, -0.5}, {0.5, -0.55}, {1, 0}, {0.55, 0.45}, {0, 0.5}});
  FillShaded(cr, fin.y - 10, fin.y + 30, Scale(back, 0.7), Scale(flank, 0.7));
  cairo_new_path(cr);
  // Dorsal fin.
  {
    const Point b0 = at(0.44, -30), b1 = at(0.6, -24);
    cairo_new_path(cr);
    cairo_move_to(cr, b0.x - 4, b0.y + 6);
    cairo_curve_to(cr, b0.x + 6, b0.y - 18, b0.x + 22, b0.y - 32, b0.x + 40, b0.y - 36);
    cairo_curve_to(cr, b0.x + 32, b0.y - 24, b1.x - 6, b1.y - 12, b1.x + 4, b1.y + 6);
    cairo_close_path(cr);
    FillShaded(cr, b0.y - 36, b0.y + 6, Scale(back, 0.8), back);
    cairo_new_path(cr);
  }
  // Body with countershading.
  cairo_new_path(cr);
  bodyPath(cr);
  cairo_save(cr);
  cairo_pattern_t* g = VerticalGradient(-33, 29);
  AddStop(g, 0, back);
  AddStop(g, 0.45, flank);
  AddStop(g, 0.62, Mix(flank, belly, 0.6));
  AddStop(g, 0.75, belly);
  AddStop(g, 1, Hex(0xF0E4E4));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_clip(cr);
  cairo_pattern_t* h = cairo_pattern_create_radial(100, -22, 4, 100, -18, 90);
  AddStop(h, 0, Rgb{1, 1, 1}, 0.35);
  AddStop(h, 1, Rgb{1, 1, 1}, 0);
  cairo_set_source(cr, h);
  cairo_paint(cr);
  cairo_pattern_destroy(h);
  // Pale blaze behind the flipper.
  cairo_new_path(cr);
  SmoothClosedPath(cr, {at(0.3, 4), at(0.45, -8), at(0.62, 2), at(0.45, 12)});
  SetColour(cr, belly, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_new_path(cr);
  bodyPath(cr);
  SetColour(cr, Hex(0x2A3440), 0.55);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  // Mouth line, eye, melon crease.
  {
    const Point m0 = at(0.0, 0.5), m1 = at(0.1, 3), m2 = at(0.15, -2);
    cairo_move_to(cr, m0.x + 1, m0.y);
    cairo_curve_to(cr, m1.x - 8, m1.y + 1, m1.x, m1.y, m2.x, m2.y);
    SetColour(cr, Hex(0x2A3440), 0.8);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    const Point e = at(0.155, -7);
    DrawEye(cr, e.x, e.y, 3.2, Hex(0x3A3020), Hex(0x1A1A20));
    const Point c0 = at(0.075, -7), c1 = at(0.1, -2);
    cairo_move_to(cr, c0.x, c0.y);
    cairo_line_to(cr, c1.x, c1.y);
    SetColour(cr, Hex(0x2A3440), 0.4);
    cairo_stroke(cr);
  }
  // Near flipper.
  Paddle(cr, fin, 0.85 + flap, 44, 13, {{0, -0.5}, {0.5, -0.55}, {1, 0}, {0.55, 0.45}, {0, 0.5}});
  FillShaded(cr, fin.y - 10, fin.y + 35, back, flank);
  SetColour(cr, Hex(0x2A3440), 0.6);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

}  // namespace

Creature TurtleCreature() {
  Creature c;
  c.draw = DrawTurtle;
  c.scratch = 460;
  c.originX = 100;
  c.originY = 230;
  return c;
}

Creature DolphinCreature() {
  Creature c;
  c.draw = DrawDolphin;
  c.scratch = 460;
  c.originX = 80;
  c.originY = 230;
  c.facesRight = true;
  return c;
}
