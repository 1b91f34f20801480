// BackgroundPreview: the small picture of the chosen background in the
// settings dialog (target only): a stock scene's preview picture from the
// resource library beside this program, or the user's bitmap file, drawn
// scaled into the dialog's picture box; a line of text where there is no
// picture to show.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gfx/dib_surface.h"

class BackgroundPreview {
 public:
  // display as in "DISPLAY": 0..7 a stock scene, 8 the user's picture
  // (customFile), anything else a random scene.
  void Choose(std::int32_t display, const char* customFile);
  void Draw(HDC dc, const RECT& area);

 private:
  bool LoadStock(std::int32_t index);

  DibSurface picture_;
  bool shown_ = false;
  const char* caption_ = "";
};
