// BackgroundPreview: the small picture of the chosen background in the
// settings dialog (target only): a stock scene's preview picture from the
// resource library beside this program, or the user's bitmap file, drawn
// scaled into the dialog's picture box; a line of text where there is no
// picture to show. Edge to edge it shows what the saver puts on the primary
// monitor: the part of the picture with that monitor's shape (a stock scene
// from its wide picture, or its 4:3 one, keeping the floor; the user's
// picture from its middle), in that shape, the rest of the box left plain.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gfx/dib_surface.h"
#include "scene/background_fit.h"

class BackgroundPreview {
 public:
  // display as in "DISPLAY": 0..7 a stock scene, 8 the user's picture
  // (customFile), anything else a random scene. edge: edge to edge.
  void Choose(std::int32_t display, const char* customFile, bool edge);
  void Draw(HDC dc, const RECT& area);

 private:
  bool LoadStock(std::int32_t index, bool edge);
  bool LoadStockPicture(HMODULE library, std::int32_t index, bool edge);
  void DrawPicture(HDC dc, const RECT& area);
  void DrawCaption(HDC dc, const RECT& area);

  DibSurface picture_;
  PictureCrop crop_ = {};  // the part of picture_ that shows
  bool shaped_ = false;    // drawn in crop_'s shape rather than filling the box
  bool shown_ = false;
  const char* caption_ = "";
};
