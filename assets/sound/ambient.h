#pragma once
// The sixteen ambient loops of the aquarium, synthesised from nothing but
// our own oscillators, noise, filters and envelopes.

#include "assets/sound/synth.h"

#include <string>
#include <vector>

struct AmbientSound {
  std::string title;
  int bits = 16;     // 8 or 16, mono PCM
  Loop loop;         // one seamless period at its own rate
};

constexpr int kAmbientCount = 16;

// Sound 0..15 (resource 233 + index); an empty title outside that range.
AmbientSound RenderAmbient(int index);

// The PCM bytes of a sound in its own sample width.
std::vector<std::uint8_t> AmbientPcm(const AmbientSound& sound);
