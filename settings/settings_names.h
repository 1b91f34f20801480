// The names the settings program shows: the species as a fish keeper calls
// them (in the order of the "FISHES" bits) and the eight stock scenes (in
// the order of the "DISPLAY" values).
#pragma once

// Null outside 0..16 and 0..7.
const char* SpeciesLabel(int index);
const char* SceneLabel(int index);
