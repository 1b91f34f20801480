#pragma once
// What the actors draw into and report to: the back surface, the size of the
// background their ranges are measured against, the shared bubble-burst
// images, and the two rectangle lists. Setup fills one stage before it
// creates the actors and keeps it for the life of the scene; the bubble
// images arrive after the fish, so fish read them at draw time.

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

  // The ranges are measured against this background (0 x 0 for none).
  void SizeBy(Image* background) {
    backgroundWidth = background ? background->Width() : 0;
    backgroundHeight = background ? background->Height() : 0;
  }
  void SetBubbles(Image* sprite, Image* mask) {
    bubbleSprite = sprite;
    bubbleMask = mask;
  }

  // Adds r to the present list and then to the restore list.
  void Report(const Rect& r) const {
    presentList->Add(r);
    restoreList->Add(r);
  }
  // For an actor drawn the same in the same place every frame: r is restored
  // before the next frame but never presented for the actor's sake.
  void ReportStill(const Rect& r) const { quietRestoreList->Add(r); }
};
