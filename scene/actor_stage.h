#pragma once
// What the actors draw into and report to: the back surface, the size of the
// background their ranges are measured against, the shared bubble-burst
// images, and the two rectangle lists. Setup fills one stage before it
// creates the actors and keeps it for the life of the scene; the bubble
// images arrive after the fish, so fish read them at draw time.
//
// Actors move and report in design units. A scene composed from the art at
// twice the size has a back surface of twice the pixels (scale 2): the stage
// turns design rectangles into its pixels, so the actors' rules, ranges and
// traces are the same at either scale.

#include <cstdint>

#include "gfx/image.h"
#include "scene/dirty_rect_list.h"

struct ActorStage {
  Image* backSurface = nullptr;
  std::int32_t backgroundWidth = 0;
  std::int32_t backgroundHeight = 0;
  Image* bubbleSprite = nullptr;
  Image* bubbleMask = nullptr;
  DirtyRectList* presentList = nullptr;
  DirtyRectList* restoreList = nullptr;
  DirtyRectList* quietRestoreList = nullptr;
  std::int32_t scale = 1;  // back-surface pixels per design unit: 1, or 2

  // The ranges are measured against this background (0 x 0 for none), in
  // design units.
  void SizeBy(Image* background) {
    backgroundWidth = background ? background->Width() / scale : 0;
    backgroundHeight = background ? background->Height() / scale : 0;
  }
  // The back surface's size in design units (0 without one).
  std::int32_t Width() const { return backSurface ? backSurface->Width() / scale : 0; }
  std::int32_t Height() const { return backSurface ? backSurface->Height() / scale : 0; }
  // A design rectangle in back-surface pixels.
  Rect InPixels(const Rect& r) const {
    return {r.x * scale, r.y * scale, r.width * scale, r.height * scale};
  }
  void SetBubbles(Image* sprite, Image* mask) {
    bubbleSprite = sprite;
    bubbleMask = mask;
  }

  // Adds r (design units) to the present list and then to the restore list.
  void Report(const Rect& r) const {
    const Rect p = InPixels(r);
    presentList->Add(p);
    restoreList->Add(p);
  }
  // For an actor drawn the same in the same place every frame: r is restored
  // before the next frame but never presented for the actor's sake.
  void ReportStill(const Rect& r) const { quietRestoreList->Add(InPixels(r)); }
};
