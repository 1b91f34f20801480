#pragma once
// Frame strips: every frame of a creature drawn at the same place in frames
// of equal size, stacked top to bottom.

#include "assets/art/canvas.h"
#include "assets/art/fish_model.h"

#include <functional>
#include <vector>

// Draws one pose of a creature in its own body coordinates.
using CreatureDrawer = std::function<void(cairo_t*, const FishPose&)>;

struct StripPlan {
  std::vector<FishPose> poses;  // one per frame
  // When >= 0, the last frame is this frame mirrored exactly (the end of a
  // turn must match the first swim frame seen from the other side).
  int lastMirrors = -1;
  bool mirrorAll = false;       // draw every frame mirrored (creatures drawn facing left
                                // that must face right)
  double scratch = 400;         // size of the square scratch area, body units
  double originX = 100, originY = 200;  // where body (0, 0) sits in the scratch area
  int margin = 2;               // transparent pixels kept around the drawing
  int pixelScale = 1;           // pixels per body unit: 2 draws every frame at twice the
                                // size, the box exactly twice that of scale 1
};

// Frames 0..M-1: a swim cycle; frames M..N-1: turning round in place, the
// swim cycle running on and ending on its phase 0, the last frame being the
// first mirrored.
StripPlan SwimAndTurnPlan(int totalFrames, int swimFrames);

struct FrameStrip {
  RgbaImage image;      // frameWidth x (frameHeight x frames)
  int frames = 0;
  int frameWidth = 0;
  int frameHeight = 0;
};

// Renders every pose, finds the box that holds all of them (at scale 1), and
// draws the frames centred in it at the plan's pixel scale: the turn scales x
// about the frame's centre line.
FrameStrip BuildStrip(const CreatureDrawer& draw, const StripPlan& plan);

// Frame k of a strip as its own picture.
RgbaImage StripFrame(const FrameStrip& strip, int k);
// A picture mirrored left to right.
RgbaImage MirrorImage(const RgbaImage& image);
