// The eight scenes. Each draws its background in design units of 1024 x 768
// and its overlays relative to their own top left corner, so that the
// positions of the background table (which differ slightly between sizes)
// always hold their pictures.
#include "assets/art/scenes.h"

#include "assets/art/bubbles.h"
#include "assets/art/scene_kit.h"
#include "scene/creature_table.h"

#include <algorithm>
#include <cmath>

namespace {

// An overlay drawer gets the room it has: from its corner to the screen's
// right and bottom edges, in design units.
using OverlayDrawer = void (*)(SceneCanvas&, double availW, double availH);

struct SceneRecipe {
  void (*back)(SceneCanvas&);
  OverlayDrawer overlay[2];
};

double Wave(double x, double a, double period, double phase) {
  return a * std::sin(x / period * 2 * kPi + phase);
}

// Calls `draw(rng, lo, hi)` `count` times, each drawing one thing at an x in
// [lo, hi): over [x0, x1] of the screen, then on a wide canvas as densely over
// each side band, kept `reach` (the things' half width) clear of the screen.
// The bands have a random source of their own (`sideSeed`), so the screen's
// draws stay those of the 4:3 picture.
template <typename Draw>
void Scatter(SceneCanvas& sc, Rng& rng, int count, double x0, double x1, double reach,
             std::uint64_t sideSeed, Draw draw) {
  for (int i = 0; i < count; ++i) draw(rng, x0, x1);
  if (!sc.Wide()) return;
  Rng side(sideSeed);
  const int perBand = int(std::lround(count * -sc.left() / (x1 - x0)));
  for (int i = 0; i < perBand; ++i) draw(side, sc.left() - reach / 2, -reach);
  for (int i = 0; i < perBand; ++i) draw(side, 1024 + reach, sc.right() + reach / 2);
}

// Tufts of sea grass with their feet between y0 and y1.
void Meadow(SceneCanvas& sc, Rng& rng, int count, double y0, double y1, double h0, double h1,
            int blades, Rgb colour, std::uint64_t sideSeed) {
  Scatter(sc, rng, count, 0, 1024, 45, sideSeed, [&](Rng& r, double lo, double hi) {
    const std::uint64_t seed = r.Next();
    const double height = r.Range(h0, h1), y = r.Range(y0, y1);
    DrawSeaGrass(sc, r.Range(lo, hi), y, height, blades, colour, seed);
  });
}

// Far rocks and plants, pushed back by haze.
void FarReef(SceneCanvas& sc, double floor, Rgb rock, int count, std::uint64_t seed) {
  Rng rng(seed);
  Scatter(sc, rng, count, -40, 1064, 130, seed ^ 0xFA2, [&](Rng& r, double lo, double hi) {
    const double x = r.Range(lo, hi);
    const std::uint64_t shape = r.Next();
    const double h = r.Range(30, 90), w = r.Range(90, 220);
    DrawRock(sc, x, floor + r.Range(-6, 10), w, h, rock, shape);
  });
}

// ---- 0: coral reef -------------------------------------------------------

double ReefFloor(double x) { return 565 + Wave(x, 22, 700, 0.6) + Wave(x, 8, 190, 2.0); }

// The side bands of a wide canvas: coral behind the haze, then a brain coral
// and a sponge cluster beyond the common crops, smaller things inside them.
void ReefFarSides(SceneCanvas& sc) {
  DrawBranchCoral(sc, -250, 568, 110, Hex(0x8A70A8), 401);
  DrawBrainCoral(sc, 1300, 572, 120, 55, Hex(0x9A8A50), 403);
}

void ReefSides(SceneCanvas& sc) {
  DrawBrainCoral(sc, -280, 705, 170, 85, Hex(0xB08850), 409);
  DrawBranchCoral(sc, -55, 735, 80, Hex(0xD87890), 419);
  DrawTubeSponges(sc, 1300, 690, 140, Hex(0xB86A38), 421);
  DrawAnemone(sc, 1078, 725, 52, Hex(0xE8A0C0), 431);
  DrawStarfish(sc, -138, 748, 18, 1.1, Hex(0xE07040));
  DrawShell(sc, 1160, 752, 11, Hex(0xE8C8B0));
}

void ReefBack(SceneCanvas& sc) {
  const Rgb water = Hex(0x1C6A98);
  sc.Water(Hex(0x48B4D0), Hex(0x0C3460), 1.0);
  sc.LightRays(10, 620, 0.55);
  sc.Sand(ReefFloor, Hex(0xE8D8A8), Hex(0x90B0B0), 1.0);
  FarReef(sc, 560, Hex(0x3A6A80), 7, 101);
  DrawBrainCoral(sc, 120, 572, 110, 60, Hex(0x9A8A50), 5);
  DrawBranchCoral(sc, 860, 570, 120, Hex(0xA06AA8), 7);
  if (sc.Wide()) ReefFarSides(sc);
  sc.Haze(water, 0.35);
  Rng rng(13);
  DrawSeaFan(sc, 930, 640, 230, Hex(0xC05890), 17);
  DrawTubeSponges(sc, 60, 660, 150, Hex(0xC88038), 19);
  DrawBrainCoral(sc, 720, 680, 170, 90, Hex(0xB89858), 23);
  DrawBranchCoral(sc, 150, 700, 150, Hex(0xD8A070), 29);
  if (sc.Wide()) ReefSides(sc);
  Meadow(sc, rng, 9, 650, 760, 40, 80, 6, Hex(0x4A8A3A), 14);
  DrawStarfish(sc, 610, 735, 22, 0.4, Hex(0xE08840));
  DrawShell(sc, 860, 748, 12, Hex(0xE8C8B0));
  DrawBubbleColumn(sc, 800, 650, 80, 31);
}

void ReefOverlayA(SceneCanvas& sc, double w, double h) {
  // A coral head on a rock, rising from the sand to the overlay's top.
  const double base = h;
  DrawRock(sc, 150, base, 300, base * 0.42, Hex(0x6A6A5A), 41);
  DrawBrainCoral(sc, 110, base - base * 0.3, 150, 80, Hex(0xC0A060), 43);
  DrawBranchCoral(sc, 215, base - base * 0.33, std::min(base * 0.62, 280.0), Hex(0xD07890), 47);
  DrawBranchCoral(sc, 60, base - base * 0.3, std::min(base * 0.4, 170.0), Hex(0xE0A060), 45);
  DrawTubeSponges(sc, 265, base - 10, 120, Hex(0xD07840), 49);
  (void)w;
}

void ReefOverlayB(SceneCanvas& sc, double w, double h) {
  DrawRock(sc, 90, h, 180, 70, Hex(0x5A6A6A), 53);
  DrawSeaFan(sc, 95, h - 50, std::min(h * 0.95, 340.0), Hex(0xB84890), 59);
  DrawSeaGrass(sc, 30, h - 5, 90, 8, Hex(0x3A8A38), 61);
  DrawSeaGrass(sc, 160, h - 5, 70, 6, Hex(0x3A8A38), 67);
  (void)w;
}

// ---- 1: kelp forest ------------------------------------------------------

double KelpFloor(double x) { return 590 + Wave(x, 18, 520, 1.0) + Wave(x, 7, 150, 0.3); }

struct KelpKind {
  double base0, base1;  // feet between these y (equal: no random draw)
  double top0, top1, sway0, sway1;
  Rgb colour;
};

// Strands of kelp across the screen and the side bands.
void KelpBed(SceneCanvas& sc, Rng& rng, int count, const KelpKind& k, std::uint64_t sideSeed) {
  Scatter(sc, rng, count, -20, 1044, 40, sideSeed, [&](Rng& r, double lo, double hi) {
    const double x = r.Range(lo, hi);
    const std::uint64_t seed = r.Next();
    const double sway = r.Range(k.sway0, k.sway1), top = r.Range(k.top0, k.top1);
    const double base = k.base0 == k.base1 ? k.base0 : r.Range(k.base0, k.base1);
    DrawKelp(sc, x, base, top, sway, k.colour, seed);
  });
}

void KelpSides(SceneCanvas& sc) {
  DrawRock(sc, -275, 745, 180, 80, Hex(0x58584A), 439);
  DrawAnemone(sc, -300, 690, 48, Hex(0xE8A0B8), 443);
  DrawRock(sc, -55, 752, 80, 35, Hex(0x5A5A4A), 449);
  DrawRock(sc, 1300, 738, 190, 75, Hex(0x50584A), 457);
  DrawStarfish(sc, 1075, 745, 19, 0.3, Hex(0xD87038));
}

void KelpBack(SceneCanvas& sc) {
  const Rgb water = Hex(0x2E7A70);
  sc.Water(Hex(0x7AC8A8), Hex(0x0C3438), 0.8);
  Rng rng(71);
  KelpBed(sc, rng, 16, {620, 620, -40, 120, 15, 40, Hex(0x4A6A30)}, 72);
  sc.Haze(water, 0.5);
  sc.LightRays(12, 400, 0.6);
  sc.Sand(KelpFloor, Hex(0xB8AC88), Hex(0x6A8878), 0.7);
  FarReef(sc, 600, Hex(0x4A5A50), 6, 73);
  KelpBed(sc, rng, 9, {660, 700, -60, 60, 20, 50, Hex(0x7A8A28)}, 74);
  sc.Haze(water, 0.15);
  DrawRock(sc, 160, 740, 260, 90, Hex(0x5A5A4A), 79);
  DrawRock(sc, 900, 730, 200, 70, Hex(0x50584A), 83);
  if (sc.Wide()) KelpSides(sc);
  Meadow(sc, rng, 6, 700, 765, 30, 60, 5, Hex(0x6A8A30), 76);
  DrawStarfish(sc, 420, 742, 20, 1.0, Hex(0xD87038));
}

void KelpOverlayA(SceneCanvas& sc, double w, double h) {
  DrawRock(sc, 140, h, 270, h * 0.75, Hex(0x5E5A48), 89);
  DrawAnemone(sc, 100, h - h * 0.68, 60, Hex(0xE8A0B8), 97);
  DrawSeaGrass(sc, 220, h - 20, 60, 7, Hex(0x7A8A28), 101);
  // Sea urchins.
  cairo_t* c = sc.cr();
  for (int k = 0; k < 2; ++k) {
    const double ux = 160 + k * 60, uy = h - h * 0.25 - k * 15;
    cairo_set_line_width(c, 1.2);
    for (int i = 0; i < 28; ++i) {
      const double a = i * kPi / 14;
      cairo_move_to(c, ux, uy);
      cairo_line_to(c, ux + std::cos(a) * 18, uy + std::sin(a) * 14);
    }
    SetColour(c, Hex(0x3A1A40), 0.95);
    cairo_stroke(c);
    cairo_arc(c, ux, uy, 8, 0, 2 * kPi);
    SetColour(c, Hex(0x4A2450));
    cairo_fill(c);
  }
  (void)w;
}

// ---- 2: rocks and sand -----------------------------------------------------

double RockFloor(double x) { return 545 + Wave(x, 30, 900, 2.2) + Wave(x, 9, 210, 1.1); }

// Beyond the rock shelf that runs off the screen's left edge: a low rock and
// grass; on the right a rock pile beyond the common crops.
void RockSides(SceneCanvas& sc) {
  DrawRock(sc, -285, 700, 170, 75, Hex(0x66605A), 461);
  DrawSeaGrass(sc, -240, 705, 70, 8, Hex(0x4A8A38), 463);
  DrawStarfish(sc, -138, 745, 20, 0.7, Hex(0xC84830));
  DrawRock(sc, 1320, 690, 150, 120, Hex(0x6A6458), 467);
  DrawRock(sc, 1272, 712, 110, 52, Hex(0x706A60), 479);
  DrawSeaGrass(sc, 1360, 700, 60, 7, Hex(0x5A8A3A), 487);
  DrawRock(sc, 1085, 745, 70, 28, Hex(0x6A6A64), 491);
  DrawShell(sc, 1160, 750, 12, Hex(0xF0D8C0));
}

void RockBack(SceneCanvas& sc) {
  const Rgb water = Hex(0x2070A8);
  sc.Water(Hex(0x5AB0DC), Hex(0x0E2C5C), 1.0);
  sc.LightRays(8, 300, 0.5);
  sc.Sand(RockFloor, Hex(0xF0DEB0), Hex(0x98B4C0), 1.3);
  FarReef(sc, 540, Hex(0x4A6478), 9, 107);
  sc.Haze(water, 0.3);
  DrawRock(sc, 820, 640, 280, 130, Hex(0x6A6458), 109);
  DrawRock(sc, 960, 700, 160, 70, Hex(0x706A60), 113);
  DrawRock(sc, 600, 700, 120, 45, Hex(0x6A6A64), 127);
  if (sc.Wide()) RockSides(sc);
  DrawSeaGrass(sc, 700, 700, 60, 7, Hex(0x5A8A3A), 131);
  DrawStarfish(sc, 520, 736, 24, 0.2, Hex(0xC84830));
  DrawStarfish(sc, 890, 748, 18, 0.9, Hex(0xE0A040));
  DrawShell(sc, 680, 752, 14, Hex(0xF0D8C0));
  DrawShell(sc, 420, 720, 10, Hex(0xE0C0A8));
  DrawBubbleColumn(sc, 760, 600, 60, 137);
}

void RockOverlayA(SceneCanvas& sc, double w, double h) {
  // A big rock shelf at the left edge, running off the screen.
  DrawRock(sc, 120, h + 10, 360, h * 1.0, Hex(0x5C5850), 139);
  DrawRock(sc, 270, h, 150, h * 0.45, Hex(0x66605A), 149);
  DrawSeaGrass(sc, 300, h - 2, 80, 9, Hex(0x4A8A38), 151);
  DrawAnemone(sc, 130, h - h * 0.9, 46, Hex(0xF0C060), 157);
  (void)w;
}

void RockOverlayB(SceneCanvas& sc, double w, double h) {
  // A tall strand of kelp from the sand up to the overlay's top.
  DrawKelp(sc, 45, h, 8, 22, Hex(0x6A7A28), 163);
  DrawSeaGrass(sc, 45, h, 50, 6, Hex(0x5A8A30), 167);
  (void)w;
}

// ---- 3: the wreck -----------------------------------------------------------

double WreckFloor(double x) { return 580 + Wave(x, 16, 640, 0.2) + Wave(x, 6, 170, 0.9); }

void Planks(SceneCanvas& sc, const std::vector<Point>& outline, Rgb wood, double spacing,
            double tilt) {
  cairo_t* c = sc.cr();
  cairo_save(c);
  cairo_new_path(c);
  SmoothClosedPath(c, outline, 0.4);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 200, 0, 700);
  AddStop(g, 0, Scale(wood, 1.2));
  AddStop(g, 1, Scale(wood, 0.55));
  sc.FillGrained(g, 0.3);
  cairo_set_line_width(c, 1.6);
  SetColour(c, Scale(wood, 0.35), 0.7);
  // Lines over [-100, 1200], run on over a wide canvas's side bands as
  // separate pieces so that the screen's lines are drawn as at 4:3.
  auto line = [&](double y, double x0, double x1) {
    cairo_move_to(c, x0, y + tilt * (x0 + 100));
    cairo_line_to(c, x1, y + tilt * (x1 + 100));
  };
  for (double y = -200; y < 1000; y += spacing) {
    line(y, -100, 1200);
    if (!sc.Wide()) continue;
    line(y, sc.left() - 100, -100);
    line(y, 1200, sc.right() + 100);
  }
  cairo_stroke(c);
  cairo_restore(c);
}

// Ribs of a broken-up hull standing out of the sand around `cx`.
void HullRibs(SceneCanvas& sc, double cx, double baseY, double width, double height, Rgb wood) {
  cairo_t* c = sc.cr();
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  const int ribs = 5;
  for (int i = 0; i < ribs; ++i) {
    const double t = double(i) / (ribs - 1);
    const double x = cx - width / 2 + t * width;
    const double h = height * (0.55 + 0.45 * std::sin(t * kPi)) * (i % 2 ? 0.8 : 1.0);
    cairo_new_path(c);
    cairo_move_to(c, x, baseY + 6);
    cairo_curve_to(c, x - 4, baseY - h * 0.5, x + 10, baseY - h * 0.85, x + 26, baseY - h);
    cairo_set_line_width(c, 11);
    SetColour(c, Scale(wood, 0.7));
    cairo_stroke_preserve(c);
    cairo_set_line_width(c, 4);
    SetColour(c, Scale(wood, 1.15), 0.6);
    cairo_stroke(c);
  }
  // The keel, half buried.
  cairo_new_path(c);
  cairo_move_to(c, cx - width / 2 - 20, baseY + 4);
  cairo_line_to(c, cx + width / 2 + 20, baseY - 2);
  cairo_set_line_width(c, 13);
  SetColour(c, Scale(wood, 0.6));
  cairo_stroke(c);
}

// A barrel lying on its side, hoops and all.
void Barrel(SceneCanvas& sc, double cx, double baseY, double length, double angle, Rgb wood) {
  cairo_t* c = sc.cr();
  const double r = length * 0.36;
  cairo_save(c);
  cairo_translate(c, cx, baseY - r);
  cairo_rotate(c, angle);
  cairo_new_path(c);
  cairo_move_to(c, -length / 2, -r * 0.8);
  cairo_curve_to(c, -length / 6, -r * 1.1, length / 6, -r * 1.1, length / 2, -r * 0.8);
  cairo_line_to(c, length / 2, r * 0.8);
  cairo_curve_to(c, length / 6, r * 1.1, -length / 6, r * 1.1, -length / 2, r * 0.8);
  cairo_close_path(c);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, -r, 0, r);
  AddStop(g, 0, Scale(wood, 1.25));
  AddStop(g, 1, Scale(wood, 0.5));
  sc.FillGrained(g, 0.3);
  cairo_set_line_width(c, 5);
  SetColour(c, Hex(0x3A3A34), 0.9);
  for (double k : {-0.32, -0.12, 0.12, 0.32}) {
    cairo_move_to(c, k * length, -r * 1.2);
    cairo_line_to(c, k * length, r * 1.2);
  }
  cairo_stroke(c);
  cairo_restore(c);
}

// Wreck pieces scattered over the side bands, behind the nearest haze.
void WreckSides(SceneCanvas& sc) {
  HullRibs(sc, -285, 640, 150, 110, Hex(0x5A4632));
  Barrel(sc, -55, 700, 70, -0.2, Hex(0x6A5036));
  DrawRock(sc, 1075, 668, 80, 38, Hex(0x5A5A50), 499);
  Planks(sc, {{1210, 660}, {1240, 560}, {1330, 520}, {1390, 545}, {1370, 640}, {1290, 672}},
         Hex(0x5A4632), 22, 0.05);
  Barrel(sc, 1160, 690, 44, 0.3, Hex(0x6A5036));
}

void WreckBack(SceneCanvas& sc) {
  const Rgb water = Hex(0x164A70);
  sc.Water(Hex(0x3A88B0), Hex(0x081A34), 0.7);
  sc.LightRays(7, 700, 0.45);
  sc.Sand(WreckFloor, Hex(0xC8BC98), Hex(0x688C98), 0.8);
  FarReef(sc, 575, Hex(0x34505E), 6, 173);
  sc.Haze(water, 0.3);
  // The hull lies across the middle distance, its stern buried to the left.
  Planks(sc, {{40, 590}, {120, 430}, {380, 380}, {640, 360}, {760, 400}, {770, 520},
              {700, 610}, {300, 630}},
         Hex(0x5A4632), 22, -0.04);
  cairo_t* c = sc.cr();
  for (int i = 0; i < 5; ++i) {
    const double x = 220 + i * 105, y = 470 - i * 6;
    cairo_arc(c, x, y, 14, 0, 2 * kPi);
    SetColour(c, Hex(0x2A2A24));
    cairo_fill_preserve(c);
    SetColour(c, Hex(0x8A7A50), 0.8);
    cairo_set_line_width(c, 4);
    cairo_stroke(c);
  }
  // Broken mast.
  cairo_new_path(c);
  cairo_move_to(c, 420, 380);
  cairo_line_to(c, 520, 120);
  cairo_line_to(c, 540, 128);
  cairo_line_to(c, 446, 384);
  cairo_close_path(c);
  SetColour(c, Hex(0x4A3A28));
  cairo_fill(c);
  cairo_move_to(c, 470, 250);
  cairo_line_to(c, 600, 290);
  SetColour(c, Hex(0x3A2E20), 0.8);
  cairo_set_line_width(c, 5);
  cairo_stroke(c);
  if (sc.Wide()) WreckSides(sc);
  sc.Haze(water, 0.22);
  DrawTubeSponges(sc, 120, 700, 120, Hex(0xA07040), 179);
  DrawSeaFan(sc, 930, 700, 200, Hex(0xD08040), 181);
  DrawBubbleColumn(sc, 560, 370, 40, 191);
}

void WreckOverlayA(SceneCanvas& sc, double w, double h) {
  // The bow section rising out of the sand on the right.
  const double right = std::min(w, 420.0);
  // The prow: a stem post rising to the left, the sheer line sweeping
  // down to the right where the hull breaks off.
  Planks(sc, {{10, h + 10}, {24, 300}, {60, 150}, {120, 50}, {170, 8}, {200, 14},
              {240, 60}, {right * 0.75, 140}, {right, 200}, {right * 0.92, 300},
              {right, 380}, {right, h + 10}},
         Hex(0x5E4630), 24, 0.06);
  {
    cairo_t* rail = sc.cr();
    cairo_new_path(rail);
    SmoothOpenPath(rail, {{170, 8}, {200, 14}, {240, 60}, {right * 0.75, 140}, {right, 200}});
    SetColour(rail, Hex(0x3A2A1A), 0.9);
    cairo_set_line_width(rail, 6);
    cairo_stroke(rail);
  }
  cairo_t* c = sc.cr();
  for (int i = 0; i < 3; ++i) {
    const double x = 130 + i * 85, y = 200 + i * 35;
    cairo_arc(c, x, y, 16, 0, 2 * kPi);
    SetColour(c, Hex(0x1E1E1A));
    cairo_fill_preserve(c);
    SetColour(c, Hex(0xA08A50), 0.85);
    cairo_set_line_width(c, 4.5);
    cairo_stroke(c);
  }
  DrawSeaGrass(sc, 70, h - 2, 70, 8, Hex(0x4A7A3A), 193);
  DrawAnemone(sc, 330, h - 8, 54, Hex(0xE8D0A0), 197);
}

void WreckOverlayB(SceneCanvas& sc, double w, double h) {
  // An anchor leaning on a rock, its chain trailing into the sand.
  cairo_t* c = sc.cr();
  DrawRock(sc, 70, h, 140, 90, Hex(0x5A5A50), 199);
  cairo_save(c);
  cairo_translate(c, 95, h - 40);
  cairo_rotate(c, 0.35);
  const Rgb iron = Hex(0x4A4640);
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(c, 11);
  SetColour(c, iron);
  cairo_move_to(c, 0, 0);
  cairo_line_to(c, 0, -h * 0.62);
  cairo_stroke(c);
  cairo_move_to(c, -40, -h * 0.56);
  cairo_line_to(c, 40, -h * 0.56);
  cairo_stroke(c);
  cairo_arc(c, 0, -h * 0.62 - 14, 13, 0, 2 * kPi);
  cairo_set_line_width(c, 6);
  cairo_stroke(c);
  cairo_new_path(c);
  cairo_arc(c, 0, -50, 55, 0.2 * kPi, 0.8 * kPi);
  cairo_set_line_width(c, 11);
  cairo_stroke(c);
  for (int s = -1; s <= 1; s += 2) {
    cairo_move_to(c, s * 52, -38);
    cairo_line_to(c, s * 62, -62);
    cairo_line_to(c, s * 40, -44);
    cairo_close_path(c);
    cairo_fill(c);
  }
  cairo_restore(c);
  // Chain.
  for (int i = 0; i < 9; ++i) {
    cairo_save(c);
    cairo_translate(c, 10 + i * 15, h - 12 + std::sin(i * 0.9) * 4);
    cairo_scale(c, 1.0, 0.55);
    cairo_arc(c, 0, 0, 7, 0, 2 * kPi);
    cairo_restore(c);
    SetColour(c, Hex(0x5A5048));
    cairo_set_line_width(c, 3);
    cairo_stroke(c);
  }
  (void)w;
}

// ---- 4: lagoon ---------------------------------------------------------------

double LagoonFloor(double x) { return 520 + Wave(x, 26, 800, 0.1) + Wave(x, 10, 230, 1.7); }

void PillarCoral(SceneCanvas& sc, double x, double baseY, double topY, double width,
                 Rgb colour, std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  cairo_save(c);
  cairo_new_path(c);
  cairo_move_to(c, x - width / 2, baseY + 4);
  cairo_line_to(c, x - width * 0.45, topY + width * 0.5);
  cairo_curve_to(c, x - width * 0.45, topY - width * 0.05, x + width * 0.45,
                 topY - width * 0.05, x + width * 0.45, topY + width * 0.5);
  cairo_line_to(c, x + width / 2, baseY + 4);
  cairo_close_path(c);
  cairo_pattern_t* g = cairo_pattern_create_linear(x - width / 2, 0, x + width / 2, 0);
  AddStop(g, 0, Scale(colour, 0.55));
  AddStop(g, 0.35, Scale(colour, 1.2));
  AddStop(g, 1, Scale(colour, 0.5));
  cairo_set_source(c, g);
  cairo_fill_preserve(c);
  cairo_pattern_destroy(g);
  cairo_clip(c);
  // Fuzzy polyps.
  for (int i = 0; i < int((baseY - topY) * width / 60); ++i) {
    cairo_arc(c, x + rng.Range(-0.5, 0.5) * width, rng.Range(topY, baseY), rng.Range(1, 2.2), 0,
              2 * kPi);
    SetColour(c, Scale(colour, rng.Range(1.1, 1.5)), 0.6);
    cairo_fill(c);
  }
  sc.Texture(0.35);
  cairo_restore(c);
}

// Pillar coral and a brain coral beyond the common crops, smaller coral and
// a starfish inside them.
void LagoonSides(SceneCanvas& sc) {
  PillarCoral(sc, -300, 640, 430, 34, Hex(0xC8B078), 503);
  PillarCoral(sc, -255, 650, 500, 28, Hex(0xC8B078), 509);
  PillarCoral(sc, -330, 655, 540, 24, Hex(0xC8B078), 521);
  DrawBrainCoral(sc, -55, 700, 80, 42, Hex(0xD8B070), 523);
  DrawBrainCoral(sc, 1300, 680, 170, 80, Hex(0xD0A868), 541);
  PillarCoral(sc, 1080, 650, 520, 30, Hex(0xC8B078), 547);
  DrawStarfish(sc, 1160, 735, 22, 0.2, Hex(0xE87848));
}

void LagoonBack(SceneCanvas& sc) {
  const Rgb water = Hex(0x4AB0C0);
  sc.Water(Hex(0x8AE0E0), Hex(0x2A80A8), 1.3);
  sc.LightRays(12, 500, 0.65);
  sc.Sand(LagoonFloor, Hex(0xF8ECC8), Hex(0xB8D8D0), 1.4);
  FarReef(sc, 515, Hex(0x70A8A8), 6, 211);
  sc.Haze(water, 0.3);
  Rng rng(223);
  if (sc.Wide()) LagoonSides(sc);
  Meadow(sc, rng, 26, 560, 768, 40, 100, 8, Hex(0x5AA048), 224);
  DrawBrainCoral(sc, 860, 640, 160, 80, Hex(0xD8B070), 227);
  DrawStarfish(sc, 700, 720, 26, 0.6, Hex(0xE87848));
  DrawShell(sc, 560, 748, 14, Hex(0xF8E0D0));
  DrawShell(sc, 930, 735, 11, Hex(0xF0C8B0));
}

void LagoonOverlayA(SceneCanvas& sc, double w, double h) {
  // A thicket of pillar coral rising to the overlay's top.
  DrawRock(sc, 150, h, 300, 80, Hex(0xA09880), 229);
  const double pillars[][3] = {{60, 0.55, 38}, {120, 0.02, 46}, {175, 0.25, 40},
                               {225, 0.4, 36}, {265, 0.62, 30}, {30, 0.75, 28}};
  for (const auto& p : pillars) {
    PillarCoral(sc, p[0], h - 20, 6 + p[1] * h * 0.8, p[2], Hex(0xC8B078), 233 + int(p[0]));
  }
  DrawSeaGrass(sc, 300, h - 2, 70, 8, Hex(0x5AA048), 239);
  (void)w;
}

// ---- 5: open blue water, seen from a cave mouth ------------------------------

// The cave's rock: the outlines filled (even-odd, so a second outline inside
// the first is a hole), shaded across the cave mouth of size w x h, grained.
void CaveRock(SceneCanvas& sc, const std::vector<std::vector<Point>>& outlines, double w,
              double h) {
  cairo_t* c = sc.cr();
  const Rgb rock = Hex(0x2C3238);
  cairo_save(c);
  cairo_new_path(c);
  for (const std::vector<Point>& pts : outlines) SmoothClosedPath(c, pts, 0.8);
  cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, w * 0.3, h * 0.3);
  AddStop(g, 0, Scale(rock, 0.7));
  AddStop(g, 1, Scale(rock, 1.3));
  sc.FillGrained(g, 0.4);
  cairo_restore(c);
}

// Weed hanging from the overhang's underside at `top`, between x0 and x1.
void HangingWeed(SceneCanvas& sc, Rng& rng, int count, double x0, double x1, double top) {
  cairo_t* c = sc.cr();
  for (int i = 0; i < count; ++i) {
    const double x = rng.Range(x0, x1);
    const double len = rng.Range(40, 120);
    cairo_new_path(c);
    cairo_move_to(c, x, top);
    cairo_curve_to(c, x + rng.Range(-10, 10), top + len * 0.4, x + rng.Range(-20, 20),
                   top + len * 0.7, x + rng.Range(-15, 15), top + len);
    cairo_set_line_width(c, rng.Range(3, 6));
    cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
    SetColour(c, Mix(Hex(0x2A5A30), Hex(0x4A7A38), rng.Uniform()));
    cairo_stroke(c);
  }
}

// The cave around the mouth on a wide canvas, drawn in the mouth's own layer
// (the same grain, no seam) under the mouth's rock, and clear of the screen:
// its left wall with a small window of its own beyond the common crops; on
// the right the overhang, the boulders and a wall closing the view.
void CaveSides(SceneCanvas& sc, double w, double h) {
  const double l = sc.left() - 40, r = sc.right() + 40;
  CaveRock(sc,
           {{{l, -40}, {-20, -40}, {-20, h + 40}, {l, h + 40}},
            {{-345, 230}, {-250, 190}, {-205, 300}, {-220, 440}, {-300, 470}, {-350, 360}}},
           w, h);
  CaveRock(sc,
           {{{1036, -40}, {r, -40}, {r, h + 40}, {1036, h + 40}, {1036, 640}, {1100, 600},
             {1190, 575}, {1265, 490}, {1250, 330}, {1270, 170}, {1200, 80}, {1100, 70},
             {1040, 36}}},
           w, h);
  Rng rng(617);
  HangingWeed(sc, rng, 6, 1070, 1250, 60);
  HangingWeed(sc, rng, 3, -340, -215, 200);
  DrawAnemone(sc, -290, 480, 50, Hex(0xD070A0), 619);
  DrawAnemone(sc, -260, 745, 44, Hex(0xB060A0), 623);
  DrawTubeSponges(sc, -135, 742, 55, Hex(0x8A5A7A), 631);
  DrawAnemone(sc, 1162, 580, 40, Hex(0xE0A0C0), 641);
  DrawTubeSponges(sc, 1330, 500, 100, Hex(0x7A5A8A), 643);
}

void OpenBack(SceneCanvas& sc) {
  sc.Water(Hex(0x3C9CE0), Hex(0x062050), 1.2);
  sc.LightRays(14, 512, 0.7);
  // A far reef deep below.
  sc.Sand([](double x) { return 700 + Wave(x, 14, 500, 0.4); }, Hex(0x4A7AA0),
          Hex(0x2A5A88), 0.5);
  sc.Haze(Hex(0x164C90), 0.35);
  DrawBubbleColumn(sc, 300, 760, 200, 241);
  DrawBubbleColumn(sc, 700, 700, 300, 251);
}

void OpenOverlay(SceneCanvas& sc, double w, double h) {
  // Dark rock framing the view: a wall on the left, an overhang above with
  // hanging weed, boulders at the bottom right.
  if (sc.Wide()) CaveSides(sc, w, h);
  CaveRock(sc,
           {{{-40, -40}, {w + 40, -40}, {w + 40, 40}, {w * 0.8, 70}, {w * 0.6, 40},
             {w * 0.4, 80}, {w * 0.2, 60}, {w * 0.12, 160}, {w * 0.1, 330}, {w * 0.14, 520},
             {w * 0.08, 640}, {w * 0.14, h + 40}, {-40, h + 40}}},
           w, h);
  CaveRock(sc,
           {{{w * 0.62, h + 40}, {w * 0.66, h - 60}, {w * 0.76, h - 120}, {w * 0.9, h - 150},
             {w + 40, h - 170}, {w + 40, h + 40}}},
           w, h);
  // Hanging weed from the overhang.
  Rng rng(257);
  HangingWeed(sc, rng, 16, w * 0.18, w * 0.95, 40);
  // A few anemones and sponges on the rocks, lit by the blue.
  DrawAnemone(sc, w * 0.82, h - 150, 50, Hex(0xD070A0), 263);
  DrawTubeSponges(sc, w * 0.06, h - 40, 110, Hex(0x8A5A7A), 269);
  sc.Haze(Hex(0x0C3060), 0.15);
}

// ---- 6: anemone garden ---------------------------------------------------------

double GardenFloor(double x) { return 600 + Wave(x, 20, 600, 2.6) + Wave(x, 8, 160, 0.5); }

void GardenSides(SceneCanvas& sc) {
  DrawAnemone(sc, -250, 250, 55, Hex(0xB0E0A0), 563);
  DrawTubeSponges(sc, -320, 420, 80, Hex(0xA05890), 569);
  DrawAnemone(sc, -48, 738, 52, Hex(0xF0B0C0), 571);
  DrawRock(sc, 1310, 660, 190, 150, Hex(0x4A5A60), 577);
  DrawAnemone(sc, 1300, 530, 62, Hex(0xE8C0A0), 587);
  DrawSeaFan(sc, 1268, 700, 110, Hex(0xE0A040), 593);
  DrawAnemone(sc, 1160, 740, 48, Hex(0xC080D0), 599);
}

void GardenBack(SceneCanvas& sc) {
  const Rgb water = Hex(0x1E7088);
  sc.Water(Hex(0x50B8C0), Hex(0x0A2C48), 0.9);
  sc.LightRays(9, 800, 0.5);
  sc.Sand(GardenFloor, Hex(0xD8CCA8), Hex(0x7A9AA0), 0.9);
  // A reef wall on the left rising high (on a wide canvas running on to the
  // picture's left edge).
  if (sc.Wide()) DrawRock(sc, -250, 650, 340, 420, Hex(0x44545A), 557);
  DrawRock(sc, 110, 640, 420, 560, Hex(0x4A5A5A), 271);
  DrawRock(sc, 980, 610, 260, 160, Hex(0x4A5A60), 277);
  sc.Haze(water, 0.25);
  DrawTubeSponges(sc, 200, 230, 90, Hex(0xA05890), 281);
  DrawAnemone(sc, 140, 110, 60, Hex(0xF0B0C0), 283);
  DrawAnemone(sc, 250, 330, 50, Hex(0xB0E0A0), 293);
  DrawSeaFan(sc, 320, 560, 160, Hex(0xE0A040), 307);
  DrawBrainCoral(sc, 880, 720, 150, 70, Hex(0xA89060), 311);
  DrawAnemone(sc, 740, 730, 70, Hex(0xF0C0A0), 313);
  DrawStarfish(sc, 560, 745, 20, 0.1, Hex(0xE0A050));
  if (sc.Wide()) GardenSides(sc);
}

void GardenOverlayA(SceneCanvas& sc, double w, double h) {
  DrawRock(sc, 160, h, 320, h * 0.62, Hex(0x5A5A52), 317);
  DrawAnemone(sc, 120, h - h * 0.6, 90, Hex(0xE8C0A0), 331);
  DrawAnemone(sc, 230, h - h * 0.45, 70, Hex(0xC080D0), 337);
  DrawTubeSponges(sc, 290, h - 6, 100, Hex(0xD89050), 347);
  (void)w;
}

// ---- 7: sea-grass meadow at dusk ------------------------------------------------

double MeadowFloor(double x) { return 500 + Wave(x, 18, 900, 1.4) + Wave(x, 6, 260, 0.2); }

void MeadowSides(SceneCanvas& sc) {
  DrawRock(sc, -275, 712, 170, 58, Hex(0x585850), 601);
  DrawShell(sc, -60, 742, 12, Hex(0xE8D0C0));
  DrawRock(sc, 1300, 705, 190, 70, Hex(0x56564E), 607);
  DrawStarfish(sc, 1080, 742, 18, 0.5, Hex(0xC86848));
  DrawBubbleColumn(sc, 1330, 650, 180, 613);
}

void MeadowBack(SceneCanvas& sc) {
  const Rgb water = Hex(0x1A4A80);
  sc.Water(Hex(0x4A88C0), Hex(0x061428), 0.6);
  sc.LightRays(11, 350, 0.6);
  sc.Sand(MeadowFloor, Hex(0xB8B090), Hex(0x507088), 1.0);
  FarReef(sc, 505, Hex(0x3A5A70), 5, 347);
  sc.Haze(water, 0.3);
  Rng rng(349);
  Meadow(sc, rng, 30, 505, 560, 20, 40, 5, Hex(0x3A6A48), 350);
  sc.Haze(water, 0.3);
  if (sc.Wide()) MeadowSides(sc);
  Meadow(sc, rng, 40, 580, 768, 50, 130, 9, Hex(0x4A8A40), 351);
  DrawRock(sc, 780, 700, 200, 60, Hex(0x585850), 353);
  DrawShell(sc, 300, 745, 13, Hex(0xE8D0C0));
  DrawBubbleColumn(sc, 620, 620, 120, 359);
}

const SceneRecipe kScenes[kBackgroundCount] = {
    {ReefBack, {ReefOverlayA, ReefOverlayB}},
    {KelpBack, {KelpOverlayA, nullptr}},
    {RockBack, {RockOverlayA, RockOverlayB}},
    {WreckBack, {WreckOverlayA, WreckOverlayB}},
    {LagoonBack, {LagoonOverlayA, nullptr}},
    {OpenBack, {OpenOverlay, nullptr}},
    {GardenBack, {GardenOverlayA, nullptr}},
    {MeadowBack, {nullptr, nullptr}},
};

struct Bounds {
  int x1 = 0, y1 = 0;  // exclusive right and bottom of what is covered
};

}  // namespace

namespace {

// Draws scene `index` on a W x H canvas whose 4:3 screen (design x 0..1024)
// sits in the middle and holds the overlays of `variant` at their positions
// times `factor` (the table's positions are pixels of the variant's own
// size). Without `base` an overlay is the box of what it covers; with it, the
// same scene at factor 1, each overlay is exactly `factor` times the size of
// the base's.
ScenePictures Render(int index, const BackgroundVariant& variant, int W, int H, int factor,
                     const ScenePictures* base) {
  ScenePictures out;
  const int screenW = H * 4 / 3, originX = (W - screenW) / 2;
  const SceneRecipe& recipe = kScenes[index];
  const std::uint32_t seed = 0x7D3A0000u + std::uint32_t(index) * 7919u;
  SceneCanvas back(W, H, seed);
  recipe.back(back);
  RgbaImage background = back.canvas().ToImage();
  RgbaImage layers[2];
  const PlacedPicture* placed[2] = {&variant.overlayA, &variant.overlayB};
  for (int k = 0; k < 2; ++k) {
    if (!placed[k]->name || !recipe.overlay[k]) continue;
    const int ox = placed[k]->x * factor, oy = placed[k]->y * factor;
    SceneCanvas layer(W, H, seed + 101u * (k + 1));
    cairo_t* c = layer.cr();
    cairo_save(c);
    cairo_identity_matrix(c);
    // An overlay against the screen's left edge runs on into a wide
    // canvas's side band (it ends at the screen's right edge in any case),
    // so the background continues what the overlay shows.
    const int clipX = ox == 0 ? 0 : originX + ox;
    cairo_rectangle(c, clipX, oy, W - clipX, H - oy);
    cairo_clip(c);
    cairo_restore(c);
    cairo_translate(c, ox / layer.scale(), oy / layer.scale());
    recipe.overlay[k](layer, (screenW - ox) / layer.scale(), (H - oy) / layer.scale());
    layers[k] = layer.canvas().ToImage();
    CompositeOver(background, layers[k], 0, 0);
    out.overlayX[k] = originX + ox;
    out.overlayY[k] = oy;
    out.hasOverlay[k] = true;
  }
  // Corners darkened over the finished picture, so the overlays take the same
  // colours as the background under them.
  {
    SceneCanvas finish(W, H, seed);
    finish.canvas().FromImage(background);
    finish.Vignette(0.35);
    background = finish.canvas().ToImage();
  }
  for (int k = 0; k < 2; ++k) {
    if (!out.hasOverlay[k]) continue;
    const int ox = out.overlayX[k], oy = out.overlayY[k];
    const int screenRight = originX + screenW;
    // The overlay is opaque where its layer covers at least a quarter of the
    // screen's pixel; there it shows exactly the finished background's pixels.
    Bounds b;
    for (int y = oy; y < H; ++y) {
      for (int x = ox; x < screenRight; ++x) {
        if (layers[k].At(x, y)[3] >= 64) {
          b.x1 = std::max(b.x1, x + 1);
          b.y1 = std::max(b.y1, y + 1);
        }
      }
    }
    int w = std::max(1, b.x1 - ox), h = std::max(1, b.y1 - oy);
    if (base && base->hasOverlay[k]) {
      w = base->overlay[k].width * factor;
      h = base->overlay[k].height * factor;
    }
    RgbaImage pic(w, h);
    for (int y = 0; y < h && oy + y < H; ++y) {
      for (int x = 0; x < w && ox + x < screenRight; ++x) {
        if (layers[k].At(ox + x, oy + y)[3] < 64) continue;
        const std::uint8_t* src = background.At(ox + x, oy + y);
        std::uint8_t* dst = pic.At(x, y);
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = 255;
      }
    }
    out.overlay[k] = std::move(pic);
  }
  for (std::size_t i = 3; i < background.pixels.size(); i += 4) background.pixels[i] = 255;
  out.background = std::move(background);
  return out;
}

}  // namespace

ScenePictures RenderScene(int index, int width) {
  const BackgroundVariant* variant = BackgroundAt(index, width);
  if (!variant) return {};
  const int W = width == 640 ? 640 : (width == 800 ? 800 : 1024);
  return Render(index, *variant, W, W * 3 / 4, 1, nullptr);
}

ScenePictures RenderWideScene(int index) {
  const BackgroundVariant* variant = BackgroundAt(index, 1024);
  if (!variant) return {};
  return Render(index, *variant, kWidePictureWidth, 768, 1, nullptr);
}

ScenePictures RenderWideSceneTwice(int index, const ScenePictures& once) {
  const BackgroundVariant* variant = BackgroundAt(index, 1024);
  if (!variant) return {};
  return Render(index, *variant, 2 * kWidePictureWidth, 2 * 768, 2, &once);
}
