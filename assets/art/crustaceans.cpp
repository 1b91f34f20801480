// The bottom walkers: a crab seen from the front and a lobster from the side.
// Both step their feet in a walking cycle matched to their slow pace.
#include "assets/art/creature_art.h"

#include <cmath>

namespace {

// Knee of a two-part leg from hip to foot; `up` picks the knee above the line.
Point Knee(Point hip, Point foot, double upper, double lower, double up) {
  const double dx = foot.x - hip.x, dy = foot.y - hip.y;
  double d = std::sqrt(dx * dx + dy * dy);
  d = std::min(d, upper + lower - 1e-3);
  const double a = (upper * upper - lower * lower + d * d) / (2 * d);
  const double h = std::sqrt(std::max(0.0, upper * upper - a * a));
  const double ux = dx / std::max(d, 1e-6), uy = dy / std::max(d, 1e-6);
  const Point m{hip.x + ux * a, hip.y + uy * a};
  // The normal pointing upwards (negative y) when up > 0.
  double nx = -uy, ny = ux;
  if (ny > 0) {
    nx = -nx;
    ny = -ny;
  }
  return Point{m.x + up * nx * h, m.y + up * ny * h};
}

void Segment(cairo_t* cr, Point a, Point b, double w0, double w1, Rgb c0, Rgb c1) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double n = std::sqrt(dx * dx + dy * dy) + 1e-9;
  const double nx = -dy / n, ny = dx / n;
  cairo_new_path(cr);
  cairo_move_to(cr, a.x + nx * w0 / 2, a.y + ny * w0 / 2);
  cairo_line_to(cr, b.x + nx * w1 / 2, b.y + ny * w1 / 2);
  cairo_arc(cr, b.x, b.y, w1 / 2, std::atan2(ny, nx), std::atan2(ny, nx) + kPi);
  cairo_line_to(cr, a.x - nx * w0 / 2, a.y - ny * w0 / 2);
  cairo_arc(cr, a.x, a.y, w0 / 2, std::atan2(-ny, -nx), std::atan2(-ny, -nx) + kPi);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(a.x + nx * w0, a.y + ny * w0,
                                                   a.x - nx * w0, a.y - ny * w0);
  AddStop(g, 0, c1);
  AddStop(g, 1, c0);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  SetColour(cr, Scale(c0, 0.45), 0.6);
  cairo_set_line_width(cr, 0.7);
  cairo_stroke(cr);
}

void Leg(cairo_t* cr, Point hip, Point foot, double upper, double lower, double width,
         Rgb colour, double shade) {
  const Point knee = Knee(hip, foot, upper, lower, 1);
  const Rgb dark = Scale(colour, 0.7 * shade), light = Scale(colour, 1.15 * shade);
  Segment(cr, hip, knee, width, width * 0.8, dark, light);
  Segment(cr, knee, foot, width * 0.8, width * 0.35, dark, light);
}

// Foot of a walking leg relative to its rest point: pushed back along the
// ground for most of the cycle, then lifted and swung forward.
Point Step(double phase, double stride, double lift, double dir) {
  const double p = phase - std::floor(phase);
  const double stance = 0.65;
  if (p < stance) {
    const double u = p / stance;
    return Point{dir * stride * (0.5 - u), 0};
  }
  const double u = (p - stance) / (1 - stance);
  const double e = u * u * (3 - 2 * u);
  return Point{dir * stride * (-0.5 + e), -lift * std::sin(kPi * u)};
}

// Crab, front view, walking sideways to the right.
const Rgb kCrabShell = Hex(0xC8461C), kCrabLeg = Hex(0xD45A28);

void CrabClaw(cairo_t* cr, double side, double phase, double shade) {
  const double open = 0.18 + 0.14 * std::sin(2 * kPi * phase * 2);
  const Point shoulder{side * 30, 6}, elbow{side * 54, 8}, wrist{side * 40, 20};
  const Rgb c = Scale(kCrabShell, shade);
  Segment(cr, shoulder, elbow, 9, 8, Scale(c, 0.8), Scale(c, 1.1));
  Segment(cr, elbow, wrist, 8, 10, Scale(c, 0.8), Scale(c, 1.1));
  // The pincer: a swollen palm and two fingers pointing inwards and up.
  cairo_save(cr);
  cairo_translate(cr, wrist.x, wrist.y);
  cairo_scale(cr, -side, 1);
  cairo_rotate(cr, -0.35);
  cairo_new_path(cr);
  SmoothClosedPath(cr, {{-8, -10}, {8, -13}, {20, -8}, {23, 4}, {8, 11}, {-8, 9}});
  FillShaded(cr, -11, 9, Scale(c, 1.15), Scale(c, 0.75));
  cairo_new_path(cr);
  // Fixed finger and moving finger.
  cairo_save(cr);
  cairo_translate(cr, 20, 0);
  for (double a : {-open, open + 0.1}) {
    cairo_save(cr);
    cairo_rotate(cr, a);
    cairo_new_path(cr);
    SmoothClosedPath(cr, {{-2, -3.5}, {8, -3.5}, {16, -1}, {17, 0.5}, {8, 3}, {-2, 3.5}});
    SetColour(cr, Scale(Hex(0x3A1A10), shade));
    cairo_fill(cr);
    cairo_restore(cr);
  }
  cairo_restore(cr);
  cairo_restore(cr);
}

void DrawCrab(cairo_t* cr, const FishPose& pose) {
  const double phase = pose.swim;
  const double bob = 1.2 * std::sin(4 * kPi * phase);
  const double ground = 40;
  cairo_save(cr);
  // Legs: four each side, alternating like a walking crab's.
  for (int side = -1; side <= 1; side += 2) {
    for (int i = 0; i < 4; ++i) {
      const double p = phase + 0.5 * (i % 2) + 0.25 * (side > 0);
      const Point step = Step(p, 10, 7, 1);
      const Point hip{side * (30 + i * 2.5), -2 + i * 5 + bob};
      const Point foot{side * (58 + i * 12) + step.x, ground + step.y};
      Leg(cr, hip, foot, 30 + i * 3, 32 + i * 2, 6.5 - i * 0.6, kCrabLeg, 0.85 + 0.05 * i);
    }
  }
  cairo_translate(cr, 0, bob);
  // Carapace: wide, with small teeth along the front edge.
  std::vector<Point> shell;
  for (int i = 0; i <= 24; ++i) {
    const double a = kPi + kPi * i / 24;  // upper half, left to right
    const double r = 1 + (i % 2 ? 0.0 : 0.04) * (i > 2 && i < 22);
    shell.push_back(Point{46 * std::cos(a) * r, -4 + 26 * std::sin(a) * r});
  }
  shell.push_back(Point{44, 6});
  shell.push_back(Point{30, 16});
  shell.push_back(Point{0, 20});
  shell.push_back(Point{-30, 16});
  shell.push_back(Point{-44, 6});
  cairo_new_path(cr);
  SmoothClosedPath(cr, shell);
  cairo_save(cr);
  FillShaded(cr, -30, 20, Hex(0xE06A30), Hex(0x9A3010));
  cairo_clip(cr);
  cairo_pattern_t* h = cairo_pattern_create_radial(-8, -18, 2, -4, -12, 40);
  AddStop(h, 0, Rgb{1, 0.9, 0.8}, 0.45);
  AddStop(h, 1, Rgb{1, 1, 1}, 0);
  cairo_set_source(cr, h);
  cairo_paint(cr);
  cairo_pattern_destroy(h);
  // Speckles and the grooves of the shell.
  Rng rng(21);
  for (int i = 0; i < 40; ++i) {
    cairo_arc(cr, rng.Range(-44, 44), rng.Range(-28, 16), rng.Range(0.6, 1.5), 0, 2 * kPi);
    SetColour(cr, Hex(0x7A2008), 0.5);
    cairo_fill(cr);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, -16, -22);
  cairo_curve_to(cr, -10, -8, 10, -8, 16, -22);
  SetColour(cr, Hex(0x7A2008), 0.5);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_restore(cr);
  SetColour(cr, Hex(0x5A1806), 0.7);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  // Eyes on stalks and the mouth parts.
  for (int side = -1; side <= 1; side += 2) {
    Segment(cr, Point{side * 8.0, -26}, Point{side * 11.0, -34}, 3.5, 3, Hex(0xB84A20),
            Hex(0xE07040));
    DrawEye(cr, side * 11.0, -35.5, 3.4, Hex(0x202020), Hex(0x101010));
  }
  cairo_new_path(cr);
  SmoothClosedPath(cr, {{-8, 4}, {0, 2}, {8, 4}, {6, 12}, {0, 14}, {-6, 12}});
  SetColour(cr, Hex(0xE8A070), 0.9);
  cairo_fill(cr);
  cairo_restore(cr);
  // Claws in front.
  cairo_save(cr);
  cairo_translate(cr, 0, bob);
  CrabClaw(cr, -1, phase, 1.0);
  CrabClaw(cr, 1, phase + 0.5, 1.0);
  cairo_restore(cr);
}

// Lobster, side view, walking left.
const Rgb kLobster = Hex(0xA8381A), kLobsterLight = Hex(0xE07848);

void LobsterClaw(cairo_t* cr, Point shoulder, double phase, double shade, double size) {
  const Rgb c = Scale(kLobster, shade), l = Scale(kLobsterLight, shade);
  const Point elbow{shoulder.x - 18 * size, shoulder.y + 14 * size};
  const Point wrist{elbow.x - 16 * size, elbow.y - 10 * size};
  Segment(cr, shoulder, elbow, 7 * size, 6 * size, c, l);
  Segment(cr, elbow, wrist, 6 * size, 8 * size, c, l);
  const double open = 0.12 + 0.1 * std::sin(2 * kPi * phase);
  cairo_save(cr);
  cairo_translate(cr, wrist.x, wrist.y);
  cairo_scale(cr, size, size);
  cairo_rotate(cr, 0.35);
  cairo_new_path(cr);
  SmoothClosedPath(cr, {{4, -8}, {-10, -12}, {-26, -10}, {-32, -3}, {-26, 6}, {-10, 9}, {4, 7}});
  FillShaded(cr, -9, 7, l, c);
  SetColour(cr, Scale(c, 0.5), 0.6);
  cairo_set_line_width(cr, 0.7);
  cairo_stroke(cr);
  // Two fingers.
  cairo_translate(cr, -30, 0);
  for (double a : {open, -open - 0.05}) {
    cairo_save(cr);
    cairo_rotate(cr, a);
    cairo_new_path(cr);
    SmoothClosedPath(cr, {{2, -3.5}, {-10, -3.5}, {-22, -1}, {-24, 0.5}, {-10, 3}, {2, 3.5}});
    FillShaded(cr, -4, 4, l, c);
    SetColour(cr, Scale(c, 0.5), 0.6);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

void DrawLobster(cairo_t* cr, const FishPose& pose) {
  const double phase = pose.swim;
  const double ground = 38;
  const double bob = 0.8 * std::sin(4 * kPi * phase);
  // Far legs and claw, darker.
  for (int i = 0; i < 4; ++i) {
    const Point step = Step(phase + 0.5 + 0.25 * i, 14, 6, -1);
    const Point hip{62.0 + i * 12, 6 + bob};
    Leg(cr, hip, Point{hip.x - 8 + i * 4 + step.x, ground + step.y}, 20, 22, 4, kLobster, 0.65);
  }
  LobsterClaw(cr, Point{54, 6 + bob}, phase + 0.3, 0.7, 1.05);
  cairo_save(cr);
  cairo_translate(cr, 0, bob);
  // Antennae sweep up and back over the body.
  SetColour(cr, Hex(0x8A2A10), 0.95);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int k = 0; k < 2; ++k) {
    const double w = std::sin(2 * kPi * phase + k) * 3;
    cairo_new_path(cr);
    cairo_move_to(cr, 22, -10);
    cairo_curve_to(cr, 6 - k * 8, -40 + w, 40, -62 - k * 4 + w, 120 + k * 22, -54 - k * 8 + w);
    cairo_set_line_width(cr, 1.8 - k * 0.4);
    cairo_stroke(cr);
  }
  // Antennules: short, forked.
  cairo_new_path(cr);
  cairo_move_to(cr, 20, -6);
  cairo_curve_to(cr, 8, -12, 0, -16, -8, -18);
  cairo_move_to(cr, 20, -6);
  cairo_curve_to(cr, 8, -8, 0, -10, -10, -8);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  // Tail fan and abdomen segments, drawn from the back forwards; the
  // abdomen curls down a little towards the fan.
  cairo_save(cr);
  cairo_translate(cr, 192, 6);
  cairo_rotate(cr, 0.3);
  cairo_new_path(cr);
  SmoothClosedPath(cr, {{0, -8}, {16, -16}, {34, -12}, {40, 0}, {34, 12}, {16, 16}, {0, 6}});
  FillShaded(cr, -16, 16, kLobsterLight, kLobster);
  SetColour(cr, Hex(0x5A1808), 0.6);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  for (double y : {-8.0, 0.0, 8.0}) {
    cairo_move_to(cr, 4, y * 0.4);
    cairo_line_to(cr, 36, y * 1.3);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
  for (int i = 5; i >= 0; --i) {
    const double x0 = 104 + i * 15, w = 19;
    const double top = -20 + i * 2.6 + i * i * 0.35, bottom = 12 - i * 0.3 + i * i * 0.45;
    cairo_new_path(cr);
    SmoothClosedPath(cr, {{x0, top + 1}, {x0 + w * 0.5, top}, {x0 + w, top + 1.5},
                          {x0 + w + 1, bottom - 2}, {x0 + w * 0.5, bottom}, {x0 - 1, bottom - 1}});
    FillShaded(cr, top, bottom, kLobsterLight, kLobster);
    SetColour(cr, Hex(0x5A1808), 0.6);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    // Swimmerets under each segment.
    Segment(cr, Point{x0 + w * 0.5, bottom - 1}, Point{x0 + w * 0.3, bottom + 5}, 2.5, 1.5,
            kLobster, kLobsterLight);
  }
  // Carapace with rostrum.
  cairo_new_path(cr);
  SmoothClosedPath(cr, {{6, -10}, {26, -14}, {50, -22}, {84, -25}, {110, -22}, {112, 8},
                        {84, 14}, {50, 13}, {28, 6}, {14, -2}});
  cairo_save(cr);
  FillShaded(cr, -25, 14, kLobsterLight, Scale(kLobster, 0.8));
  cairo_clip(cr);
  Rng rng(4);
  for (int i = 0; i < 30; ++i) {
    cairo_arc(cr, rng.Range(20, 110), rng.Range(-24, 10), rng.Range(0.6, 1.4), 0, 2 * kPi);
    SetColour(cr, Hex(0x6A1A08), 0.5);
    cairo_fill(cr);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, 52, -22);
  cairo_curve_to(cr, 60, -8, 66, 2, 70, 13);
  SetColour(cr, Hex(0x5A1808), 0.5);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_pattern_t* h = cairo_pattern_create_radial(70, -20, 2, 70, -14, 40);
  AddStop(h, 0, Rgb{1, 0.9, 0.8}, 0.35);
  AddStop(h, 1, Rgb{1, 1, 1}, 0);
  cairo_set_source(cr, h);
  cairo_paint(cr);
  cairo_pattern_destroy(h);
  cairo_restore(cr);
  SetColour(cr, Hex(0x5A1808), 0.7);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, 8, -10);
  cairo_line_to(cr, -6, -12);
  cairo_line_to(cr, 14, -6);
  SetColour(cr, kLobster);
  cairo_fill(cr);
  // Eye on a short stalk.
  Segment(cr, Point{24, -12}, Point{20, -18}, 3, 3, kLobster, kLobsterLight);
  DrawEye(cr, 19, -19, 3.0, Hex(0x202020), Hex(0x101010));
  cairo_restore(cr);
  // Near legs and claw.
  for (int i = 0; i < 4; ++i) {
    const Point step = Step(phase + 0.25 * i, 14, 6, -1);
    const Point hip{60.0 + i * 12, 10 + bob};
    Leg(cr, hip, Point{hip.x - 12 + i * 4 + step.x, ground + 2 + step.y}, 20, 22, 4.5, kLobster,
        1.0);
  }
  LobsterClaw(cr, Point{50, 9 + bob}, phase, 1.0, 1.15);
}

}  // namespace

Creature CrabCreature() {
  Creature c;
  c.draw = DrawCrab;
  c.scratch = 300;
  c.originX = 150;
  c.originY = 140;
  return c;
}

Creature LobsterCreature() {
  Creature c;
  c.draw = DrawLobster;
  c.scratch = 420;
  c.originX = 120;
  c.originY = 180;
  return c;
}
