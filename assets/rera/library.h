#pragma once
// The contents of the resource library "ReraDOR": every picture, sprite and
// sound under the names and types the saver looks for, made from our art and
// synthesis.

#include "assets/rera/res_file.h"

#include <functional>
#include <string>
#include <vector>

struct LibraryItem {
  ResourceEntry entry;
  int frames = 1;  // frames stacked in the picture (sprites), else 1
};

// Progress lines ("CLOWN", "13L", "sounds", ...: one per part made, in the
// order they are done) go to `log` when it is set.
using LibraryLog = std::function<void(const std::string&)>;

// Every resource, in a fixed order; false when something could not be made.
bool BuildLibrary(std::vector<LibraryItem>* items, const LibraryLog& log);

// The name of a picture drawn at twice the size ("CLOWN@2" for "CLOWN");
// empty when the name is too long for one.
std::string TwiceSizePictureName(const char* name);

// Frames stacked in the named "BIN" picture: the species table's frame count
// for a species sprite or mask, 30 for the bubble burst, 1 otherwise; the
// same for their twice-size pictures ("CLOWN@2").
int FramesOfPicture(const std::string& name);
