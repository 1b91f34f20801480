#pragma once
// Pictures the art code draws into, and the cairo surface they are drawn on.
//
// `RgbaImage` is what the drawing hands to the packaging and the previews:
// straight (not premultiplied) 8-bit R, G, B, A per pixel, rows top down. `Canvas` owns a cairo ARGB32 surface (premultiplied, native order) and
// converts to and from `RgbaImage`.

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width x height x 4: R, G, B, A

  RgbaImage() = default;
  RgbaImage(int w, int h) : width(w), height(h), pixels(std::size_t(w) * h * 4, 0) {}

  std::uint8_t* At(int x, int y) { return &pixels[(std::size_t(y) * width + x) * 4]; }
  const std::uint8_t* At(int x, int y) const {
    return &pixels[(std::size_t(y) * width + x) * 4];
  }
  bool Empty() const { return width <= 0 || height <= 0; }
};

// Copies `src` into `dst` with its top-left corner at (x, y), clipped.
void PasteImage(RgbaImage& dst, const RgbaImage& src, int x, int y);
// The sub-rectangle (x, y, w, h) of `src`; parts outside are transparent.
RgbaImage CropImage(const RgbaImage& src, int x, int y, int w, int h);
// `src` drawn over `dst` (straight alpha "over").
void CompositeOver(RgbaImage& dst, const RgbaImage& src, int x, int y);
// A contact sheet: the images in rows of `columns`, on a checkerboard so that
// transparency shows.
RgbaImage ContactSheet(const std::vector<const RgbaImage*>& images, int columns, int gap);

// A smaller copy, w x h, each pixel the mean of the area it covers (all four
// channels, straight): previews, and halving twice-size art to compare it.
RgbaImage ReduceImage(const RgbaImage& src, int w, int h);

// Enlarged by an integer factor (nearest pixel), for looking at details.
RgbaImage Enlarge(const RgbaImage& src, int factor);

// Writes a PNG; false when the file cannot be written.
bool WritePng(const RgbaImage& image, const std::string& path);

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Direct access to the premultiplied ARGB32 words (flushes first; call
  // MarkDirty after writing).
  std::uint32_t* Words();
  int StrideWords() const;
  void MarkDirty();

  RgbaImage ToImage();
  void FromImage(const RgbaImage& image);

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};
