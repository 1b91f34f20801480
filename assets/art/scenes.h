#pragma once
// The eight stock underwater scenes, each in the three sizes of the
// background table and a wide size, with the overlays that belong to them.

#include "assets/art/canvas.h"

struct ScenePictures {
  RgbaImage background;  // opaque, the scene's full size
  // Overlays A and B: opaque where they cover, alpha 0 elsewhere; their top
  // left corner goes at (x, y) of the screen.
  RgbaImage overlay[2];
  int overlayX[2] = {0, 0};
  int overlayY[2] = {0, 0};
  bool hasOverlay[2] = {false, false};
};

// Scene 0..7 (the background table's index) at a logical width of 640, 800
// or 1024. An index outside 0..7 gives empty pictures.
ScenePictures RenderScene(int index, int width);
// Scene 0..7 as a wide picture, kWidePictureWidth x 768: the L picture in the
// middle columns and side bands of their own, so that any centred crop from
// 5:4 to 21:9 looks composed. Its overlays are the L overlays, placed at their
// L positions shifted by the side band's width. An index outside 0..7 gives
// empty pictures.
ScenePictures RenderWideScene(int index);
// The wide picture drawn at twice the size (2 x kWidePictureWidth x 1536), for
// large monitors. `once` is RenderWideScene(index): each overlay sits at twice
// its place there and is exactly twice its size (its box padded or cut), so
// the saver places it from the L table like the 1x overlay.
ScenePictures RenderWideSceneTwice(int index, const ScenePictures& once);
