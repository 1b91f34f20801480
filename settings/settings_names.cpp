#include "settings/settings_names.h"

#include "scene/creature_table.h"

namespace {

const char* const kSpeciesLabels[kSpeciesCount] = {
    "Clown fish",    "Loggerhead turtle", "Angelfish",        "Triggerfish",
    "Trumpetfish",   "Parrotfish",        "Cunningtonia",     "Night aulonocara",
    "Blue reef fish", "Puffer fish",      "Neon tetra",       "Lionfish",
    "Lobster",       "Paradise fish",     "Crab",             "Dolphin",
    "Spotted otopharynx"};

const char* const kSceneLabels[kBackgroundCount] = {
    "Coral reef", "Kelp forest",     "Rocks and sand", "The wreck",
    "Lagoon",     "Cave mouth",      "Anemone garden", "Sea-grass meadow at dusk"};

}  // namespace

const char* SpeciesLabel(int index) {
  return index >= 0 && index < kSpeciesCount ? kSpeciesLabels[index] : nullptr;
}

const char* SceneLabel(int index) {
  return index >= 0 && index < kBackgroundCount ? kSceneLabels[index] : nullptr;
}
