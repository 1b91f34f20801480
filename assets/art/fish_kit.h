#pragma once
// Short constructors for fin and fish designs, shared by the fish families.

#include "assets/art/fish_model.h"
#include "assets/art/creature_art.h"

#include <utility>
#include <vector>


inline FinStyle Fin(Rgb base, Rgb edge, double alpha = 0.9, double edgeAlpha = 0.75) {
  FinStyle s;
  s.base = base;
  s.edge = edge;
  s.alpha = alpha;
  s.edgeAlpha = edgeAlpha;
  s.ray = Scale(base, 0.55);
  s.rayAlpha = 0.45;
  s.rayWidth = 0.7;
  s.edgeStart = 0.65;
  return s;
}

inline FinDesign Median(double start, double end, std::vector<double> heights, double sweep,
                 int rays, FinStyle style) {
  FinDesign f;
  f.present = true;
  f.start = start;
  f.end = end;
  f.heights = std::move(heights);
  f.sweep = sweep;
  f.rays = rays;
  f.style = style;
  return f;
}

inline PairedFinDesign Paired(double t, double v, double length, double width, double angle,
                       double flap, FinStyle style) {
  PairedFinDesign f;
  f.present = true;
  f.t = t;
  f.v = v;
  f.length = length;
  f.width = width;
  f.angle = angle;
  f.flap = flap;
  f.style = style;
  return f;
}

inline Creature FromDesign(FishDesign design, double scratch, double ox, double oy) {
  Creature c;
  c.draw = [design](cairo_t* cr, const FishPose& pose) { DrawFish(cr, design, pose); };
  c.scratch = scratch;
  c.originX = ox;
  c.originY = oy;
  return c;
}

