#pragma once
// What the actors draw into and report to: the back surface, the size of the
// background their ranges are measured against, the shared bubble-burst
// images, and the two rectangle lists. Setup fills one stage before it
// creates the actors and keeps it for the life of the scene; the bubble
// images arrive after the fish, so fish read them at draw time.
//
// Actors move and report in design units. A scene composed for a large
// monitor has more pixels than design units (PixelScale): the stage turns
// design rectangles into its pixels, so the actors' rules, ranges and traces
// are the same at every scale; the actors draw their images, made for the
// scale, at their positions' pixels.
//
// An actor reports each box before it draws into it: the still overlays
// (StillOverlays) make the part of their boxes it touches ready for it.

#include <cstdint>

#include "gfx/image.h"
#include "scene/dirty_rect_list.h"
#include "scene/pixel_scale.h"
#include "scene/still_overlays.h"

struct ActorStage {
  Image* backSurface = nullptr;
  std::int32_t backgroundWidth = 0;
  std::int32_t backgroundHeight = 0;
  Image* bubbleSprite = nullptr;
  Image* bubbleMask = nullptr;
  DirtyRectList* presentList = nullptr;
  DirtyRectList* restoreList = nullptr;
  StillOverlays* overlays = nullptr;
  PixelScale scale;  // back-surface pixels per design unit

  // The ranges are measured against this background (0 x 0 for none), in
  // design units.
  void SizeBy(Image* background) {
    backgroundWidth = background ? scale.Units(background->Width()) : 0;
    backgroundHeight = background ? scale.Units(background->Height()) : 0;
  }
  // The back surface's size in design units (0 without one).
  std::int32_t Width() const { return backSurface ? scale.Units(backSurface->Width()) : 0; }
  std::int32_t Height() const { return backSurface ? scale.Units(backSurface->Height()) : 0; }
  // The back-surface pixels a design rectangle covers.
  Rect InPixels(const Rect& r) const { return scale.Cover(r); }
  void SetBubbles(Image* sprite, Image* mask) {
    bubbleSprite = sprite;
    bubbleMask = mask;
  }

  // Before r (design units) is drawn: the overlays make ready what r
  // touches of theirs, and r goes to the present list and then to the
  // restore list.
  void Report(const Rect& r) const {
    const Rect p = InPixels(r);
    if (overlays) overlays->Touch(p);
    presentList->Add(p);
    restoreList->Add(p);
  }
};
