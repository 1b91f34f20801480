#pragma once
// Building blocks of the underwater scenes. Scenes are drawn in design units
// of a 1024 x 768 screen; a `SceneCanvas` maps them to the pixel size of the
// variant being drawn, so every size is drawn at its own resolution. A canvas
// wider than 4:3 shows 768 design units of height and extends the design's x
// range equally on both sides of its centre (x = 512).

#include "assets/art/canvas.h"
#include "assets/art/draw_kit.h"

#include <functional>
#include <memory>
#include <vector>

class SceneCanvas {
 public:
  SceneCanvas(int width, int height, std::uint32_t seed);
  ~SceneCanvas();
  SceneCanvas(const SceneCanvas&) = delete;
  SceneCanvas& operator=(const SceneCanvas&) = delete;

  cairo_t* cr() const { return canvas_.cr(); }
  Canvas& canvas() { return canvas_; }
  int width() const { return canvas_.width(); }
  int height() const { return canvas_.height(); }
  double scale() const { return scale_; }  // pixels per design unit
  // The design x range the canvas shows: [0, 1024] at 4:3, wider beyond.
  double left() const { return left_; }
  double right() const { return 1024 - left_; }
  bool Wide() const { return left_ < 0; }
  std::uint32_t seed() const { return seed_; }

  // Fills the whole canvas with water: `top` near the surface, `bottom` at
  // depth, with a faint shimmer of caustics just under the surface.
  void Water(Rgb top, Rgb bottom, double caustics);
  // Soft shafts of light from the surface, fanning out from `sourceX`.
  void LightRays(int count, double sourceX, double alpha);
  // Sand below the curve `floorY(x)` (design units), rippled and grained.
  void Sand(const std::function<double(double)>& floorY, Rgb nearColour, Rgb farColour,
            double ripples);
  // Pushes what is drawn so far into the distance: water colour over it,
  // stronger higher up (`amount` 0..1).
  void Haze(Rgb water, double amount);
  // Grain of the current clip (after a shape's path was set as clip):
  // modulates what is there by the scene's noise texture.
  void Texture(double strength);
  // Fills the current path with `fill` (and releases it), then clips to the
  // path and grains it (Texture); the caller's cairo_restore ends the clip.
  void FillGrained(cairo_pattern_t* fill, double grain);
  // Darkens the corners of the 4:3 screen a little; beyond its sides the
  // darkening grows only slowly, so that wide crops are not walled in.
  void Vignette(double amount);

 private:
  Canvas canvas_;
  double scale_;
  double left_;
  std::uint32_t seed_;
  // The grey noise texture, the canvas's size, made where it is first
  // needed: tile by tile over the device rectangle (x0, y0)-(x1, y1) that a
  // texture is painted into (a pixel's noise depends on its place alone).
  cairo_surface_t* NoiseOver(double x0, double y0, double x1, double y1);
  static constexpr int kNoiseTile = 64;

  cairo_surface_t* noise_;
  std::vector<char> noiseReady_;  // per tile, rows of tiles top down
};

// Objects of the scene, in design units, drawn through cairo. Each takes the
// cairo context already scaled to design units.
// A rock: an irregular rounded lump standing on `baseY`.
void DrawRock(SceneCanvas& sc, double cx, double baseY, double width, double height, Rgb colour,
              std::uint64_t seed);
// A kelp strand rising from (x, baseY) to `topY`, leaves alternating.
void DrawKelp(SceneCanvas& sc, double x, double baseY, double topY, double sway, Rgb colour,
              std::uint64_t seed);
// A tuft of sea grass blades.
void DrawSeaGrass(SceneCanvas& sc, double x, double baseY, double height, int blades, Rgb colour,
                  std::uint64_t seed);
// Branching coral growing from (x, baseY).
void DrawBranchCoral(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                     std::uint64_t seed);
// A dome of brain coral.
void DrawBrainCoral(SceneCanvas& sc, double cx, double baseY, double width, double height,
                    Rgb colour, std::uint64_t seed);
// A sea fan: a flat net of fine branches.
void DrawSeaFan(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                std::uint64_t seed);
// Tube sponges: a cluster of open cylinders.
void DrawTubeSponges(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                     std::uint64_t seed);
// A sea anemone on a short column, tentacles swaying.
void DrawAnemone(SceneCanvas& sc, double x, double baseY, double size, Rgb colour,
                 std::uint64_t seed);
// A starfish lying on the sand.
void DrawStarfish(SceneCanvas& sc, double cx, double cy, double size, double angle, Rgb colour);
// A scallop shell.
void DrawShell(SceneCanvas& sc, double cx, double cy, double size, Rgb colour);
// Faint columns of rising bubbles.
void DrawBubbleColumn(SceneCanvas& sc, double x, double baseY, double topY, std::uint64_t seed);
