// Reef fishes: clownfish, angelfish, triggerfish, lionfish, neon tetra, the
// generic fish, the paradise fish and the puffer.
#include "assets/art/fish_kit.h"
#include "assets/art/creature_art.h"

#include <cmath>

namespace {

// A band edged with a dark rim, as on the clownfish.
void EdgedBand(cairo_t* cr, const FishBody& body, double t0, double t1, double bend,
               double edge, Rgb fill, Rgb rim) {
  BodyBand(cr, body, t0 - edge, t1 + edge, bend);
  SetColour(cr, rim, 0.9);
  cairo_fill(cr);
  BodyBand(cr, body, t0, t1, bend);
  SetColour(cr, fill);
  cairo_fill(cr);
}

}  // namespace

Creature ClownCreature() {
  FishDesign d;
  d.length = 68;
  d.profile = {{0, -0.05, 0.07},   {0.08, -0.17, 0.15}, {0.25, -0.27, 0.23},
               {0.5, -0.27, 0.23}, {0.75, -0.17, 0.15}, {0.92, -0.09, 0.085},
               {1.0, -0.085, 0.08}};
  d.back = Hex(0xD8480A);
  d.flank = Hex(0xFF7418);
  d.belly = Hex(0xFF9A3C);
  const Rgb black = Hex(0x140806);
  const Rgb orange = Hex(0xFF7A1C);
  d.tail = TailShape::Rounded;
  d.tailLength = 0.3;
  d.tailSpan = 0.46;
  d.tailStyle = Fin(orange, black, 0.95, 0.95);
  d.tailStyle.edgeStart = 0.72;
  d.dorsal = Median(0.26, 0.5, {0.1, 0.13, 0.11, 0.08}, 0.04, 6, Fin(orange, black, 0.95, 0.95));
  d.dorsal.spiny = false;
  d.dorsal2 = Median(0.5, 0.82, {0.1, 0.17, 0.18, 0.12}, 0.12, 7,
                     Fin(orange, black, 0.95, 0.95));
  d.anal = Median(0.6, 0.84, {0.1, 0.15, 0.14, 0.08}, 0.12, 6, Fin(orange, black, 0.95, 0.95));
  d.pectoral = Paired(0.33, 0.3, 0.19, 0.09, 0.45, 0.35, Fin(orange, black, 0.7, 0.8));
  d.pectoral.style.edgeStart = 0.75;
  d.pelvic = Paired(0.34, 0.92, 0.16, 0.07, 1.0, 0.12, Fin(orange, black, 0.95, 0.95));
  d.eyeT = 0.11;
  d.eyeV = -0.22;
  d.eyeRadius = 0.06;
  d.iris = Hex(0xE07020);
  d.gillT = -1;  // the head band takes the place of the gill line
  d.mouthV = 0.15;
  const Rgb white = Hex(0xFAFAF6);
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    EdgedBand(cr, body, 0.18, 0.27, 0.04, 0.022, white, black);
    EdgedBand(cr, body, 0.5, 0.6, -0.07, 0.022, white, black);
    EdgedBand(cr, body, 0.86, 0.95, 0.0, 0.018, white, black);
  };
  return FromDesign(d, 300, 80, 150);
}

Creature AngelCreature() {
  FishDesign d;
  d.length = 62;
  d.profile = {{0, -0.05, 0.05},   {0.1, -0.22, 0.18}, {0.3, -0.44, 0.4},
               {0.5, -0.46, 0.43}, {0.7, -0.32, 0.31}, {0.9, -0.1, 0.1},
               {1.0, -0.075, 0.075}};
  d.back = Hex(0xA8A898);
  d.flank = Hex(0xE6E4D8);
  d.belly = Hex(0xF2EEE2);
  const Rgb fin = Hex(0xD8D8CC), dark = Hex(0x2A2A30);
  FinStyle membrane = Fin(fin, Hex(0x8A8A90), 0.7, 0.45);
  membrane.ray = Hex(0x606068);
  membrane.rayAlpha = 0.3;
  d.dorsal = Median(0.22, 0.86, {0.15, 0.55, 0.95, 1.15, 1.05}, 0.75, 10, membrane);
  d.dorsal.tail = 0.3;
  d.anal = Median(0.28, 0.86, {0.15, 0.5, 0.85, 1.05, 0.95}, 0.7, 10, membrane);
  d.anal.tail = 0.3;
  // The middle bar runs on into the tall fins, leaning back with their rays.
  auto finBar = [dark](double dir) {
    return [dark, dir](cairo_t* cr, const FishBody& body) {
      const double L = body.Length();
      const Point a = body.At(0.38, dir), b = body.At(0.5, dir);
      cairo_move_to(cr, a.x, a.y);
      cairo_line_to(cr, b.x, b.y);
      cairo_line_to(cr, b.x + 0.9 * L, b.y + dir * 1.3 * L);
      cairo_line_to(cr, a.x + 0.8 * L, a.y + dir * 1.3 * L);
      cairo_close_path(cr);
      SetColour(cr, dark, 0.75);
      cairo_fill(cr);
    };
  };
  d.dorsal.pattern = finBar(-1);
  d.anal.pattern = finBar(1);
  d.tail = TailShape::Lyre;
  d.tailLength = 0.5;
  d.tailSpan = 0.75;
  d.tailFork = 0.25;
  d.tailStyle = membrane;
  d.pelvic = Paired(0.3, 0.95, 0.95, 0.035, 1.25, 0.12, Fin(Hex(0xE8E8DC), Hex(0x909090), 0.8, 0.6));
  d.pelvic.rays = 2;
  d.pectoral = Paired(0.36, 0.2, 0.18, 0.08, 0.35, 0.4, Fin(fin, fin, 0.35, 0.25));
  d.eyeT = 0.13;
  d.eyeV = -0.12;
  d.eyeRadius = 0.07;
  d.iris = Hex(0xB03020);
  d.gillT = 0.27;
  d.mouthV = -0.05;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    const double bars[][2] = {{0.08, 0.17}, {0.38, 0.5}, {0.74, 0.82}};
    for (const auto& b : bars) {
      BodyBand(cr, body, b[0], b[1], 0.0);
      SetColour(cr, dark, 0.85);
      cairo_fill(cr);
    }
    BodyBand(cr, body, 0.6, 0.64, 0.0);
    SetColour(cr, dark, 0.3);
    cairo_fill(cr);
  };
  return FromDesign(d, 320, 80, 160);
}

Creature TriggerCreature() {
  // Clown triggerfish: dark body, large white spots below, a yellow saddle
  // and a yellow mouth.
  FishDesign d;
  d.length = 96;
  d.profile = {{0, -0.05, 0.05},   {0.12, -0.16, 0.14}, {0.3, -0.3, 0.3},
               {0.5, -0.31, 0.32}, {0.72, -0.22, 0.22}, {0.9, -0.08, 0.08},
               {1.0, -0.07, 0.07}};
  d.back = Hex(0x141418);
  d.flank = Hex(0x1C1C22);
  d.belly = Hex(0x24242A);
  const Rgb black = Hex(0x101014), yellow = Hex(0xF2C21A), white = Hex(0xF4F4F0);
  FinStyle soft = Fin(Hex(0x2A2A30), Hex(0xF0D060), 0.9, 0.85);
  d.dorsal = Median(0.34, 0.44, {0.13, 0.08, 0.04}, 0.1, 2, Fin(black, black, 0.95, 0.9));
  d.dorsal2 = Median(0.58, 0.86, {0.14, 0.17, 0.14, 0.09}, 0.08, 9, soft);
  d.anal = Median(0.58, 0.86, {0.14, 0.17, 0.14, 0.09}, 0.08, 9, soft);
  d.tail = TailShape::Truncate;
  d.tailLength = 0.24;
  d.tailSpan = 0.4;
  d.tailStyle = Fin(Hex(0x26262C), Hex(0x0A0A0C), 0.95, 0.95);
  d.tailStyle.edgeStart = 0.5;
  d.pectoral = Paired(0.38, 0.05, 0.12, 0.07, 0.4, 0.6, Fin(Hex(0xC8B070), yellow, 0.6, 0.4));
  d.eyeT = 0.27;
  d.eyeV = -0.35;
  d.eyeRadius = 0.04;
  d.iris = Hex(0x80A030);
  d.gillT = -1;
  d.mouthV = 0.05;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    const double L = body.Length();
    // Yellow saddle on the back, netted with small dark spots.
    cairo_save(cr);
    const Point c = body.At(0.5, -0.62);
    cairo_translate(cr, c.x, c.y);
    cairo_scale(cr, 0.2 * L, 0.1 * L);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    SetColour(cr, yellow, 0.95);
    cairo_fill(cr);
    for (int i = 0; i < 14; ++i) {
      const Point p{c.x + (i % 5 - 2) * 0.07 * L + (i / 5 % 2) * 0.035 * L,
                    c.y + (i / 5 - 1) * 0.05 * L};
      cairo_arc(cr, p.x, p.y, 0.014 * L, 0, 2 * kPi);
      SetColour(cr, black, 0.85);
      cairo_fill(cr);
    }
    // Large white spots on the lower flank.
    Rng rng(11);
    const double spots[][3] = {{0.3, 0.5, 0.07},  {0.47, 0.3, 0.075}, {0.48, 0.85, 0.065},
                               {0.65, 0.5, 0.065}, {0.33, 1.0, 0.05}, {0.8, 0.3, 0.045},
                               {0.66, 1.0, 0.045}};
    for (const auto& s : spots) {
      const Point p = body.At(s[0], s[1]);
      cairo_save(cr);
      cairo_translate(cr, p.x, p.y);
      cairo_scale(cr, 1.0, 0.9 + 0.2 * rng.Uniform());
      cairo_arc(cr, 0, 0, s[2] * L, 0, 2 * kPi);
      cairo_restore(cr);
      SetColour(cr, white);
      cairo_fill(cr);
    }
    // White bar across the snout below the eye and a yellow mouth.
    BodyBand(cr, body, 0.17, 0.23, 0.02);
    SetColour(cr, white, 0.9);
    cairo_fill(cr);
    BodyBand(cr, body, -0.1, 0.07, 0.0);
    SetColour(cr, Hex(0xF08A10));
    cairo_fill(cr);
    BodyStripe(cr, body, 0.85, 1.0, -0.6, 0.6);
    SetColour(cr, Hex(0xE8E0B0), 0.7);
    cairo_fill(cr);
  };
  return FromDesign(d, 360, 80, 180);
}

Creature LionCreature() {
  FishDesign d;
  d.length = 88;
  d.profile = {{0, -0.06, 0.07},   {0.1, -0.17, 0.15}, {0.28, -0.24, 0.2},
               {0.5, -0.22, 0.19}, {0.75, -0.15, 0.13}, {0.92, -0.07, 0.065},
               {1.0, -0.06, 0.06}};
  d.back = Hex(0x8A3018);
  d.flank = Hex(0xC87050);
  d.belly = Hex(0xF0E0D0);
  const Rgb maroon = Hex(0x6A1A0E), cream = Hex(0xF6ECDC);
  FinStyle spines = Fin(Hex(0xE8C8B0), Hex(0xA05040), 0.4, 0.25);
  spines.ray = maroon;
  spines.rayAlpha = 0.95;
  spines.rayWidth = 1.3;
  spines.rayDash = 3;
  spines.ray2 = cream;
  d.dorsal = Median(0.16, 0.6, {0.55, 0.78, 0.72, 0.62, 0.5, 0.35, 0.2}, 0.22, 9, spines);
  d.dorsal.spiny = true;
  FinStyle soft = Fin(Hex(0xE8D0C0), Hex(0xB06050), 0.5, 0.35);
  soft.ray = maroon;
  soft.rayAlpha = 0.7;
  d.dorsal2 = Median(0.62, 0.86, {0.2, 0.25, 0.22, 0.12}, 0.12, 8, soft);
  d.anal = Median(0.62, 0.84, {0.18, 0.24, 0.2, 0.1}, 0.12, 7, soft);
  d.tail = TailShape::Rounded;
  d.tailLength = 0.32;
  d.tailSpan = 0.42;
  d.tailStyle = soft;
  // The great fans: drawn as pectorals reaching far back and down.
  FinStyle fan = Fin(Hex(0xF0D8C8), Hex(0xC07060), 0.6, 0.45);
  fan.ray = maroon;
  fan.rayAlpha = 0.9;
  fan.rayWidth = 1.2;
  fan.rayDash = 3.5;
  fan.ray2 = cream;
  d.pectoral = Paired(0.3, 0.3, 0.8, 0.5, 0.7, 0.12, fan);
  d.pectoral.rays = 11;
  d.pelvic = Paired(0.3, 0.9, 0.4, 0.12, 1.1, 0.1, fan);
  d.pelvic.rays = 5;
  d.eyeT = 0.12;
  d.eyeV = -0.3;
  d.eyeRadius = 0.045;
  d.iris = Hex(0xA02818);
  d.gillT = 0.25;
  d.mouthV = 0.15;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    for (int i = 0; i < 13; ++i) {
      const double t = 0.02 + i * 0.076;
      BodyBand(cr, body, t, t + 0.038, 0.02);
      SetColour(cr, i % 2 ? maroon : cream, i % 2 ? 0.85 : 0.65);
      cairo_fill(cr);
    }
  };
  d.overlay = [=](cairo_t* cr, const FishBody& body) {
    // Small tentacles above the eye.
    const double L = body.Length();
    cairo_save(cr);
    const Point e = body.At(0.12, -0.85);
    cairo_move_to(cr, e.x, e.y);
    cairo_curve_to(cr, e.x - 0.02 * L, e.y - 0.08 * L, e.x + 0.04 * L, e.y - 0.12 * L,
                   e.x + 0.02 * L, e.y - 0.18 * L);
    SetColour(cr, cream, 0.9);
    cairo_set_line_width(cr, 0.015 * L);
    cairo_stroke(cr);
    cairo_restore(cr);
  };
  return FromDesign(d, 380, 90, 170);
}

Creature NeonCreature() {
  FishDesign d;
  d.length = 40;
  d.profile = {{0, -0.06, 0.06},   {0.12, -0.13, 0.12}, {0.35, -0.16, 0.15},
               {0.6, -0.13, 0.12}, {0.85, -0.07, 0.065}, {1.0, -0.05, 0.05}};
  d.back = Hex(0x6A7A60);
  d.flank = Hex(0xC8D0C8);
  d.belly = Hex(0xF4F0F0);
  FinStyle clear = Fin(Hex(0xE0E8F0), Hex(0xFFFFFF), 0.35, 0.2);
  d.dorsal = Median(0.48, 0.6, {0.12, 0.14, 0.08}, 0.06, 5, clear);
  d.anal = Median(0.62, 0.86, {0.1, 0.11, 0.06}, 0.06, 7, clear);
  d.tail = TailShape::Forked;
  d.tailLength = 0.32;
  d.tailSpan = 0.36;
  d.tailFork = 0.45;
  d.tailStyle = Fin(Hex(0xE0C8C8), Hex(0xFFFFFF), 0.45, 0.25);
  d.pectoral = Paired(0.25, 0.35, 0.14, 0.05, 0.4, 0.4, clear);
  d.eyeT = 0.12;
  d.eyeV = -0.1;
  d.eyeRadius = 0.075;
  d.iris = Hex(0x30B0E0);
  d.eyeRing = Hex(0x404050);
  d.gillT = 0.26;
  d.mouthV = 0.05;
  d.rim = 0.25;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    // Red rear half of the lower body.
    BodyStripe(cr, body, 0.45, 1.02, 0.05, 1.2);
    cairo_pattern_t* g = cairo_pattern_create_linear(body.X(0.4), 0, body.X(0.55), 0);
    AddStop(g, 0, Hex(0xE01818), 0);
    AddStop(g, 1, Hex(0xE01818), 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // The electric blue line from the eye to the tail stalk.
    BodyStripe(cr, body, 0.14, 0.9, -0.42, -0.02);
    cairo_pattern_t* b = cairo_pattern_create_linear(0, body.At(0.4, -0.45).y, 0,
                                                     body.At(0.4, 0).y);
    AddStop(b, 0, Hex(0x30E0FF));
    AddStop(b, 0.5, Hex(0x1878F0));
    AddStop(b, 1, Hex(0x20A0F8), 0.6);
    cairo_set_source(cr, b);
    cairo_fill(cr);
    cairo_pattern_destroy(b);
  };
  return FromDesign(d, 160, 40, 80);
}

Creature GenericCreature() {
  // A plain, friendly reef fish: blue back, silver sides, yellow fins.
  FishDesign d;
  d.length = 78;
  d.profile = {{0, -0.05, 0.05},   {0.1, -0.15, 0.12}, {0.3, -0.23, 0.2},
               {0.55, -0.22, 0.19}, {0.8, -0.13, 0.11}, {0.95, -0.07, 0.065},
               {1.0, -0.065, 0.06}};
  d.back = Hex(0x2050A0);
  d.flank = Hex(0x90B8D8);
  d.belly = Hex(0xF0F0E8);
  const Rgb yellow = Hex(0xF8D020);
  d.dorsal = Median(0.3, 0.78, {0.1, 0.16, 0.15, 0.12, 0.08}, 0.12, 10,
                    Fin(yellow, Hex(0xF8E880), 0.85, 0.6));
  d.anal = Median(0.6, 0.82, {0.1, 0.13, 0.08}, 0.1, 6, Fin(yellow, Hex(0xF8E880), 0.85, 0.6));
  d.tail = TailShape::Forked;
  d.tailLength = 0.34;
  d.tailSpan = 0.5;
  d.tailFork = 0.4;
  d.tailStyle = Fin(yellow, Hex(0xFFF0A0), 0.9, 0.7);
  d.pectoral = Paired(0.3, 0.25, 0.17, 0.07, 0.4, 0.4, Fin(yellow, yellow, 0.6, 0.35));
  d.pelvic = Paired(0.36, 0.92, 0.12, 0.05, 1.0, 0.15, Fin(yellow, yellow, 0.8, 0.5));
  d.eyeT = 0.11;
  d.eyeV = -0.18;
  d.eyeRadius = 0.055;
  d.gillT = 0.26;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    BodyStripe(cr, body, 0.2, 1.0, -0.2, -0.08);
    SetColour(cr, Hex(0xF8E040), 0.55);
    cairo_fill(cr);
  };
  return FromDesign(d, 300, 80, 150);
}

Creature ParadiseCreature() {
  FishDesign d;
  d.length = 66;
  d.profile = {{0, -0.05, 0.06},   {0.1, -0.14, 0.13}, {0.3, -0.19, 0.18},
               {0.55, -0.18, 0.17}, {0.8, -0.12, 0.11}, {1.0, -0.07, 0.065}};
  d.back = Hex(0x305048);
  d.flank = Hex(0xC04020);
  d.belly = Hex(0xD06030);
  const Rgb red = Hex(0xD83A18), blue = Hex(0x2C8C9C);
  FinStyle fin = Fin(Hex(0x3A7080), red, 0.85, 0.75);
  fin.ray = Hex(0x80D0D8);
  fin.rayAlpha = 0.35;
  d.dorsal = Median(0.38, 0.8, {0.08, 0.14, 0.2, 0.25}, 0.35, 9, fin);
  d.dorsal.tail = 0.3;
  d.anal = Median(0.3, 0.85, {0.08, 0.15, 0.2, 0.22, 0.2}, 0.4, 12, fin);
  d.anal.tail = 0.35;
  d.tail = TailShape::Lyre;
  d.tailLength = 0.62;
  d.tailSpan = 0.6;
  d.tailFork = 0.3;
  d.tailStyle = Fin(red, Hex(0x3090A0), 0.9, 0.8);
  d.tailStyle.ray = Hex(0x70C8D0);
  d.pelvic = Paired(0.3, 0.9, 0.3, 0.03, 1.1, 0.12, Fin(red, Hex(0xF0F0F0), 0.9, 0.8));
  d.pectoral = Paired(0.28, 0.3, 0.14, 0.06, 0.4, 0.4, Fin(Hex(0xE0C0B0), red, 0.35, 0.2));
  d.eyeT = 0.11;
  d.eyeV = -0.15;
  d.eyeRadius = 0.06;
  d.iris = Hex(0xC04020);
  d.gillT = 0.25;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    for (int i = 0; i < 9; ++i) {
      const double t = 0.28 + i * 0.08;
      BodyBand(cr, body, t, t + 0.035, 0.03);
      SetColour(cr, blue, 0.85);
      cairo_fill(cr);
    }
    // Dark spot on the gill cover.
    const Point s = body.At(0.22, -0.1);
    cairo_arc(cr, s.x, s.y, body.Length() * 0.035, 0, 2 * kPi);
    SetColour(cr, Hex(0x102028), 0.9);
    cairo_fill(cr);
    // Dark eye stripe.
    BodyStripe(cr, body, -0.05, 0.2, -0.25, -0.05);
    SetColour(cr, Hex(0x202020), 0.4);
    cairo_fill(cr);
  };
  return FromDesign(d, 320, 80, 160);
}

Creature PufferCreature() {
  // A dogface-style puffer: sandy back with dark spots, a white belly.
  FishDesign d;
  d.length = 72;
  d.profile = {{0, -0.08, 0.1},    {0.1, -0.2, 0.2},    {0.2, -0.24, 0.24},
               {0.3, -0.25, 0.25},  {0.42, -0.245, 0.245}, {0.55, -0.22, 0.23},
               {0.68, -0.17, 0.18}, {0.8, -0.12, 0.12},  {0.93, -0.075, 0.07},
               {1.0, -0.07, 0.065}};
  d.back = Hex(0x8A7040);
  d.flank = Hex(0xC8B080);
  d.belly = Hex(0xF4F0E6);
  FinStyle fin = Fin(Hex(0xD8C8A0), Hex(0x907850), 0.7, 0.5);
  d.dorsal = Median(0.74, 0.86, {0.1, 0.12, 0.06}, 0.08, 5, fin);
  d.anal = Median(0.74, 0.86, {0.1, 0.11, 0.05}, 0.08, 5, fin);
  d.tail = TailShape::Rounded;
  d.tailLength = 0.28;
  d.tailSpan = 0.34;
  d.tailStyle = Fin(Hex(0xC8B080), Hex(0x806840), 0.9, 0.8);
  d.pectoral = Paired(0.36, 0.05, 0.14, 0.08, 0.1, 0.7, Fin(Hex(0xE0D0B0), Hex(0xC0A070), 0.55, 0.35));
  d.eyeT = 0.18;
  d.eyeV = -0.4;
  d.eyeRadius = 0.065;
  d.iris = Hex(0x50A060);
  d.gillT = -1;
  d.mouthV = 0.1;
  d.mouthLength = 0.04;
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    Rng rng(9);
    for (int i = 0; i < 38; ++i) {
      const double t = rng.Range(0.12, 0.9), v = rng.Range(-0.95, 0.2);
      const Point p = body.At(t, v);
      cairo_arc(cr, p.x, p.y, body.Length() * rng.Range(0.012, 0.024), 0, 2 * kPi);
      SetColour(cr, Hex(0x3A2A18), 0.8);
      cairo_fill(cr);
    }
    // Dark mask round the eye.
    const Point e = body.At(0.18, -0.4);
    cairo_arc(cr, e.x, e.y, body.Length() * 0.11, 0, 2 * kPi);
    SetColour(cr, Hex(0x4A3820), 0.5);
    cairo_fill(cr);
  };
  d.overlay = [=](cairo_t* cr, const FishBody& body) {
    // Spines stand up as it inflates.
    const double k = body.pose().inflate;
    if (k < 0.05) return;
    const double L = body.Length();
    cairo_save(cr);
    SetColour(cr, Hex(0x5A4A30), 0.9);
    for (int side = -1; side <= 1; side += 2) {
      for (int i = 0; i < 14; ++i) {
        const double t = 0.1 + i * 0.057;
        const Point base = body.At(t, side * 0.92);
        const Point out = body.At(t + 0.02, side * 1.0);
        const double dx = out.x - body.At(0.46, 0).x, dy = out.y - body.At(0.46, 0).y;
        const double n = std::sqrt(dx * dx + dy * dy) + 1e-9;
        const double len = k * 0.13 * L;
        cairo_move_to(cr, base.x - dy / n * 0.018 * L, base.y + dx / n * 0.018 * L);
        cairo_line_to(cr, out.x + dx / n * len, out.y + dy / n * len);
        cairo_line_to(cr, base.x + dy / n * 0.018 * L, base.y - dx / n * 0.018 * L);
        cairo_close_path(cr);
      }
    }
    cairo_fill(cr);
    cairo_restore(cr);
  };
  Creature c = FromDesign(d, 260, 70, 130);
  c.inflates = true;
  return c;
}
