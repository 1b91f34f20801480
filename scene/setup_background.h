#pragma once
// Setup's background room: the picture behind the scene. Full screen shows
// the user's picture ("DISPLAY" 8) or a stock one decoded from its JPEG
// resource; the preview pane the user's picture or a stock one's preview
// picture. One loader serves the user's picture in both: it scales the file
// to the scene and converts it to the back surface's type. Whatever changes
// the picture the user sees (a refused file, a missing resource, a failed
// conversion) goes to DebugLog. Target only.

#include <cstdint>

#include "port/win32.h"
#include "scene/background_fit.h"

class DibSurface;
class GraphicsSystem;
class Palette;
struct BackgroundVariant;
struct SceneConfig;

struct BackgroundPicture {
  DibSurface* image = nullptr;                 // null when nothing could be read
  std::int32_t stockIndex = -1;                // -1: the user's picture
  const BackgroundVariant* variant = nullptr;  // the stock picture's overlays
  // How the picture lies under the scene: the part that shows and where the
  // overlays go (FitBackground scales that part to the scene).
  OverlayFrame frame = {};
};

// The size of the scene a full-screen background is made for: width x height
// pixels, its overlays positioned for the 4:3 design designWidth wide (design
// units, `scale` pixels each). Edge to edge (cover) the picture covers the
// scene with its shape kept: a stock one drawn wide when the library has it,
// at twice the size for a scene of more pixels than units when it has that.
struct BackgroundTarget {
  std::int32_t width, height, designWidth;
  bool cover;
  PixelScale scale;
};

// The user's bitmap file scaled to width x height and converted to backType;
// with cover, only the part of it with the scene's shape (its middle), else all
// of it. An 8-bit back type takes a deeper picture through a palette quantised
// from a sampleWidth x sampleHeight copy of it. Null when the file is missing,
// unreadable, or has fewer than 256 colours.
DibSurface* LoadCustomPicture(GraphicsSystem* graphics, const char* path, std::int32_t width,
                              std::int32_t height, bool cover, std::uint16_t backType,
                              std::int32_t sampleWidth, std::int32_t sampleHeight);

// Stock picture `name`, a JPEG resource of the library, decoded into picture
// (24-bit); false, logged, when it is missing or refused.
bool DecodeStockPicture(HMODULE library, const char* name, DibSurface* picture);

// Full screen: the picture "DISPLAY" asks for, the user's at the scene's size
// in the back type, a stock one as its 24-bit JPEG (ConvertBackground and
// FitBackground finish both). A refused user's picture gives a random stock one.
BackgroundPicture LoadFullScreenBackground(GraphicsSystem* graphics, HMODULE library,
                                           const SceneConfig& config,
                                           const BackgroundTarget& target, std::uint16_t backType);

// The picture in the back type, error diffused onto the scene palette (null
// unless the display has 8 bits).
void ConvertBackground(DibSurface* image, std::uint16_t backType, Palette* palette);

// The part of the picture its frame shows, scaled once to the scene's size
// (smoothly where the pixels allow); nothing to do when the picture already
// has that size. A picture that cannot be scaled stays as it was (logged).
void FitBackground(GraphicsSystem* graphics, BackgroundPicture& picture);

// Preview: stock picture stockIndex's preview picture scaled to width x
// height, with its palette; null when it cannot be read.
DibSurface* LoadPreviewPicture(GraphicsSystem* graphics, HMODULE library, std::int32_t stockIndex,
                               std::int32_t width, std::int32_t height, std::uint16_t backType);

// The stock index "DISPLAY" names, or a random one.
std::int32_t StockIndexFor(std::int32_t display);
