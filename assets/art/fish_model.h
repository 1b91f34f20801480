#pragma once
// A parametric side view of a fish, facing left in its own coordinates: the
// nose at x = 0, the body to x = length, the tail fin beyond. Every bony fish
// of the aquarium is one `FishDesign`; the animation is a `FishPose`.

#include "assets/art/draw_kit.h"

#include <functional>
#include <vector>

// One knot of the body outline: at t (0 nose .. 1 tail stalk) the top and the
// bottom edge, as fractions of the body length (top < 0 < bottom).
struct ProfileKnot {
  double t, top, bottom;
};

enum class TailShape { Forked, Truncate, Rounded, Lunate, Lyre };

struct FinDesign {
  bool present = false;
  double start = 0, end = 0;       // along the body, t
  std::vector<double> heights;     // fin height along the base, fractions of length
  double sweep = 0.2;              // how far the rim leans back, fraction of length
  double tail = 0;                 // extra trailing tip behind `end`, fraction of length
  int rays = 8;
  bool spiny = false;              // free spine tips past the membrane
  FinStyle style;
  // Markings drawn clipped to the fin.
  std::function<void(cairo_t*, const class FishBody&)> pattern;
};

struct PairedFinDesign {
  bool present = false;
  double t = 0, v = 0;             // base on the body (v: -1 top .. 1 bottom)
  double length = 0.2, width = 0.08;  // fractions of length
  double angle = 0.6;              // radians below the backward direction
  double flap = 0.3;               // swing amplitude, radians
  int rays = 6;
  FinStyle style;
};

struct FishDesign {
  double length = 100;                 // body length in pixels (nose to tail stalk)
  std::vector<ProfileKnot> profile;
  Rgb back, flank, belly;              // body colours top to bottom
  double rim = 0.35;                   // darkness of the rim shading
  // Tail fin.
  TailShape tail = TailShape::Forked;
  double tailLength = 0.3, tailSpan = 0.5;  // fractions of length
  double tailFork = 0.4;               // forked: depth of the notch (fraction of tailLength)
  double tailBeat = 0.85;              // radians of swing
  FinStyle tailStyle;
  int tailRays = 10;
  FinDesign dorsal, dorsal2, anal;
  PairedFinDesign pectoral, pelvic;
  // Head.
  double eyeT = 0.12, eyeV = -0.25, eyeRadius = 0.05;  // radius a fraction of length
  Rgb iris = Hex(0xC8A040), eyeRing = Hex(0x302010);
  double gillT = 0.28;                 // gill cover arc position; < 0: none
  double mouthV = 0.1;                 // mouth position down the nose
  double mouthLength = 0.05;
  // Markings, drawn clipped to the body after the base colours.
  std::function<void(cairo_t*, const class FishBody&)> pattern;
  // Extra drawing over everything (whiskers, spines ...), in body coordinates.
  std::function<void(cairo_t*, const class FishBody&)> overlay;
};

struct FishPose {
  double swim = 0;     // phase of the swim cycle, 0..1 (periodic)
  double turn = 0;     // 0 facing its own way, 1 turned round (mirrored)
  double inflate = 0;  // 0 slim .. 1 fully round (puffer)
};

// The body outline of a design in a pose, with helpers that map body
// coordinates (t along, v across: -1 top edge, 1 bottom edge) to pixels.
class FishBody {
 public:
  FishBody(const FishDesign& design, const FishPose& pose);
  double Length() const { return length_; }
  double Top(double t) const;
  double Bottom(double t) const;
  double X(double t) const { return t * length_; }
  Point At(double t, double v) const;
  void AppendPath(cairo_t* cr) const;   // the closed body outline
  const FishPose& pose() const { return pose_; }
  const FishDesign& design() const { return design_; }

 private:
  const FishDesign& design_;
  FishPose pose_;
  double length_;
  std::vector<ProfileKnot> knots_;
};

// Draws the fish in body coordinates (the caller places and turns it; the
// pose's turn only darkens the body as it is seen edge on).
void DrawFish(cairo_t* cr, const FishDesign& design, const FishPose& pose);

// Markings helpers for patterns.
// A band across the body between t0 and t1 (its centre line bends by `bend`).
void BodyBand(cairo_t* cr, const FishBody& body, double t0, double t1, double bend);
// A stripe along the body between v0 and v1 from t0 to t1.
void BodyStripe(cairo_t* cr, const FishBody& body, double t0, double t1, double v0, double v1);
