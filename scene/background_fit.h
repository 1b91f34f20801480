#pragma once
// Edge to edge, a picture seldom has the scene's shape. CoverCrop picks the
// part of the picture that covers the scene with its shape kept: the user's
// picture loses equal parts on both sides, a stock picture keeps its floor
// (what a crop in height takes away is water). PlaceOverlay puts an overlay,
// positioned for the 4:3 scene, on the same spot of the picture in the scene,
// its bottom on the same point of the floor. Where picture and scene agree
// (every mode but edge to edge) both are the identity.

#include <cstdint>

#include "scene/pixel_scale.h"

struct PictureCrop {
  std::int32_t x, y, width, height;  // in the picture's pixels
};

enum class CropAnchor { kCentre, kFloor };

// The largest part of a pictureWidth x pictureHeight picture with the shape of
// sceneWidth x sceneHeight (rounded to whole pixels), centred across, and down
// centred or at the bottom. The whole picture when any size is below 1.
PictureCrop CoverCrop(std::int32_t pictureWidth, std::int32_t pictureHeight,
                      std::int32_t sceneWidth, std::int32_t sceneHeight, CropAnchor anchor);

// How a stock picture lies under the scene: the part that shows (scaled to
// the whole scene, sceneWidth x sceneHeight pixels), the picture's size, and
// the 4:3 design the overlays are positioned in (designWidth design units
// wide, as high as the scene; a design unit is `scale` scene pixels). The
// picture is drawn about the design's centre, its height the design's height.
struct OverlayFrame {
  PictureCrop crop;
  std::int32_t pictureWidth, pictureHeight;
  std::int32_t sceneWidth, sceneHeight;
  std::int32_t designWidth;
  PixelScale scale;
};

// The frame of a picture shown whole at the scene's size, the scene being its
// own 4:3 design at scale 1: overlays stay where the design puts them.
OverlayFrame IdentityFrame(std::int32_t width, std::int32_t height);

struct ScenePoint {
  std::int32_t x, y;
};

// The scene position, in design units, of the top-left corner of an overlay
// overlayHeight design units tall, at (x, y) in the design.
ScenePoint PlaceOverlay(const OverlayFrame& frame, std::int32_t x, std::int32_t y,
                        std::int32_t overlayHeight);
