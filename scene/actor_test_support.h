#pragma once
// Test doubles for the actors: images that only have a size, and a back
// surface that records what was drawn onto it.

#include <cstdint>
#include <vector>

#include "gfx/image.h"
#include "scene/actor_stage.h"

class SizedImage : public Image {
 public:
  SizedImage(std::int32_t width, std::int32_t height) {
    width_ = static_cast<std::uint16_t>(width);
    height_ = static_cast<std::uint16_t>(height);
    type_ = 4;
  }
};

struct BlitCall {
  std::int32_t dx, dy, dw, dh;
  Image* source;
  std::int32_t sx, sy, sw, sh;
  std::uint32_t flags;
  std::intptr_t aux;
};

class RecordingSurface : public SizedImage {
 public:
  RecordingSurface(std::int32_t width, std::int32_t height) : SizedImage(width, height) {}
  GraphicsStatus BlitFrom(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh,
                          Image* source, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                          std::int32_t sh, std::uint32_t flags, std::intptr_t aux) override {
    calls.push_back({dx, dy, dw, dh, source, sx, sy, sw, sh, flags, aux});
    return GFX_OK;
  }
  std::vector<BlitCall> calls;
};

// A stage over a recording back surface of the given background size.
struct TestStage {
  TestStage(std::int32_t width, std::int32_t height) : back(width, height) {
    stage.backSurface = &back;
    stage.backgroundWidth = width;
    stage.backgroundHeight = height;
    stage.bubbleSprite = &bubble;
    stage.bubbleMask = &bubbleMask;
    stage.presentList = &present;
    stage.restoreList = &restore;
    overlays.Attach(&back);
    stage.overlays = &overlays;
  }
  RecordingSurface back;
  SizedImage bubble{160, 120 * 30};
  SizedImage bubbleMask{160, 120 * 30};
  DirtyRectList present;
  DirtyRectList restore;
  StillOverlays overlays;
  ActorStage stage;
};
