#include "settings/settings_values.h"

#include <cstring>

namespace {

// Bold Tahoma (a face every system since the late nineties has) at 40
// pixels, in yellow, which reads well over every stock scene.
constexpr std::int32_t kDefaultFontHeight = -40;
constexpr std::int32_t kDefaultFontWeight = 700;
constexpr const char* kDefaultFontFace = "Tahoma";
constexpr std::uint32_t kDefaultFontColour = 0x40E0FF;  // RGB(255, 224, 64)

std::int32_t ReadInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 |
                                   static_cast<std::uint32_t>(p[3]) << 24);
}

void WriteInt32(std::uint8_t* p, std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void DefaultFont(std::uint8_t (&record)[kFontRecordSize]) {
  std::memset(record, 0, sizeof record);
  WriteInt32(record + kFontHeightOffset, kDefaultFontHeight);
  WriteInt32(record + kFontWeightOffset, kDefaultFontWeight);
  std::memcpy(record + kFontFaceOffset, kDefaultFontFace, std::strlen(kDefaultFontFace));
}

// Copies text that fits a saver buffer; anything longer gives the empty string.
void TakeText(char (&to)[kConfigTextSize], const char* stored) {
  to[0] = '\0';
  if (stored && std::strlen(stored) <= static_cast<std::size_t>(kMaxTextLength))
    std::strcpy(to, stored);
}

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

bool FontRecordUsable(const std::uint8_t record[kFontRecordSize]) {
  const std::uint8_t* face = record + kFontFaceOffset;
  int length = 0;
  while (length < kFontFaceSize && face[length]) {
    if (face[length] < 0x20) return false;
    ++length;
  }
  if (length == 0 || length == kFontFaceSize) return false;
  std::int32_t height = ReadInt32(record + kFontHeightOffset);
  std::int32_t weight = ReadInt32(record + kFontWeightOffset);
  bool heightOk = (height >= 1 && height <= 500) || (height <= -1 && height >= -500);
  return heightOk && weight >= 0 && weight <= 1000;
}

SettingsValues::SettingsValues()
    : fishes_(kAllSpecies),
      display_(kDisplayRandom),
      mute_(false),
      fillScreen_(FILL_CENTRED),
      sameScene_(false),
      fontColour_(kDefaultFontColour),
      volume_(kDefaultVolume),
      soundMinutes_(0),
      soundChange_(0),
      clock_(CLOCK_NONE) {
  customFile_[0] = '\0';
  customText_[0] = '\0';
  DefaultFont(font_);
}

void SettingsValues::TakeFishes(std::uint32_t stored) { fishes_ = stored & kAllSpecies; }

void SettingsValues::TakeDisplay(std::int32_t stored) { SetDisplay(stored); }

void SettingsValues::TakeMute(std::uint32_t stored) { mute_ = stored != 0; }

void SettingsValues::TakeCustomFile(const char* stored) { TakeText(customFile_, stored); }

void SettingsValues::TakeCustomText(const char* stored) { TakeText(customText_, stored); }

// Only the exact stored form counts: 120 upper-case hexadecimal digits of a
// usable record. Anything else keeps the default font.
void SettingsValues::TakeFontText(const char* stored) {
  if (!stored || std::strlen(stored) != 2 * kFontRecordSize) return;
  for (const char* c = stored; *c; ++c)
    if (!IsUpperHex(*c)) return;
  std::uint8_t record[kFontRecordSize];
  DecodeFont(stored, record);
  SetFontRecord(record);
}

void SettingsValues::TakeFontColour(std::uint32_t stored) {
  if (stored <= 0xFFFFFF) fontColour_ = stored;
}

void SettingsValues::TakeVolume(std::uint32_t stored) {
  volume_ = stored <= 100 ? stored : kDefaultVolume;
}

void SettingsValues::TakeSoundMinutes(std::uint32_t stored) {
  soundMinutes_ = stored <= kMaxSoundMinutes ? stored : 0;
}

void SettingsValues::TakeSoundChange(std::uint32_t stored) {
  soundChange_ = stored <= kMaxSoundMinutes ? stored : 0;
}

void SettingsValues::TakeClock(std::uint32_t stored) {
  clock_ = stored <= kMaxClock ? stored : CLOCK_NONE;
}

void SettingsValues::TakeFillScreen(std::uint32_t stored) {
  fillScreen_ = stored <= kMaxFillScreen ? stored : FILL_CENTRED;
}

void SettingsValues::TakeSameScene(std::uint32_t stored) { sameScene_ = stored == 1; }

void SettingsValues::FinishTaking() {
  if (LacksPicture()) display_ = kDisplayRandom;
}

void SettingsValues::SetSpecies(int index, bool on) {
  if (index < 0 || index > 16) return;
  if (on)
    fishes_ |= 1u << index;
  else
    fishes_ &= ~(1u << index);
}

void SettingsValues::SetDisplay(std::int32_t display) {
  display_ = display >= 0 && display <= kDisplayCustom ? display : kDisplayRandom;
}

bool SettingsValues::SetCustomFile(const char* path) {
  if (!path || std::strlen(path) > static_cast<std::size_t>(kMaxTextLength)) return false;
  std::strcpy(customFile_, path);
  return true;
}

void SettingsValues::SetCustomText(const char* text) {
  customText_[0] = '\0';
  if (!text) return;
  std::strncat(customText_, text, kMaxTextLength);
}

bool SettingsValues::SetFontRecord(const std::uint8_t record[kFontRecordSize]) {
  if (!FontRecordUsable(record)) return false;
  std::memcpy(font_, record, kFontRecordSize);
  return true;
}

bool SettingsValues::SetSoundMinutes(std::uint32_t minutes) {
  if (minutes > kMaxSoundMinutes) return false;
  soundMinutes_ = minutes;
  return true;
}

bool SettingsValues::SetSoundChange(std::uint32_t minutes) {
  if (minutes > kMaxSoundMinutes) return false;
  soundChange_ = minutes;
  return true;
}

bool SettingsValues::SetFillScreen(std::uint32_t fill) {
  if (fill > kMaxFillScreen) return false;
  fillScreen_ = fill;
  return true;
}

bool SettingsValues::SetClock(std::uint32_t clock) {
  if (clock > kMaxClock) return false;
  clock_ = clock;
  return true;
}

int SoundChoiceIndex(const std::uint32_t (&choices)[kSoundChoiceCount], std::uint32_t minutes) {
  int index = 0;
  while (index < kSoundChoiceCount && choices[index] != minutes) ++index;
  return index;
}

bool SettingsValues::operator==(const SettingsValues& other) const {
  return fishes_ == other.fishes_ && display_ == other.display_ && mute_ == other.mute_ &&
         fillScreen_ == other.fillScreen_ && sameScene_ == other.sameScene_ &&
         std::strcmp(customFile_, other.customFile_) == 0 &&
         std::strcmp(customText_, other.customText_) == 0 &&
         std::memcmp(font_, other.font_, kFontRecordSize) == 0 &&
         fontColour_ == other.fontColour_ && volume_ == other.volume_ &&
         soundMinutes_ == other.soundMinutes_ && soundChange_ == other.soundChange_ &&
         clock_ == other.clock_;
}
