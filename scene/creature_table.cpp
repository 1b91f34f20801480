#include "scene/creature_table.h"

#include <cstring>

namespace {

const SpeciesRecord kSpecies[kSpeciesCount] = {
    {"CLOWN", "CLOWNA", 10, 10, 0, 0, 100, 90, -3, 0, "Clown Fish"},
    {"LOGGERHEAD", "", 31, 31, 0, 0, 100, 80, -3, 0, "Logger head Turtle"},
    {"ANGEL", "ANGELA", 30, 10, 30, 0, 90, 90, -2, 1, "Angel Fish"},
    {"TRIGGER", "TRIGGERA", 20, 20, 0, 0, 100, 90, -1, 0, "Trigger Fish"},
    {"TRUMPET", "", 42, 21, 50, 50, 100, 60, -4, 0, "Trumpet Fish"},
    {"PARROT", "", 40, 20, 10, 60, 100, 100, -4, 0, "Parrot Fish"},
    {"LONGIVENT", "", 42, 21, 0, 0, 100, 90, -3, 0, "Cunningtonia Longiventralis"},
    {"AUL", "", 41, 20, 0, 0, 30, 100, -3, 0, "Aulonocara hueseri"},
    {"GENERIC", "GENERICA", 30, 15, 60, 0, 100, 100, -3, 0, "Generic Fish"},
    {"PUFFER", "PUFFERA", 16, 16, 0, 0, 100, 80, -2, 1, "Puffer Fish"},
    {"NEON", "NEONA", 30, 15, 0, 0, 30, 100, -3, 0, "Neon Tetra"},
    {"LION", "LIONA", 62, 31, 50, 0, 100, 90, -1, 0, "Lion Fish"},
    {"LOBSTER", "LOBSTERA", 20, 20, 0, 100, 100, 100, -1, 0, "Lobster"},
    {"PARADISE", "PARADISEA", 30, 15, 60, 60, 100, 100, -2, 1, "Paradise Fish"},
    {"CRAB", "CRABA", 19, 19, 0, 100, 100, 100, 1, 0, "Crab"},
    {"DOLPHIN", "", 20, 20, 0, 0, 100, 85, 4, 0, "Dolphin"},
    {"OTO", "", 42, 21, 0, 0, 100, 85, -3, 0, "Otopharynx Spots"},
};

constexpr PlacedPicture kNone = {nullptr, 0, 0};

// Rows: L (1024 x 768), M (800 x 600), S (640 x 480).
const BackgroundVariant kBackgrounds[kBackgroundCount][3] = {
    {{{"13L", 0, 0}, {"13AL", 335, 273}, {"13BL", 160, 390}},
     {{"13M", 0, 0}, {"13AM", 262, 213}, {"13BM", 130, 300}},
     {{"13S", 0, 0}, {"13AS", 213, 175}, {"13BS", 107, 242}}},
    {{{"01L", 0, 0}, {"01AL", 500, 500}, kNone},
     {{"01M", 0, 0}, {"01AM", 395, 390}, kNone},
     {{"01S", 0, 0}, {"01AS", 300, 315}, kNone}},
    {{{"03L", 0, 0}, {"03AL", 0, 360}, {"03BL", 410, 68}},
     {{"03M", 0, 0}, {"03AM", 0, 280}, {"03BM", 325, 50}},
     {{"03S", 0, 0}, {"03AS", 0, 230}, {"03BS", 255, 45}}},
    {{{"06L", 0, 0}, {"06AL", 400, 260}, {"06BL", 230, 296}},
     {{"06M", 0, 0}, {"06AM", 308, 200}, {"06BM", 184, 230}},
     {{"06S", 0, 0}, {"06AS", 250, 160}, {"06BS", 150, 180}}},
    {{{"07L", 0, 0}, {"07AL", 130, 112}, kNone},
     {{"07M", 0, 0}, {"07AM", 100, 80}, kNone},
     {{"07S", 0, 0}, {"07AS", 80, 65}, kNone}},
    {{{"08L", 0, 0}, {"08AL", 0, 0}, kNone},
     {{"08M", 0, 0}, {"08AM", 0, 0}, kNone},
     {{"08S", 0, 0}, {"08AS", 0, 0}, kNone}},
    {{{"09L", 0, 0}, {"09AL", 480, 290}, kNone},
     {{"09M", 0, 0}, {"09AM", 385, 230}, kNone},
     {{"09S", 0, 0}, {"09AS", 305, 180}, kNone}},
    {{{"12L", 0, 0}, kNone, kNone},
     {{"12M", 0, 0}, kNone, kNone},
     {{"12S", 0, 0}, kNone, kNone}},
};

bool ValidBackground(int index) { return index >= 0 && index < kBackgroundCount; }

// Writes `length` characters of `prefix` and then the suffix letter; false
// when it does not fit.
bool WithSuffix(const char* prefix, int length, char suffix, char* out, int size) {
  if (!out || size < length + 2) return false;
  std::memcpy(out, prefix, length);
  out[length] = suffix;
  out[length + 1] = '\0';
  return true;
}

}  // namespace

const SpeciesRecord* SpeciesAt(int index) {
  if (index < 0 || index >= kSpeciesCount) return nullptr;
  return &kSpecies[index];
}

bool IsPufferSpecies(const SpeciesRecord& species) {
  return std::strcmp(species.spriteName, "PUFFER") == 0;
}

const BackgroundVariant* BackgroundAt(int index, int logicalWidth) {
  if (!ValidBackground(index)) return nullptr;
  int variant = logicalWidth == 640 ? 2 : logicalWidth == 800 ? 1 : 0;
  return &kBackgrounds[index][variant];
}

bool PreviewPictureName(int index, char* out, int size) {
  if (!ValidBackground(index)) return false;
  const char* name = kBackgrounds[index][0].background.name;
  return WithSuffix(name, static_cast<int>(std::strlen(name)), 'P', out, size);
}

bool PalettePictureName(int index, char* out, int size) {
  if (!ValidBackground(index)) return false;
  return WithSuffix(kBackgrounds[index][0].background.name, 2, 'P', out, size);
}

bool WidePictureName(int index, char* out, int size) {
  if (!ValidBackground(index)) return false;
  const char* name = kBackgrounds[index][0].background.name;
  return WithSuffix(name, static_cast<int>(std::strlen(name)), 'W', out, size);
}

bool TwiceSizeName(const char* name, char* out, int size) {
  if (!name || !name[0] || !out) return false;
  const std::size_t length = std::strlen(name);
  const std::size_t suffix = std::strlen(kTwiceSizeSuffix);
  if (size < 0 || length + suffix + 1 > static_cast<std::size_t>(size)) return false;
  std::memcpy(out, name, length);
  std::memcpy(out + length, kTwiceSizeSuffix, suffix + 1);
  return true;
}
