#include "assets/art/scene_kit.h"

#include "assets/art/bubbles.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint32_t Pack(double r, double g, double b) {
  auto c = [](double v) { return std::uint32_t(std::clamp(v, 0.0, 1.0) * 255 + 0.5); };
  return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);
}

Rgb Unpack(std::uint32_t w) {
  return Rgb{((w >> 16) & 0xFF) / 255.0, ((w >> 8) & 0xFF) / 255.0, (w & 0xFF) / 255.0};
}

}  // namespace

SceneCanvas::SceneCanvas(int width, int height, std::uint32_t seed)
    : canvas_(width, height),
      scale_(height / 768.0),
      left_(-(width / scale_ - 1024) / 2),
      seed_(seed),
      noise_(nullptr) {
  cairo_scale(canvas_.cr(), scale_, scale_);
  cairo_translate(canvas_.cr(), -left_, 0);
}

cairo_surface_t* SceneCanvas::NoiseOver(double x0, double y0, double x1, double y1) {
  const int width = canvas_.width(), height = canvas_.height();
  const int columns = (width + kNoiseTile - 1) / kNoiseTile;
  const int rows = (height + kNoiseTile - 1) / kNoiseTile;
  if (!noise_) {
    noise_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    noiseReady_.assign(std::size_t(columns) * rows, 0);
  }
  auto* words = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(noise_));
  const int stride = cairo_image_surface_get_stride(noise_) / 4;
  const double cell = 22 * scale_;
  // Sampled from the design origin, so a wide canvas's middle has the grain
  // of the 4:3 canvas.
  const double originX = left_ * scale_;
  const int tx0 = std::max(0, int(x0) / kNoiseTile), ty0 = std::max(0, int(y0) / kNoiseTile);
  const int tx1 = std::min(columns, int(std::ceil(x1)) / kNoiseTile + 1);
  const int ty1 = std::min(rows, int(std::ceil(y1)) / kNoiseTile + 1);
  cairo_surface_flush(noise_);
  for (int ty = ty0; ty < ty1; ++ty) {
    for (int tx = tx0; tx < tx1; ++tx) {
      char& ready = noiseReady_[std::size_t(ty) * columns + tx];
      if (ready) continue;
      ready = 1;
      const int xEnd = std::min(width, (tx + 1) * kNoiseTile);
      const int yEnd = std::min(height, (ty + 1) * kNoiseTile);
      for (int y = ty * kNoiseTile; y < yEnd; ++y) {
        for (int x = tx * kNoiseTile; x < xEnd; ++x) {
          const double px = x + originX;
          const double n = FractalNoise(seed_ ^ 0x5EED, px / cell, y / cell, 4);
          const double grain =
              ValueNoise(seed_ ^ 0x6A1, px / (2.5 * scale_), y / (2.5 * scale_)) - 0.5;
          const double v = 0.5 + (n - 0.5) * 1.1 + grain * 0.1;
          words[std::size_t(y) * stride + x] = Pack(v, v, v);
        }
      }
    }
  }
  cairo_surface_mark_dirty(noise_);
  return noise_;
}

SceneCanvas::~SceneCanvas() {
  if (noise_) cairo_surface_destroy(noise_);
}

void SceneCanvas::Water(Rgb top, Rgb bottom, double caustics) {
  std::uint32_t* w = canvas_.Words();
  const int stride = canvas_.StrideWords();
  const int W = width(), H = height();
  for (int y = 0; y < H; ++y) {
    const double t = double(y) / (H - 1);
    const Rgb base = Mix(top, bottom, std::pow(t, 0.8));
    const double fade = std::max(0.0, 1 - t / 0.3);
    for (int x = 0; x < W; ++x) {
      const double dx = x / scale_ + left_, dy = y / scale_;
      const double swirl = (FractalNoise(seed_ ^ 0xA7, dx / 260, dy / 200, 3) - 0.5) * 0.08;
      double r = base.r * (1 + swirl), g = base.g * (1 + swirl), b = base.b * (1 + swirl);
      if (fade > 0 && caustics > 0) {
        const double n1 = ValueNoise(seed_ ^ 0xC1, dx / 38, dy / 18);
        const double n2 = ValueNoise(seed_ ^ 0xC2, dx / 31 + 3, dy / 15 + 7);
        const double line = std::max(0.0, 1 - std::fabs(n1 - n2) * 9);
        const double c = caustics * fade * fade * line * line * 0.35;
        r += c;
        g += c;
        b += c * 0.9;
      }
      w[std::size_t(y) * stride + x] = Pack(r, g, b);
    }
  }
  canvas_.MarkDirty();
}

namespace {

// One shaft of light from the surface at `top`, its foot `lean` to the side.
struct Ray {
  double top, lean, w0, w1, len, alpha;
};

Ray RandomRay(Rng& rng, double top, double lean, double alpha) {
  Ray r{top, lean, rng.Range(14, 48), 0, 0, 0};
  r.w1 = r.w0 * rng.Range(2.5, 4.5);
  r.len = rng.Range(480, 800);
  r.alpha = alpha * rng.Range(0.5, 1.0);
  return r;
}

void DrawRay(cairo_t* c, const Ray& r) {
  for (int k = 3; k >= 1; --k) {
    const double f = k / 3.0;
    cairo_new_path(c);
    cairo_move_to(c, r.top - r.w0 * f / 2, -10);
    cairo_line_to(c, r.top + r.w0 * f / 2, -10);
    cairo_line_to(c, r.top + r.lean + r.w1 * f / 2, r.len);
    cairo_line_to(c, r.top + r.lean - r.w1 * f / 2, r.len);
    cairo_close_path(c);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, r.len);
    AddStop(g, 0, Hex(0xE8FFF8), r.alpha / 3);
    AddStop(g, 0.55, Hex(0xC8F0F0), r.alpha / 6);
    AddStop(g, 1, Hex(0xC8F0F0), 0);
    cairo_set_source(c, g);
    cairo_fill(c);
    cairo_pattern_destroy(g);
  }
}

}  // namespace

void SceneCanvas::LightRays(int count, double sourceX, double alpha) {
  cairo_t* c = cr();
  Rng rng(seed_ ^ 0x4A75);
  cairo_save(c);
  cairo_set_operator(c, CAIRO_OPERATOR_SCREEN);
  for (int i = 0; i < count; ++i) {
    const double top = sourceX + rng.Range(-420, 420);
    const double lean = (top - sourceX) * rng.Range(0.5, 0.9);
    DrawRay(c, RandomRay(rng, top, lean, alpha));
  }
  if (Wide()) {
    // Rays of their own in each side band, leaning outwards as the fan does;
    // their own random source keeps the screen's rays those of 4:3.
    Rng side(seed_ ^ 0x51DE);
    const int perBand = std::max(2, int(std::lround(count * -left_ / 840)));
    for (int i = 0; i < 2 * perBand; ++i) {
      const bool leftBand = i < perBand;
      const double top = leftBand ? side.Range(left_ + 20, -80) : side.Range(1104, right() - 20);
      const double lean = side.Range(40, 150) * (leftBand ? -1 : 1);
      DrawRay(c, RandomRay(side, top, lean, alpha));
    }
  }
  cairo_restore(c);
}

void SceneCanvas::Sand(const std::function<double(double)>& floorY, Rgb nearColour,
                       Rgb farColour, double ripples) {
  std::uint32_t* w = canvas_.Words();
  const int stride = canvas_.StrideWords();
  const int W = width(), H = height();
  for (int x = 0; x < W; ++x) {
    const double dx = x / scale_ + left_;
    const double fy = floorY(dx) * scale_;
    const int y0 = std::max(0, int(std::floor(fy)));
    for (int y = y0; y < H; ++y) {
      const double cover = std::clamp(y + 1 - fy, 0.0, 1.0);
      const double depth = std::clamp((y - fy) / std::max(1.0, H - fy), 0.0, 1.0);
      const double dy = y / scale_;
      const double persp = 0.35 + 0.65 * depth;  // ripples widen towards the viewer
      const double warp = FractalNoise(seed_ ^ 0x5A4D, dx / 90, dy / 40, 3) * 6;
      const double ripple = std::sin((dy / (7 * persp) + warp) * 1.0 + dx * 0.004);
      const double grain = ValueNoise(seed_ ^ 0x9A1, dx * 1.3, dy * 1.3) - 0.5;
      const double blotch = FractalNoise(seed_ ^ 0xB10, dx / 120, dy / 60, 3) - 0.5;
      const Rgb base = Mix(farColour, nearColour, std::pow(depth, 0.6));
      const double k = 1 + ripple * ripples * 0.07 + grain * 0.12 + blotch * 0.18;
      const Rgb sand{base.r * k, base.g * k, base.b * k};
      const Rgb old = Unpack(w[std::size_t(y) * stride + x]);
      const Rgb out = Mix(old, sand, cover);
      w[std::size_t(y) * stride + x] = Pack(out.r, out.g, out.b);
    }
  }
  canvas_.MarkDirty();
}

void SceneCanvas::Haze(Rgb water, double amount) {
  cairo_t* c = cr();
  cairo_save(c);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 768);
  AddStop(g, 0, water, amount);
  AddStop(g, 1, water, amount * 0.45);
  cairo_set_source(c, g);
  cairo_paint(c);
  cairo_pattern_destroy(g);
  cairo_restore(c);
}

void SceneCanvas::Texture(double strength) {
  cairo_t* c = cr();
  cairo_save(c);
  cairo_identity_matrix(c);
  double x0, y0, x1, y1;
  cairo_clip_extents(c, &x0, &y0, &x1, &y1);
  cairo_set_operator(c, CAIRO_OPERATOR_OVERLAY);
  cairo_set_source_surface(c, NoiseOver(x0, y0, x1, y1), 0, 0);
  cairo_paint_with_alpha(c, strength);
  cairo_restore(c);
}

void SceneCanvas::FillGrained(cairo_pattern_t* fill, double grain) {
  cairo_t* c = cr();
  cairo_set_source(c, fill);
  cairo_fill_preserve(c);
  cairo_pattern_destroy(fill);
  cairo_clip(c);
  Texture(grain);
}

void SceneCanvas::Vignette(double amount) {
  // Each side band sees the screen's radial darkening squeezed towards the
  // screen's edge, so it runs on from the edge without a seam.
  constexpr double kSideSqueeze = 0.25;
  struct Band {
    double x0, x1, pivot, squeeze;
  };
  const Band bands[] = {{left(), 0, 0, kSideSqueeze},
                        {0, 1024, 0, 1},
                        {1024, right(), 1024, kSideSqueeze}};
  cairo_t* c = cr();
  cairo_pattern_t* g = cairo_pattern_create_radial(512, 384, 200, 512, 384, 700);
  AddStop(g, 0, Rgb{0, 0, 0.05}, 0);
  AddStop(g, 1, Rgb{0, 0, 0.05}, amount);
  for (const Band& b : bands) {
    if (b.x1 <= b.x0) continue;
    cairo_save(c);
    cairo_rectangle(c, b.x0, 0, b.x1 - b.x0, 768);
    cairo_clip(c);
    cairo_matrix_t squeeze;
    cairo_matrix_init(&squeeze, b.squeeze, 0, 0, 1, b.pivot * (1 - b.squeeze), 0);
    cairo_pattern_set_matrix(g, &squeeze);
    cairo_set_source(c, g);
    cairo_paint(c);
    cairo_restore(c);
  }
  cairo_pattern_destroy(g);
}

void DrawRock(SceneCanvas& sc, double cx, double baseY, double width, double height, Rgb colour,
              std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  // Soft shadow on the ground.
  cairo_save(c);
  cairo_translate(c, cx + width * 0.06, baseY + 2);
  cairo_scale(c, width * 0.66, height * 0.07 + 7);
  cairo_pattern_t* sh = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
  AddStop(sh, 0, Rgb{0, 0.03, 0.06}, 0.4);
  AddStop(sh, 1, Rgb{0, 0.03, 0.06}, 0);
  cairo_arc(c, 0, 0, 1, 0, 2 * kPi);
  cairo_set_source(c, sh);
  cairo_fill(c);
  cairo_pattern_destroy(sh);
  cairo_restore(c);
  std::vector<Point> pts;
  const int n = 22;
  const double p1 = rng.Range(0, 2 * kPi), p2 = rng.Range(0, 2 * kPi);
  for (int i = 0; i <= n; ++i) {
    const double a = kPi + kPi * i / n;
    // Lumpy but not spiky: two slow waves and a little jitter.
    const double r = 1 + 0.1 * std::sin(3 * a + p1) + 0.06 * std::sin(7 * a + p2) +
                     rng.Range(-0.03, 0.03);
    const double shoulder = 0.85 + 0.25 * std::pow(std::fabs(std::sin(a)), 0.5);
    pts.push_back(Point{cx + std::cos(a) * width / 2 * r,
                        baseY + std::sin(a) * height * r * shoulder});
  }
  pts.push_back(Point{cx + width * 0.48, baseY + 8});
  pts.push_back(Point{cx, baseY + 12});
  pts.push_back(Point{cx - width * 0.48, baseY + 8});
  cairo_save(c);
  cairo_new_path(c);
  SmoothClosedPath(c, pts, 0.9);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - width * 0.15, baseY - height * 0.85,
                                                   width * 0.05, cx, baseY - height * 0.4,
                                                   std::max(width, height) * 0.75);
  AddStop(g, 0, Scale(colour, 1.35));
  AddStop(g, 0.55, colour);
  AddStop(g, 1, Scale(colour, 0.4));
  sc.FillGrained(g, 0.4);
  // Cracks and ledges.
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  // Light on the top, from above.
  cairo_pattern_t* h = cairo_pattern_create_linear(0, baseY - height, 0, baseY - height * 0.4);
  AddStop(h, 0, Hex(0xE0F8F0), 0.35);
  AddStop(h, 1, Hex(0xE0F8F0), 0);
  cairo_set_source(c, h);
  cairo_paint(c);
  cairo_pattern_destroy(h);
  // Specks of algae.
  for (int i = 0; i < int(width / 6); ++i) {
    const double x = cx + rng.Range(-0.45, 0.45) * width;
    const double y = baseY - rng.Range(0.3, 1.0) * height;
    cairo_arc(c, x, y, rng.Range(1, 3.5), 0, 2 * kPi);
    SetColour(c, Mix(Hex(0x3A7A30), colour, rng.Range(0.2, 0.6)), 0.5);
    cairo_fill(c);
  }
  cairo_restore(c);
}

void DrawKelp(SceneCanvas& sc, double x, double baseY, double topY, double sway, Rgb colour,
              std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  const double phase = rng.Range(0, 2 * kPi);
  auto stem = [&](double t) {
    return Point{x + sway * std::sin(t * kPi * 1.4 + phase) * t, Lerp(baseY, topY, t)};
  };
  // Leaves first, then the stem over their bases.
  const double len = baseY - topY;
  const int leaves = std::max(3, int(len / 26));
  for (int i = 0; i < leaves; ++i) {
    const double t = (i + 0.6) / leaves;
    const Point p = stem(t);
    const double side = (i % 2) ? 1 : -1;
    const double L = rng.Range(40, 72) * (1 - 0.35 * t), Wd = rng.Range(9, 14);
    const double ang = -kPi / 2 + side * rng.Range(0.5, 0.9);
    cairo_save(c);
    cairo_translate(c, p.x, p.y);
    cairo_rotate(c, ang + kPi / 2);
    cairo_new_path(c);
    SmoothClosedPath(c, {{0, 0}, {Wd * 0.6, -L * 0.3}, {Wd * 0.5, -L * 0.7}, {0, -L},
                         {-Wd * 0.4, -L * 0.65}, {-Wd * 0.5, -L * 0.3}});
    cairo_pattern_t* g = cairo_pattern_create_linear(-Wd, 0, Wd, 0);
    AddStop(g, 0, Scale(colour, 0.75));
    AddStop(g, 0.5, Scale(colour, 1.2));
    AddStop(g, 1, Scale(colour, 0.8));
    cairo_set_source(c, g);
    cairo_fill(c);
    cairo_pattern_destroy(g);
    cairo_move_to(c, 0, -2);
    cairo_curve_to(c, 1, -L * 0.4, 0.5, -L * 0.7, 0, -L * 0.95);
    SetColour(c, Scale(colour, 0.6), 0.5);
    cairo_set_line_width(c, 1.0);
    cairo_stroke(c);
    cairo_arc(c, 0, -3, 3.2, 0, 2 * kPi);
    SetColour(c, Scale(colour, 1.3), 0.9);
    cairo_fill(c);
    cairo_restore(c);
  }
  cairo_new_path(c);
  for (int i = 0; i <= 40; ++i) {
    const Point p = stem(i / 40.0);
    if (i == 0) {
      cairo_move_to(c, p.x, p.y);
    } else {
      cairo_line_to(c, p.x, p.y);
    }
  }
  SetColour(c, Scale(colour, 0.7));
  cairo_set_line_width(c, 4.5);
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(c);
}

void DrawSeaGrass(SceneCanvas& sc, double x, double baseY, double height, int blades, Rgb colour,
                  std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  for (int i = 0; i < blades; ++i) {
    const double bx = x + rng.Range(-14, 14);
    const double h = height * rng.Range(0.55, 1.0);
    const double bend = rng.Range(-0.5, 0.5) * h;
    const double w = rng.Range(3, 5.5);
    const Rgb col = Scale(colour, rng.Range(0.75, 1.2));
    cairo_new_path(c);
    cairo_move_to(c, bx - w / 2, baseY + 2);
    cairo_curve_to(c, bx - w / 2, baseY - h * 0.5, bx + bend * 0.5 - w / 3, baseY - h * 0.85,
                   bx + bend, baseY - h);
    cairo_curve_to(c, bx + bend * 0.5 + w / 3, baseY - h * 0.85, bx + w / 2, baseY - h * 0.5,
                   bx + w / 2, baseY + 2);
    cairo_close_path(c);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, baseY, 0, baseY - h);
    AddStop(g, 0, Scale(col, 0.6));
    AddStop(g, 1, Scale(col, 1.15));
    cairo_set_source(c, g);
    cairo_fill(c);
    cairo_pattern_destroy(g);
  }
}

namespace {

void Branch(cairo_t* c, Rng& rng, double x, double y, double angle, double length, double width,
            int depth, Rgb colour) {
  const double ex = x + std::cos(angle) * length, ey = y + std::sin(angle) * length;
  const double mx = (x + ex) / 2 + rng.Range(-0.15, 0.15) * length;
  const double my = (y + ey) / 2 + rng.Range(-0.1, 0.1) * length;
  cairo_new_path(c);
  cairo_move_to(c, x, y);
  cairo_curve_to(c, mx, my, mx, my, ex, ey);
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(c, width);
  SetColour(c, Scale(colour, 0.7 + 0.1 * (4 - depth)));
  cairo_stroke_preserve(c);
  cairo_set_line_width(c, width * 0.45);
  SetColour(c, Scale(colour, 1.1 + 0.05 * (4 - depth)), 0.6);
  cairo_stroke(c);
  if (depth <= 0) {
    cairo_arc(c, ex, ey, width * 0.55, 0, 2 * kPi);
    SetColour(c, Scale(colour, 1.45));
    cairo_fill(c);
    return;
  }
  const int kids = rng.Below(3) == 0 ? 3 : 2;
  for (int k = 0; k < kids; ++k) {
    const double spread = (k - (kids - 1) / 2.0) * rng.Range(0.35, 0.6);
    Branch(c, rng, ex, ey, angle + spread + rng.Range(-0.15, 0.15),
           length * rng.Range(0.62, 0.8), width * 0.72, depth - 1, colour);
  }
}

}  // namespace

void DrawBranchCoral(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                     std::uint64_t seed) {
  Rng rng(seed);
  cairo_t* c = sc.cr();
  cairo_save(c);
  const int trunks = 2 + rng.Below(2);
  for (int i = 0; i < trunks; ++i) {
    Branch(c, rng, x + rng.Range(-0.1, 0.1) * size, baseY,
           -kPi / 2 + (i - (trunks - 1) / 2.0) * 0.45, size * 0.32, size * 0.09, 4, colour);
  }
  cairo_restore(c);
}

void DrawBrainCoral(SceneCanvas& sc, double cx, double baseY, double width, double height,
                    Rgb colour, std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  cairo_save(c);
  cairo_new_path(c);
  cairo_move_to(c, cx - width / 2, baseY + 4);
  cairo_curve_to(c, cx - width / 2, baseY - height * 1.05, cx + width / 2,
                 baseY - height * 1.05, cx + width / 2, baseY + 4);
  cairo_close_path(c);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - width * 0.15, baseY - height * 0.7,
                                                   width * 0.05, cx, baseY - height * 0.3,
                                                   width * 0.65);
  AddStop(g, 0, Scale(colour, 1.35));
  AddStop(g, 0.6, colour);
  AddStop(g, 1, Scale(colour, 0.45));
  cairo_set_source(c, g);
  cairo_fill_preserve(c);
  cairo_pattern_destroy(g);
  cairo_clip(c);
  // Meandering grooves.
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
  for (int i = 0; i < int(width / 5); ++i) {
    double x = cx + rng.Range(-0.5, 0.5) * width, y = baseY - rng.Range(0, 1) * height;
    double a = rng.Range(0, 2 * kPi);
    cairo_new_path(c);
    cairo_move_to(c, x, y);
    for (int s = 0; s < 12; ++s) {
      a += rng.Range(-0.9, 0.9);
      x += std::cos(a) * 5;
      y += std::sin(a) * 5;
      cairo_line_to(c, x, y);
    }
    SetColour(c, Scale(colour, 0.5), 0.55);
    cairo_set_line_width(c, 1.6);
    cairo_stroke(c);
  }
  sc.Texture(0.25);
  cairo_restore(c);
}

void DrawSeaFan(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  cairo_save(c);
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  // Fine net first, then the branches over it.
  std::vector<Point> tips;
  std::function<void(double, double, double, double, double, int)> grow =
      [&](double px, double py, double a, double len, double w, int depth) {
        const double ex = px + std::cos(a) * len, ey = py + std::sin(a) * len;
        cairo_new_path(c);
        cairo_move_to(c, px, py);
        cairo_line_to(c, ex, ey);
        cairo_set_line_width(c, w);
        SetColour(c, Scale(colour, 0.8 + 0.08 * (5 - depth)), 0.95);
        cairo_stroke(c);
        if (depth == 0) {
          tips.push_back(Point{ex, ey});
          return;
        }
        grow(ex, ey, a - rng.Range(0.2, 0.45), len * 0.8, w * 0.75, depth - 1);
        grow(ex, ey, a + rng.Range(0.2, 0.45), len * 0.8, w * 0.75, depth - 1);
      };
  cairo_push_group(c);
  grow(x, baseY, -kPi / 2, size * 0.2, size * 0.035, 5);
  // Cross-links make the net.
  cairo_set_line_width(c, 0.7);
  for (std::size_t i = 0; i + 1 < tips.size(); ++i) {
    cairo_move_to(c, tips[i].x, tips[i].y);
    cairo_line_to(c, tips[i + 1].x, tips[i + 1].y);
  }
  SetColour(c, Scale(colour, 1.1), 0.6);
  cairo_stroke(c);
  cairo_pop_group_to_source(c);
  cairo_paint(c);
  cairo_restore(c);
}

void DrawTubeSponges(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                     std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  const int n = 3 + rng.Below(3);
  for (int i = 0; i < n; ++i) {
    const double tx = x + (i - n / 2.0) * size * 0.16 + rng.Range(-4, 4);
    const double h = size * rng.Range(0.45, 1.0), w = size * rng.Range(0.11, 0.16);
    const double lean = rng.Range(-0.15, 0.15) * h;
    cairo_save(c);
    cairo_new_path(c);
    cairo_move_to(c, tx - w * 0.4, baseY + 3);
    cairo_curve_to(c, tx - w * 0.5, baseY - h * 0.5, tx + lean - w * 0.6, baseY - h * 0.8,
                   tx + lean - w * 0.55, baseY - h);
    cairo_line_to(c, tx + lean + w * 0.55, baseY - h);
    cairo_curve_to(c, tx + lean + w * 0.6, baseY - h * 0.8, tx + w * 0.5, baseY - h * 0.5,
                   tx + w * 0.4, baseY + 3);
    cairo_close_path(c);
    cairo_pattern_t* g = cairo_pattern_create_linear(tx - w, 0, tx + w, 0);
    AddStop(g, 0, Scale(colour, 0.55));
    AddStop(g, 0.4, Scale(colour, 1.2));
    AddStop(g, 1, Scale(colour, 0.6));
    sc.FillGrained(g, 0.35);
    cairo_restore(c);
    cairo_save(c);
    cairo_translate(c, tx + lean, baseY - h);
    cairo_scale(c, w * 0.55, w * 0.18);
    cairo_arc(c, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(c);
    SetColour(c, Scale(colour, 0.3));
    cairo_fill(c);
  }
}

void DrawAnemone(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                 std::uint64_t seed) {
  cairo_t* c = sc.cr();
  Rng rng(seed);
  const double top = baseY - size * 0.35;
  // Column.
  cairo_new_path(c);
  cairo_move_to(c, x - size * 0.22, baseY + 3);
  cairo_curve_to(c, x - size * 0.2, top + size * 0.1, x - size * 0.3, top, x - size * 0.3, top);
  cairo_line_to(c, x + size * 0.3, top);
  cairo_curve_to(c, x + size * 0.3, top, x + size * 0.2, top + size * 0.1, x + size * 0.22,
                 baseY + 3);
  cairo_close_path(c);
  FillShaded(c, top, baseY, Scale(colour, 0.9), Scale(colour, 0.45));
  cairo_new_path(c);
  // Tentacles.
  cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
  const int n = 34;
  for (int i = 0; i < n; ++i) {
    const double a = -kPi / 2 + rng.Range(-1.35, 1.35);
    const double len = size * rng.Range(0.35, 0.6);
    const double bx = x + rng.Range(-0.28, 0.28) * size, by = top + rng.Range(-3, 3);
    const double ex = bx + std::cos(a) * len, ey = by + std::sin(a) * len;
    const double curl = rng.Range(-0.3, 0.3) * len;
    cairo_new_path(c);
    cairo_move_to(c, bx, by);
    cairo_curve_to(c, bx + (ex - bx) * 0.3 + curl, by + (ey - by) * 0.5, ex - curl, ey + 4, ex,
                   ey);
    cairo_set_line_width(c, size * 0.045);
    SetColour(c, Scale(colour, rng.Range(0.8, 1.1)));
    cairo_stroke(c);
    cairo_arc(c, ex, ey, size * 0.03, 0, 2 * kPi);
    SetColour(c, Scale(colour, 1.5));
    cairo_fill(c);
  }
}

void DrawStarfish(SceneCanvas& sc, double cx, double cy, double size, double angle, Rgb colour) {
  cairo_t* c = sc.cr();
  std::vector<Point> pts;
  for (int i = 0; i < 10; ++i) {
    const double a = angle + i * kPi / 5;
    const double r = (i % 2 == 0) ? size : size * 0.38;
    pts.push_back(Point{cx + std::cos(a) * r, cy + std::sin(a) * r * 0.55});
  }
  cairo_new_path(c);
  SmoothClosedPath(c, pts, 0.55);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 1, cx, cy, size);
  AddStop(g, 0, Scale(colour, 1.3));
  AddStop(g, 1, Scale(colour, 0.7));
  cairo_set_source(c, g);
  cairo_fill(c);
  cairo_pattern_destroy(g);
  for (int i = 0; i < 5; ++i) {
    const double a = angle + i * 2 * kPi / 5;
    for (int k = 1; k <= 3; ++k) {
      cairo_arc(c, cx + std::cos(a) * size * k * 0.22, cy + std::sin(a) * size * k * 0.12, 1.2,
                0, 2 * kPi);
      SetColour(c, Scale(colour, 1.6), 0.8);
      cairo_fill(c);
    }
  }
}

void DrawShell(SceneCanvas& sc, double cx, double cy, double size, Rgb colour) {
  cairo_t* c = sc.cr();
  cairo_new_path(c);
  cairo_move_to(c, cx - size * 0.2, cy + size * 0.3);
  cairo_curve_to(c, cx - size, cy - size * 0.1, cx - size * 0.5, cy - size * 0.8, cx,
                 cy - size * 0.8);
  cairo_curve_to(c, cx + size * 0.5, cy - size * 0.8, cx + size, cy - size * 0.1,
                 cx + size * 0.2, cy + size * 0.3);
  cairo_close_path(c);
  FillShaded(c, cy - size * 0.8, cy + size * 0.3, Scale(colour, 1.3), Scale(colour, 0.7));
  cairo_new_path(c);
  for (int i = -3; i <= 3; ++i) {
    cairo_move_to(c, cx, cy + size * 0.25);
    cairo_line_to(c, cx + i * size * 0.22, cy - size * 0.7 + std::abs(i) * size * 0.1);
  }
  SetColour(c, Scale(colour, 0.6), 0.6);
  cairo_set_line_width(c, 1.0);
  cairo_stroke(c);
}

void DrawBubbleColumn(SceneCanvas& sc, double x, double baseY, double topY, std::uint64_t seed) {
  Rng rng(seed);
  double y = baseY;
  while (y > topY) {
    const double r = rng.Range(1.5, 4.5);
    DrawBubble(sc.cr(), x + 5 * std::sin(y * 0.05 + rng.Range(0, 0.5)), y, r, 0.7);
    y -= rng.Range(8, 22);
  }
}
