// Build-time tool (runs on the build machine): draws the saver's icon, a
// small aquarium with water, sand, weed, a fish and bubbles, or the settings
// program's, the same aquarium with a cogwheel in front of its lower right
// corner, and writes it as a Windows icon file with 32 x 32 and 16 x 16
// images, 256 colours each, transparent outside the drawing.
//
//   make_icon saver|settings OUTPUT.ico
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Colour {
  std::uint8_t r, g, b, a;  // a: 0 transparent, 255 opaque
  bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

constexpr Colour kClear = {0, 0, 0, 0};

class Canvas {
 public:
  explicit Canvas(int size) : size_(size), pixels_(size * size, kClear) {}
  int size() const { return size_; }
  Colour at(int x, int y) const { return pixels_[y * size_ + x]; }
  void Set(int x, int y, Colour c) {
    if (x >= 0 && y >= 0 && x < size_ && y < size_) pixels_[y * size_ + x] = c;
  }

 private:
  int size_;
  std::vector<Colour> pixels_;
};

Colour Mix(Colour a, Colour b, double t) {
  auto lerp = [t](int p, int q) { return static_cast<std::uint8_t>(std::lround(p + (q - p) * t)); };
  return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b), 255};
}

// A cogwheel of eight teeth around (cx, cy) with a hole in the middle, in
// 32-unit coordinates, drawn over what is there.
void DrawCog(Canvas& c, double cx, double cy) {
  const double s = c.size() / 32.0;
  const Colour steel = {200, 205, 215, 255}, edge = {70, 75, 90, 255};
  for (int py = 0; py < c.size(); ++py) {
    for (int px = 0; px < c.size(); ++px) {
      double x = (px + 0.5) / s - cx, y = (py + 0.5) / s - cy;
      double r = std::hypot(x, y);
      double outer = std::cos(8 * std::atan2(y, x)) > 0 ? 9.5 : 7.5;
      if (r > outer || r < 2.6) continue;
      bool rim = r > outer - 1.3 || r < 3.8;
      c.Set(px, py, rim ? edge : steel);
    }
  }
}

// Everything is drawn in a 32-unit square and sampled at the pixel centres,
// so both sizes come from the same picture.
void Draw(Canvas& c) {
  const double s = c.size() / 32.0;
  const Colour glass = {20, 40, 70, 255}, shallow = {110, 200, 235, 255},
               deep = {20, 70, 160, 255}, sand = {222, 196, 120, 255},
               pebble = {170, 140, 80, 255}, weed = {40, 150, 70, 255},
               fish = {250, 130, 30, 255}, fin = {230, 80, 20, 255},
               stripe = {255, 240, 220, 255}, eye = {10, 10, 20, 255},
               bubble = {235, 250, 255, 255};
  for (int py = 0; py < c.size(); ++py) {
    for (int px = 0; px < c.size(); ++px) {
      double x = (px + 0.5) / s, y = (py + 0.5) / s;
      if (x < 1 || x > 31 || y < 3 || y > 30) continue;  // outside the tank
      bool rim = x < 2.5 || x > 29.5 || y < 4.5 || y > 28.5;
      if (rim) {
        c.Set(px, py, glass);
        continue;
      }
      // Water darkens with depth in four bands; the top band is the surface.
      int band = static_cast<int>((y - 4.5) / 6);
      Colour water = Mix(shallow, deep, band / 3.0);
      c.Set(px, py, water);
      if (y > 24.5) c.Set(px, py, (static_cast<int>(x * 1.7 + y) % 5 == 0) ? pebble : sand);
      // Two strands of weed swaying from the sand.
      for (double root : {6.0, 25.0}) {
        double sway = root + 1.5 * std::sin(y * 0.6 + root);
        if (y > 11 && y < 25 && std::fabs(x - sway) < 0.9) c.Set(px, py, weed);
      }
      // The fish: an ellipse body facing left, a tail, a stripe and an eye.
      double fx = (x - 16.5) / 6.5, fy = (y - 15) / 3.8;
      if (fx * fx + fy * fy <= 1) c.Set(px, py, std::fabs(x - 18) < 0.8 ? stripe : fish);
      double tx = x - 22.5;
      if (tx >= 0 && tx <= 4.5 && std::fabs(y - 15) <= tx * 0.75) c.Set(px, py, fin);
      if ((x - 12.5) * (x - 12.5) + (y - 14) * (y - 14) <= 0.8) c.Set(px, py, eye);
      // Bubbles rising from the fish's mouth: rings.
      const double bubbles[][3] = {{8.5, 10.5, 1.6}, {11, 6.8, 1.2}};  // x, y, radius
      for (const auto& b : bubbles) {
        double d = std::hypot(x - b[0], y - b[1]);
        if (std::fabs(d - b[2]) < 0.5) c.Set(px, py, bubble);
      }
    }
  }
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), a
// 256-entry colour table, the 8-bit colour rows and the 1-bit mask rows,
// both bottom-up with rows padded to four bytes. Mask bit 1 = transparent.
bool EncodeImage(const Canvas& c, std::vector<std::uint8_t>& out) {
  std::vector<Colour> table;
  std::vector<std::uint8_t> index(c.size() * c.size());
  for (int y = 0; y < c.size(); ++y) {
    for (int x = 0; x < c.size(); ++x) {
      Colour p = c.at(x, y);
      if (p.a == 0) p = {0, 0, 0, 255};  // colour behind a transparent pixel: black
      size_t i = 0;
      while (i < table.size() && !(table[i] == p)) ++i;
      if (i == table.size()) table.push_back(p);
      if (table.size() > 256) return false;
      index[y * c.size() + x] = static_cast<std::uint8_t>(i);
    }
  }
  const int n = c.size();
  Put32(out, 40);
  Put32(out, n);
  Put32(out, 2 * n);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  for (int i = 0; i < 256; ++i) {
    Colour t = i < static_cast<int>(table.size()) ? table[i] : Colour{0, 0, 0, 255};
    out.insert(out.end(), {t.b, t.g, t.r, 0});
  }
  const int colourPitch = (n + 3) & ~3, maskPitch = ((n + 31) / 32) * 4;
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < colourPitch; ++x) out.push_back(x < n ? index[y * n + x] : 0);
  for (int y = n - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskPitch, 0);
    for (int x = 0; x < n; ++x)
      if (c.at(x, y).a == 0) row[x / 8] |= 0x80 >> (x % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string picture = argc == 3 ? argv[1] : "";
  if (picture != "saver" && picture != "settings") {
    std::fprintf(stderr, "usage: make_icon saver|settings OUTPUT.ico\n");
    return 2;
  }
  std::vector<std::vector<std::uint8_t>> images;
  for (int size : {32, 16}) {
    Canvas canvas(size);
    Draw(canvas);
    if (picture == "settings") DrawCog(canvas, 22.5, 22.5);
    images.emplace_back();
    if (!EncodeImage(canvas, images.back())) {
      std::fprintf(stderr, "make_icon: more than 256 colours at %d pixels\n", size);
      return 1;
    }
  }
  std::vector<std::uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);  // icon
  Put16(file, images.size());
  unsigned offset = 6 + 16 * images.size();
  const int sizes[] = {32, 16};
  for (size_t i = 0; i < images.size(); ++i) {
    file.push_back(sizes[i]);
    file.push_back(sizes[i]);
    file.push_back(0);  // 256 colours
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 8);
    Put32(file, images[i].size());
    Put32(file, offset);
    offset += images[i].size();
  }
  for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
  std::FILE* f = std::fopen(argv[2], "wb");
  if (!f) return 1;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok ? 0 : 1;
}
