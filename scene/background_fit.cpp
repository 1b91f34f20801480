#include "scene/background_fit.h"

#include <cmath>

namespace {

std::int32_t Rounded(double v) { return static_cast<std::int32_t>(std::lround(v)); }

}  // namespace

PictureCrop CoverCrop(std::int32_t pictureWidth, std::int32_t pictureHeight,
                      std::int32_t sceneWidth, std::int32_t sceneHeight, CropAnchor anchor) {
  PictureCrop crop = {0, 0, pictureWidth, pictureHeight};
  if (pictureWidth < 1 || pictureHeight < 1 || sceneWidth < 1 || sceneHeight < 1) return crop;
  const std::int64_t across = std::int64_t(pictureWidth) * sceneHeight;
  const std::int64_t down = std::int64_t(pictureHeight) * sceneWidth;
  if (across >= down) {  // the picture is wider in proportion: its full height
    crop.width = static_cast<std::int32_t>((down + sceneHeight / 2) / sceneHeight);
    if (crop.width < 1) crop.width = 1;
    if (crop.width > pictureWidth) crop.width = pictureWidth;
    crop.x = (pictureWidth - crop.width) / 2;
    return crop;
  }
  crop.height = static_cast<std::int32_t>((across + sceneWidth / 2) / sceneWidth);
  if (crop.height < 1) crop.height = 1;
  crop.y = anchor == CropAnchor::kFloor ? pictureHeight - crop.height
                                         : (pictureHeight - crop.height) / 2;
  return crop;
}

OverlayFrame IdentityFrame(std::int32_t width, std::int32_t height) {
  return {{0, 0, width, height}, width, height, width, height, width, PixelScale{}};
}

ScenePoint PlaceOverlay(const OverlayFrame& f, std::int32_t x, std::int32_t y,
                        std::int32_t overlayHeight) {
  if (f.sceneHeight < 1 || f.crop.width < 1 || f.crop.height < 1 || f.scale.num < 1 ||
      f.scale.den < 1)
    return {x, y};
  const double scale = double(f.scale.num) / f.scale.den;
  // Design units to picture pixels: the picture is as high as the design.
  const double toPicture = double(f.pictureHeight) * scale / f.sceneHeight;
  const double pictureX = f.pictureWidth / 2.0 + (x - f.designWidth / 2.0) * toPicture;
  const double pictureBottom = double(y + overlayHeight) * toPicture;
  // Picture pixels to scene pixels, then to design units.
  const double sceneX = (pictureX - f.crop.x) * f.sceneWidth / f.crop.width / scale;
  const double sceneBottom = (pictureBottom - f.crop.y) * f.sceneHeight / f.crop.height / scale;
  return {Rounded(sceneX), Rounded(sceneBottom) - overlayHeight};
}
