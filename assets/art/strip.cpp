#include "assets/art/strip.h"

#include <algorithm>
#include <cmath>

namespace {

// Horizontal scale of a pose being turned: full width, narrowing to a sliver
// edge on, then widening mirrored.
double TurnScale(double turn) {
  const double c = std::cos(kPi * turn);
  return (c >= 0 ? 1 : -1) * std::max(std::fabs(c), 0.14);
}

struct PixelBox {
  int x0, y0, x1, y1;  // inclusive-exclusive; empty when x1 <= x0
};

PixelBox AlphaBox(Canvas& canvas) {
  const std::uint32_t* w = canvas.Words();
  const int stride = canvas.StrideWords();
  PixelBox b{canvas.width(), canvas.height(), 0, 0};
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if ((w[std::size_t(y) * stride + x] >> 24) == 0) continue;
      b.x0 = std::min(b.x0, x);
      b.y0 = std::min(b.y0, y);
      b.x1 = std::max(b.x1, x + 1);
      b.y1 = std::max(b.y1, y + 1);
    }
  }
  return b;
}

void Clear(cairo_t* cr) {
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr);
  cairo_restore(cr);
}

}  // namespace

StripPlan SwimAndTurnPlan(int totalFrames, int swimFrames) {
  StripPlan plan;
  for (int k = 0; k < swimFrames; ++k) {
    FishPose p;
    p.swim = double(k) / swimFrames;
    plan.poses.push_back(p);
  }
  const int turnFrames = totalFrames - swimFrames;
  if (turnFrames <= 0) return plan;
  const double cycles = std::max(1.0, std::round(double(turnFrames) / swimFrames));
  for (int j = 0; j < turnFrames; ++j) {
    FishPose p;
    const double u = double(j + 1) / turnFrames;
    p.turn = u;
    p.swim = std::fmod(u * cycles, 1.0);
    plan.poses.push_back(p);
  }
  plan.lastMirrors = 0;
  return plan;
}

FrameStrip BuildStrip(const CreatureDrawer& draw, const StripPlan& plan) {
  FrameStrip out;
  if (plan.poses.empty()) return out;
  const int side = int(std::ceil(plan.scratch));
  Canvas scratch(side, side);
  cairo_t* cr = scratch.cr();
  // Box of the unturned poses (turned ones are narrower about the same line).
  PixelBox box{side, side, 0, 0};
  for (const FishPose& pose : plan.poses) {
    FishPose flat = pose;
    flat.turn = 0;
    Clear(cr);
    cairo_save(cr);
    cairo_translate(cr, plan.originX, plan.originY);
    draw(cr, flat);
    cairo_restore(cr);
    const PixelBox b = AlphaBox(scratch);
    if (b.x1 <= b.x0) continue;
    box = {std::min(box.x0, b.x0), std::min(box.y0, b.y0), std::max(box.x1, b.x1),
           std::max(box.y1, b.y1)};
  }
  if (box.x1 <= box.x0) return out;
  // Even width so that the centre line falls between two pixel columns and a
  // mirrored frame lands on the same pixels.
  int w = box.x1 - box.x0 + 2 * plan.margin;
  w += w & 1;
  const int h = box.y1 - box.y0 + 2 * plan.margin;
  const double cx = (box.x0 + box.x1) / 2.0 - plan.originX;  // body units
  const double cy = box.y0 - plan.margin - plan.originY;

  const int n = int(plan.poses.size());
  const int s = plan.pixelScale;
  out.frames = n;
  out.frameWidth = w * s;
  out.frameHeight = h * s;
  out.image = RgbaImage(out.frameWidth, out.frameHeight * n);
  for (int k = 0; k < n; ++k) {
    if (k == n - 1 && plan.lastMirrors >= 0 && plan.lastMirrors < n - 1) {
      PasteImage(out.image, MirrorImage(StripFrame(out, plan.lastMirrors)), 0,
                 k * out.frameHeight);
      continue;
    }
    Canvas frame(out.frameWidth, out.frameHeight);
    cairo_t* fc = frame.cr();
    cairo_scale(fc, s, s);
    cairo_translate(fc, w / 2.0, 0);
    cairo_scale(fc, TurnScale(plan.poses[k].turn) * (plan.mirrorAll ? -1 : 1), 1);
    cairo_translate(fc, -cx, -cy);
    draw(fc, plan.poses[k]);
    PasteImage(out.image, frame.ToImage(), 0, k * out.frameHeight);
  }
  return out;
}

RgbaImage StripFrame(const FrameStrip& strip, int k) {
  return CropImage(strip.image, 0, k * strip.frameHeight, strip.frameWidth,
                   strip.frameHeight);
}

RgbaImage MirrorImage(const RgbaImage& image) {
  RgbaImage out(image.width, image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      std::copy_n(image.At(x, y), 4, out.At(image.width - 1 - x, y));
    }
  }
  return out;
}
