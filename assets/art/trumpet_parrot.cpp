// The trumpetfish (long and thin, a tube for a snout) and the parrotfish
// (stout, beaked, scaled in green and pink).
#include "assets/art/fish_kit.h"

#include <cmath>

Creature TrumpetCreature() {
  FishDesign d;
  d.length = 205;
  d.profile = {{0, -0.008, 0.01},   {0.05, -0.011, 0.013}, {0.16, -0.016, 0.02},
               {0.24, -0.034, 0.034}, {0.4, -0.045, 0.042}, {0.65, -0.047, 0.044},
               {0.85, -0.035, 0.033}, {0.96, -0.02, 0.02},  {1.0, -0.018, 0.018}};
  d.back = Hex(0x8A5A28);
  d.flank = Hex(0xC89040);
  d.belly = Hex(0xE8D098);
  d.rim = 0.3;
  FinStyle fin = Fin(Hex(0xD0A050), Hex(0xF0D080), 0.75, 0.5);
  d.dorsal = Median(0.74, 0.86, {0.02, 0.05, 0.06, 0.03}, 0.04, 8, fin);
  d.anal = Median(0.75, 0.87, {0.02, 0.05, 0.055, 0.03}, 0.04, 8, fin);
  d.tail = TailShape::Rounded;
  d.tailLength = 0.09;
  d.tailSpan = 0.1;
  d.tailStyle = Fin(Hex(0xC08840), Hex(0x604020), 0.9, 0.8);
  d.tailStyle.edgeStart = 0.5;
  d.pectoral = Paired(0.28, 0.2, 0.05, 0.03, 0.4, 0.4, Fin(Hex(0xE0C090), Hex(0xF0E0C0), 0.5, 0.3));
  d.pelvic = Paired(0.6, 0.9, 0.04, 0.015, 1.0, 0.15, fin);
  d.eyeT = 0.2;
  d.eyeV = -0.35;
  d.eyeRadius = 0.014;
  d.iris = Hex(0xD0A040);
  d.gillT = 0.25;
  d.mouthV = 0.0;
  d.mouthLength = 0.02;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    // Pale lines along the body and a row of small dark spots near the tail.
    for (double v : {-0.55, 0.0, 0.5}) {
      BodyStripe(cr, body, 0.22, 0.97, v - 0.07, v + 0.07);
      SetColour(cr, Hex(0xF0E0B0), 0.55);
      cairo_fill(cr);
    }
    for (int i = 0; i < 9; ++i) {
      const double t = 0.3 + 0.07 * i;
      BodyBand(cr, body, t, t + 0.012, 0.0);
      SetColour(cr, Hex(0x6A4018), 0.3);
      cairo_fill(cr);
    }
    for (int i = 0; i < 4; ++i) {
      const Point p = body.At(0.9 + 0.025 * i, i % 2 ? -0.4 : 0.4);
      cairo_arc(cr, p.x, p.y, body.Length() * 0.008, 0, 2 * kPi);
      SetColour(cr, Hex(0x201008), 0.8);
      cairo_fill(cr);
    }
  };
  d.overlay = [=](cairo_t* cr, const FishBody& body) {
    // Little spines along the back and the chin barbel.
    const double L = body.Length();
    cairo_save(cr);
    SetColour(cr, Hex(0x6A4018), 0.9);
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 10; ++i) {
      const double t = 0.42 + 0.03 * i;
      cairo_move_to(cr, body.X(t), body.Top(t));
      cairo_line_to(cr, body.X(t) + 0.008 * L, body.Top(t) - 0.014 * L);
    }
    cairo_stroke(cr);
    const Point chin = body.At(0.03, 1.0);
    cairo_move_to(cr, chin.x, chin.y);
    cairo_curve_to(cr, chin.x + 0.01 * L, chin.y + 0.01 * L, chin.x + 0.02 * L,
                   chin.y + 0.012 * L, chin.x + 0.025 * L, chin.y + 0.01 * L);
    cairo_stroke(cr);
    cairo_restore(cr);
  };
  return FromDesign(d, 440, 60, 220);
}

Creature ParrotCreature() {
  FishDesign d;
  d.length = 116;
  d.profile = {{0, -0.07, 0.06},    {0.06, -0.16, 0.12}, {0.2, -0.25, 0.2},
               {0.45, -0.27, 0.23},  {0.7, -0.2, 0.18},  {0.9, -0.1, 0.09},
               {1.0, -0.085, 0.08}};
  d.back = Hex(0x1A8A70);
  d.flank = Hex(0x30B898);
  d.belly = Hex(0x70D0B8);
  const Rgb pink = Hex(0xF088A8), orange = Hex(0xF0A050), blue = Hex(0x2878C8);
  FinStyle fin = Fin(Hex(0x2898B0), blue, 0.9, 0.85);
  fin.edgeStart = 0.6;
  d.dorsal = Median(0.22, 0.9, {0.06, 0.08, 0.08, 0.08, 0.09}, 0.06, 14, fin);
  d.anal = Median(0.64, 0.9, {0.07, 0.09, 0.08}, 0.06, 7, fin);
  d.tail = TailShape::Lunate;
  d.tailLength = 0.32;
  d.tailSpan = 0.55;
  d.tailFork = 0.3;
  d.tailStyle = Fin(Hex(0x30A8A0), pink, 0.9, 0.9);
  d.tailStyle.edgeStart = 0.6;
  d.pectoral = Paired(0.28, 0.15, 0.17, 0.08, 0.35, 0.45, Fin(Hex(0x50C0C0), pink, 0.7, 0.6));
  d.pelvic = Paired(0.3, 0.92, 0.12, 0.05, 1.0, 0.12, fin);
  d.eyeT = 0.14;
  d.eyeV = -0.35;
  d.eyeRadius = 0.04;
  d.iris = Hex(0xE0A030);
  d.gillT = 0.24;
  d.mouthV = 0.25;
  d.mouthLength = 0.05;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    const double L = body.Length();
    // Scales: rows of small arcs edged in pink.
    cairo_save(cr);
    cairo_set_line_width(cr, std::max(0.8, L * 0.008));
    for (int row = 0; row < 7; ++row) {
      const double v = -0.85 + row * 0.28;
      for (int i = 0; i < 14; ++i) {
        const double t = 0.28 + i * 0.05 + (row % 2) * 0.025;
        if (t > 0.98) continue;
        const Point p = body.At(t, v);
        cairo_new_path(cr);
        cairo_arc(cr, p.x, p.y, L * 0.028, -kPi / 2, kPi / 2);
        SetColour(cr, pink, 0.55);
        cairo_stroke(cr);
      }
    }
    cairo_restore(cr);
    // Orange and pink stripes on the head, a pale beak.
    BodyStripe(cr, body, 0.02, 0.3, -0.05, 0.12);
    SetColour(cr, orange, 0.8);
    cairo_fill(cr);
    BodyStripe(cr, body, 0.04, 0.26, -0.55, -0.42);
    SetColour(cr, pink, 0.8);
    cairo_fill(cr);
    BodyStripe(cr, body, -0.1, 0.05, -0.6, 0.6);
    SetColour(cr, Hex(0xE8F0E0), 0.85);
    cairo_fill(cr);
  };
  return FromDesign(d, 340, 80, 170);
}
