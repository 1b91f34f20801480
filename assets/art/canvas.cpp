#include "assets/art/canvas.h"

#include <algorithm>

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_BEST);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

std::uint32_t* Canvas::Words() {
  cairo_surface_flush(surface_);
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface_));
}

int Canvas::StrideWords() const { return cairo_image_surface_get_stride(surface_) / 4; }

void Canvas::MarkDirty() { cairo_surface_mark_dirty(surface_); }

RgbaImage Canvas::ToImage() {
  RgbaImage out(width_, height_);
  const std::uint32_t* words = Words();
  const int stride = StrideWords();
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t w = words[std::size_t(y) * stride + x];
      const unsigned a = w >> 24;
      std::uint8_t* p = out.At(x, y);
      p[3] = std::uint8_t(a);
      if (a == 0) continue;
      // Un-premultiply with rounding.
      for (int c = 0; c < 3; ++c) {
        const unsigned v = (w >> (16 - 8 * c)) & 0xFF;
        p[c] = std::uint8_t(std::min(255u, (v * 255 + a / 2) / a));
      }
    }
  }
  return out;
}

void Canvas::FromImage(const RgbaImage& image) {
  std::uint32_t* words = Words();
  const int stride = StrideWords();
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      std::uint32_t w = 0;
      if (x < image.width && y < image.height) {
        const std::uint8_t* p = image.At(x, y);
        const unsigned a = p[3];
        const unsigned r = (p[0] * a + 127) / 255, g = (p[1] * a + 127) / 255,
                       b = (p[2] * a + 127) / 255;
        w = a << 24 | r << 16 | g << 8 | b;
      }
      words[std::size_t(y) * stride + x] = w;
    }
  }
  MarkDirty();
}

void PasteImage(RgbaImage& dst, const RgbaImage& src, int x, int y) {
  for (int sy = 0; sy < src.height; ++sy) {
    const int dy = y + sy;
    if (dy < 0 || dy >= dst.height) continue;
    for (int sx = 0; sx < src.width; ++sx) {
      const int dx = x + sx;
      if (dx < 0 || dx >= dst.width) continue;
      std::copy_n(src.At(sx, sy), 4, dst.At(dx, dy));
    }
  }
}

RgbaImage CropImage(const RgbaImage& src, int x, int y, int w, int h) {
  RgbaImage out(w, h);
  PasteImage(out, src, -x, -y);
  return out;
}

void CompositeOver(RgbaImage& dst, const RgbaImage& src, int x, int y) {
  for (int sy = 0; sy < src.height; ++sy) {
    const int dy = y + sy;
    if (dy < 0 || dy >= dst.height) continue;
    for (int sx = 0; sx < src.width; ++sx) {
      const int dx = x + sx;
      if (dx < 0 || dx >= dst.width) continue;
      const std::uint8_t* s = src.At(sx, sy);
      std::uint8_t* d = dst.At(dx, dy);
      const double sa = s[3] / 255.0, da = d[3] / 255.0;
      const double oa = sa + da * (1 - sa);
      if (oa <= 0) continue;
      for (int c = 0; c < 3; ++c) {
        const double v = (s[c] * sa + d[c] * da * (1 - sa)) / oa;
        d[c] = std::uint8_t(std::clamp(v + 0.5, 0.0, 255.0));
      }
      d[3] = std::uint8_t(std::clamp(oa * 255 + 0.5, 0.0, 255.0));
    }
  }
}

RgbaImage ContactSheet(const std::vector<const RgbaImage*>& images, int columns, int gap) {
  if (images.empty() || columns <= 0) return RgbaImage();
  int cellW = 1, cellH = 1;
  for (const RgbaImage* im : images) {
    cellW = std::max(cellW, im->width);
    cellH = std::max(cellH, im->height);
  }
  const int count = int(images.size());
  const int cols = std::min(columns, count);
  const int rows = (count + cols - 1) / cols;
  RgbaImage sheet(gap + cols * (cellW + gap), gap + rows * (cellH + gap));
  for (int y = 0; y < sheet.height; ++y) {
    for (int x = 0; x < sheet.width; ++x) {
      const bool dark = ((x / 8) + (y / 8)) & 1;
      std::uint8_t* p = sheet.At(x, y);
      p[0] = p[1] = p[2] = dark ? 96 : 128;
      p[3] = 255;
    }
  }
  for (int i = 0; i < count; ++i) {
    const int cx = gap + (i % cols) * (cellW + gap), cy = gap + (i / cols) * (cellH + gap);
    CompositeOver(sheet, *images[i], cx, cy);
  }
  return sheet;
}

bool WritePng(const RgbaImage& image, const std::string& path) {
  if (image.Empty()) return false;
  Canvas canvas(image.width, image.height);
  canvas.FromImage(image);
  return cairo_surface_write_to_png(cairo_get_target(canvas.cr()), path.c_str()) ==
         CAIRO_STATUS_SUCCESS;
}

RgbaImage ReduceImage(const RgbaImage& src, int w, int h) {
  RgbaImage out(w, h);
  for (int y = 0; y < h; ++y) {
    const int y0 = y * src.height / h, y1 = std::max(y0 + 1, (y + 1) * src.height / h);
    for (int x = 0; x < w; ++x) {
      const int x0 = x * src.width / w, x1 = std::max(x0 + 1, (x + 1) * src.width / w);
      unsigned sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          for (int c = 0; c < 4; ++c) sum[c] += src.At(sx, sy)[c];
        }
      }
      const unsigned n = unsigned((y1 - y0) * (x1 - x0));
      for (int c = 0; c < 4; ++c) out.At(x, y)[c] = std::uint8_t((sum[c] + n / 2) / n);
    }
  }
  return out;
}

RgbaImage Enlarge(const RgbaImage& src, int factor) {
  if (factor <= 1) return src;
  RgbaImage out(src.width * factor, src.height * factor);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      std::copy_n(src.At(x / factor, y / factor), 4, out.At(x, y));
    }
  }
  return out;
}
