#pragma once
// Setup's palette room: on 8-bit displays one 256-entry palette is shared by
// the back surface, the screen surface and every converted image. Target
// only.

#include "port/win32.h"

class Display;
class Palette;
struct BackgroundPicture;

// The scene palette of a full-screen scene: entries 0..134 from the
// background's colours (a stock picture's palette picture "13P", or the
// user's picture's own palette), 135..234 from "PALFISH", then the system
// colours merged in. Set on both surfaces; one reference for the caller, or
// null when it cannot be made.
Palette* BuildScenePalette(Display* display, HMODULE library, const BackgroundPicture& background);

// Sets palette on the back and the screen surface and has it realised once
// the window is in front.
void UseScenePalette(Display* display, Palette* palette);
