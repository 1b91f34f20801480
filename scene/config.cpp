#include "scene/config.h"

#include <cstring>

#include "scene/creature_table.h"

static_assert(kDisplayCustom == kBackgroundCount, "the user's picture follows the stock scenes");

BackgroundChoice DecodeDisplayChoice(std::int32_t display) {
  if (display >= 0 && display < kBackgroundCount) return {BackgroundChoice::kStock, display};
  if (display == kDisplayCustom) return {BackgroundChoice::kCustom, 0};
  return {BackgroundChoice::kRandom, 0};
}

bool SpeciesEnabled(std::uint32_t fishes, int index) {
  if (index < 0 || index > 16) return false;
  return (fishes >> index) & 1u;
}

namespace {

constexpr char kHexAlphabet[] = "0123456789ABCDEF";

int HexDigit(char c) {
  for (int i = 0; i < 16; ++i)
    if (kHexAlphabet[i] == c) return i;
  return 0;
}

}  // namespace

void DecodeFont(const char* text, std::uint8_t record[kFontRecordSize]) {
  std::memset(record, 0, kFontRecordSize);
  if (!text) return;
  for (int i = 0; i < kFontRecordSize && text[0]; ++i) {
    if (!text[1]) return;  // a lone trailing character leaves a 0 byte
    record[i] = static_cast<std::uint8_t>(HexDigit(text[0]) << 4 | HexDigit(text[1]));
    text += 2;
  }
}

namespace {

// A number within 0 ... most, else the fallback.
std::uint32_t Bounded(const ConfigSource& source, const char* name, std::uint32_t most,
                      std::uint32_t fallback) {
  const std::uint32_t value = source.Number(name, fallback);
  return value <= most ? value : fallback;
}

}  // namespace

SceneConfig ReadSceneConfig(const ConfigSource& source) {
  SceneConfig config;
  source.Text(kDataPathValue, config.dataPath);
  config.display = static_cast<std::int32_t>(source.Number(kDisplayValue, 0));
  source.Text(kCustomFileValue, config.customFile);
  config.mute = source.Number(kMuteValue, 0);
  config.fishes = source.Number(kFishesValue, 0);
  config.fillScreen = Bounded(source, kFillScreenValue, kMaxFillScreen, FILL_CENTRED);
  config.sameScene = Bounded(source, kSameSceneValue, 1, 0);
  config.volume = Bounded(source, kVolumeValue, 100, kDefaultVolume);
  config.soundMinutes = Bounded(source, kSoundMinutesValue, kMaxSoundMinutes, 0);
  config.soundChange = Bounded(source, kSoundChangeValue, kMaxSoundMinutes, 0);
  config.clock = Bounded(source, kClockValue, kMaxClock, CLOCK_NONE);
  source.Text(kCustomTextValue, config.customText);
  if (!config.customText[0]) return config;
  config.fontColour = source.Number(kFontColourValue, 0);
  char font[kConfigTextSize];
  source.Text(kFontValue, font);
  DecodeFont(font, config.font);
  return config;
}

void EncodeFont(const std::uint8_t record[kFontRecordSize], char (&text)[kFontTextSize]) {
  for (int i = 0; i < kFontRecordSize; ++i) {
    text[2 * i] = kHexAlphabet[record[i] >> 4];
    text[2 * i + 1] = kHexAlphabet[record[i] & 15];
  }
  text[2 * kFontRecordSize] = '\0';
}
