// Lake cichlids: Cunningtonia longiventralis, Aulonocara hueseri and the
// spotted Otopharynx. One body plan, three colourings.
#include "assets/art/fish_kit.h"

namespace {

FishDesign CichlidBody(double length, double depth) {
  FishDesign d;
  d.length = length;
  const double k = depth;
  d.profile = {{0, -0.05, 0.06},       {0.1, -0.15 * k, 0.13 * k}, {0.3, -0.23 * k, 0.2 * k},
               {0.55, -0.22 * k, 0.19 * k}, {0.8, -0.13 * k, 0.12 * k},
               {0.95, -0.085 * k, 0.08 * k}, {1.0, -0.08 * k, 0.075 * k}};
  d.tail = TailShape::Truncate;
  d.tailLength = 0.3;
  d.tailSpan = 0.44 * k;
  d.eyeT = 0.12;
  d.eyeV = -0.2;
  d.eyeRadius = 0.055;
  d.gillT = 0.27;
  d.mouthV = 0.1;
  return d;
}

// A long dorsal of spines in front and soft rays behind, and a matching anal.
void CichlidFins(FishDesign& d, FinStyle dorsal, FinStyle anal, FinStyle paired) {
  d.dorsal = Median(0.26, 0.9, {0.08, 0.11, 0.12, 0.12, 0.14, 0.2, 0.22}, 0.14, 16, dorsal);
  d.dorsal.tail = 0.12;
  d.anal = Median(0.62, 0.9, {0.1, 0.15, 0.18, 0.15}, 0.15, 8, anal);
  d.anal.tail = 0.1;
  d.tailStyle = anal;
  d.pectoral = Paired(0.3, 0.3, 0.17, 0.09, 0.4, 0.4, paired);
  d.pelvic = Paired(0.34, 0.92, 0.2, 0.05, 1.05, 0.15, anal);
}

void VerticalBars(cairo_t* cr, const FishBody& body, int count, double t0, double t1, Rgb c,
                  double alpha) {
  for (int i = 0; i < count; ++i) {
    const double t = Lerp(t0, t1, (i + 0.5) / count);
    BodyBand(cr, body, t - 0.025, t + 0.025, 0.01);
    SetColour(cr, c, alpha);
    cairo_fill(cr);
  }
}

}  // namespace

Creature LongiventCreature() {
  FishDesign d = CichlidBody(86, 0.92);
  d.back = Hex(0x8A7A38);
  d.flank = Hex(0xD8C060);
  d.belly = Hex(0xF0E8C0);
  const Rgb yellow = Hex(0xF0D040), blue = Hex(0x4890D0);
  FinStyle dorsal = Fin(Hex(0xB8A860), Hex(0xF8E060), 0.8, 0.8);
  dorsal.edgeStart = 0.75;
  FinStyle anal = Fin(Hex(0xD8C060), Hex(0x70A8E0), 0.8, 0.7);
  CichlidFins(d, dorsal, anal, Fin(Hex(0xE8E0B0), Hex(0xF0E8C0), 0.4, 0.25));
  // The long ventral fins the species is named for.
  d.pelvic = Paired(0.32, 0.92, 0.5, 0.045, 0.95, 0.12, Fin(yellow, Hex(0xF8F0D0), 0.85, 0.6));
  d.pelvic.rays = 3;
  d.tail = TailShape::Forked;
  d.tailFork = 0.25;
  d.iris = Hex(0xC89030);
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    VerticalBars(cr, body, 6, 0.3, 0.95, Hex(0x6A5A28), 0.35);
    // Blue sheen on the cheek and along the back.
    BodyStripe(cr, body, 0.0, 0.3, -0.3, 0.7);
    SetColour(cr, blue, 0.35);
    cairo_fill(cr);
    BodyStripe(cr, body, 0.2, 1.0, -1.1, -0.6);
    SetColour(cr, blue, 0.25);
    cairo_fill(cr);
    // Dark line through the eye.
    BodyStripe(cr, body, 0.0, 0.22, -0.35, -0.12);
    SetColour(cr, Hex(0x302810), 0.45);
    cairo_fill(cr);
  };
  return FromDesign(d, 320, 80, 160);
}

Creature AulonocaraCreature() {
  FishDesign d = CichlidBody(76, 1.0);
  d.back = Hex(0x1E3C88);
  d.flank = Hex(0x3E70C8);
  d.belly = Hex(0x98B0D8);
  const Rgb white = Hex(0xE8F4FF), gold = Hex(0xF0B030);
  FinStyle dorsal = Fin(Hex(0x2A58B0), white, 0.9, 0.95);
  dorsal.edgeStart = 0.7;
  FinStyle anal = Fin(Hex(0x2850A8), Hex(0x80C0F0), 0.9, 0.8);
  CichlidFins(d, dorsal, anal, Fin(Hex(0x8098C8), Hex(0xA0B8E0), 0.4, 0.25));
  d.tail = TailShape::Rounded;
  d.iris = Hex(0xB08030);
  d.anal.pattern = [=](cairo_t* cr, const FishBody& body) {
    // Egg spots on the anal fin.
    for (int i = 0; i < 4; ++i) {
      const Point p = body.At(0.7 + 0.05 * i, 1.25 + 0.15 * (i % 2));
      cairo_arc(cr, p.x, p.y, body.Length() * 0.02, 0, 2 * kPi);
      SetColour(cr, gold, 0.95);
      cairo_fill(cr);
    }
  };
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    VerticalBars(cr, body, 8, 0.28, 1.0, Hex(0x142860), 0.4);
    // Pale blaze along the back and a bright face.
    BodyStripe(cr, body, 0.1, 0.95, -1.1, -0.75);
    SetColour(cr, Hex(0x9CC8F8), 0.55);
    cairo_fill(cr);
    BodyStripe(cr, body, -0.05, 0.25, -0.8, 0.9);
    SetColour(cr, Hex(0x5CA0F0), 0.45);
    cairo_fill(cr);
    // Warm flush on the shoulder, fading out at its edges.
    const Point c = body.At(0.42, 0.15);
    cairo_pattern_t* g = cairo_pattern_create_radial(c.x, c.y, 0, c.x, c.y, body.Length() * 0.16);
    AddStop(g, 0, Hex(0xC8A040), 0.4);
    AddStop(g, 1, Hex(0xC8A040), 0);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
  };
  return FromDesign(d, 300, 80, 150);
}

Creature OtopharynxCreature() {
  FishDesign d = CichlidBody(90, 0.95);
  d.back = Hex(0x506078);
  d.flank = Hex(0xA8B8C8);
  d.belly = Hex(0xE8ECF0);
  const Rgb black = Hex(0x101418);
  FinStyle dorsal = Fin(Hex(0x6880A0), Hex(0xE89040), 0.85, 0.8);
  dorsal.edgeStart = 0.8;
  FinStyle anal = Fin(Hex(0x7088A8), Hex(0xE8A050), 0.85, 0.7);
  CichlidFins(d, dorsal, anal, Fin(Hex(0xC0C8D0), Hex(0xD0D8E0), 0.4, 0.25));
  d.tail = TailShape::Truncate;
  d.iris = Hex(0xD0B040);
  d.pattern = [=](cairo_t* cr, const FishBody& body) {
    // Iridescent blue over the upper flank.
    BodyStripe(cr, body, 0.0, 1.0, -1.1, -0.1);
    SetColour(cr, Hex(0x4880D0), 0.25);
    cairo_fill(cr);
    // The three black spots.
    const double spots[][3] = {{0.42, -0.05, 0.06}, {0.62, -0.5, 0.05}, {0.86, 0.0, 0.045}};
    for (const auto& s : spots) {
      const Point p = body.At(s[0], s[1]);
      cairo_arc(cr, p.x, p.y, body.Length() * s[2], 0, 2 * kPi);
      SetColour(cr, black, 0.9);
      cairo_fill(cr);
    }
    VerticalBars(cr, body, 7, 0.3, 1.0, Hex(0x304050), 0.12);
  };
  return FromDesign(d, 320, 80, 160);
}
