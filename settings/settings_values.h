// SettingsValues: every user setting as the settings program edits it, with
// what a new user gets, and the rules that turn stored values (of any age,
// size or origin) into values the dialog can show. A stored value the saver
// would not use as it stands shows as the default; nothing here can fail.
#pragma once

#include <cstdint>

#include "scene/config.h"
#include "scene/saver_constants.h"

constexpr std::uint32_t kAllSpecies = 0x1FFFF;  // bits 0..16
constexpr int kMaxTextLength = kConfigTextSize - 1;  // what the saver's buffers hold

// Offsets into the stored LOGFONTA record.
constexpr int kFontHeightOffset = 0;
constexpr int kFontWeightOffset = 16;
constexpr int kFontFaceOffset = 28;
constexpr int kFontFaceSize = 32;

class SettingsValues {
 public:
  SettingsValues();  // the defaults: every species, a random scene, sound on

  // Values as read from the registry.
  void TakeFishes(std::uint32_t stored);
  void TakeDisplay(std::int32_t stored);
  void TakeMute(std::uint32_t stored);
  void TakeCustomFile(const char* stored);
  void TakeCustomText(const char* stored);
  void TakeFontText(const char* stored);
  void TakeFontColour(std::uint32_t stored);
  // The sound's level and schedule and the clock: a number outside the
  // saver's range (scene/config.h) gives the default, as in the saver.
  void TakeVolume(std::uint32_t stored);
  void TakeSoundMinutes(std::uint32_t stored);
  void TakeSoundChange(std::uint32_t stored);
  void TakeClock(std::uint32_t stored);
  // "FILLSCREEN" (a FillMode) and "SAMESCENE" (0 or 1) likewise.
  void TakeFillScreen(std::uint32_t stored);
  void TakeSameScene(std::uint32_t stored);
  // After every value is taken: "My picture" with no picture shows as the
  // random scene the saver then shows.
  void FinishTaking();

  std::uint32_t Fishes() const { return fishes_; }
  bool SpeciesOn(int index) const { return SpeciesEnabled(fishes_, index); }
  void SetSpecies(int index, bool on);
  void SetAllSpecies(bool on) { fishes_ = on ? kAllSpecies : 0; }

  // 0..7 a stock scene, 8 the user's picture, 9 a random scene.
  std::int32_t Display() const { return display_; }
  void SetDisplay(std::int32_t display);

  const char* CustomFile() const { return customFile_; }
  // False, with nothing changed, for a path longer than the saver reads.
  bool SetCustomFile(const char* path);
  // "My picture" is chosen but no picture is: the saver would show a random
  // scene instead.
  bool LacksPicture() const { return display_ == kDisplayCustom && !customFile_[0]; }

  bool Mute() const { return mute_; }
  void SetMute(bool mute) { mute_ = mute; }

  // "FILLSCREEN": how the scene meets each monitor, a FillMode. Absent, the
  // saver centres it at its own size, and so the dialog starts there; a
  // number past the last mode leaves it as it is (false).
  std::uint32_t FillScreen() const { return fillScreen_; }
  bool SetFillScreen(std::uint32_t fill);

  // "SAMESCENE": one scene mirrored on every monitor instead of one each.
  bool SameScene() const { return sameScene_; }
  void SetSameScene(bool same) { sameScene_ = same; }

  const char* CustomText() const { return customText_; }
  // Text past kMaxTextLength characters is cut off.
  void SetCustomText(const char* text);

  const std::uint8_t* FontRecord() const { return font_; }
  // False, with nothing changed, for a record the saver should not be given
  // (see FontRecordUsable).
  bool SetFontRecord(const std::uint8_t record[kFontRecordSize]);
  void FontText(char (&text)[kFontTextSize]) const { EncodeFont(font_, text); }

  std::uint32_t FontColour() const { return fontColour_; }  // 0x00BBGGRR
  void SetFontColour(std::uint32_t colour) { fontColour_ = colour & 0xFFFFFF; }

  // "VOLUME", 0 ... 100 percent; more is cut to 100.
  std::uint32_t Volume() const { return volume_; }
  void SetVolume(std::uint32_t percent) { volume_ = percent < 100 ? percent : 100; }

  // "SOUNDMINUTES" and "SOUNDCHANGE", in minutes, 0 for never; a number the
  // saver would not take leaves the value as it is (false).
  std::uint32_t SoundMinutes() const { return soundMinutes_; }
  bool SetSoundMinutes(std::uint32_t minutes);
  std::uint32_t SoundChange() const { return soundChange_; }
  bool SetSoundChange(std::uint32_t minutes);

  // "CLOCK": CLOCK_NONE, CLOCK_TIME or CLOCK_TIME_AND_DATE; anything else
  // leaves it as it is (false).
  std::uint32_t Clock() const { return clock_; }
  bool SetClock(std::uint32_t clock);

  bool operator==(const SettingsValues& other) const;
  bool operator!=(const SettingsValues& other) const { return !(*this == other); }

 private:
  std::uint32_t fishes_;
  std::int32_t display_;
  bool mute_;
  std::uint32_t fillScreen_;
  bool sameScene_;
  char customFile_[kConfigTextSize];
  char customText_[kConfigTextSize];
  std::uint8_t font_[kFontRecordSize];
  std::uint32_t fontColour_;
  std::uint32_t volume_;
  std::uint32_t soundMinutes_;
  std::uint32_t soundChange_;
  std::uint32_t clock_;
};

// The lengths and changes the dialog offers, in minutes, 0 (for as long as
// the saver runs, and never) first.
constexpr std::uint32_t kSoundMinutesChoices[] = {0, 15, 30, 60};
constexpr std::uint32_t kSoundChangeChoices[] = {0, 1, 5, 15};
constexpr int kSoundChoiceCount = 4;

// The fill modes in the order the dialog offers them: edge to edge first.
constexpr std::uint32_t kFillChoices[] = {FILL_EDGE, FILL_BARS, FILL_CENTRED};
constexpr int kFillChoiceCount = 3;

// Where a stored number of minutes stands among the offered choices:
// its index, or kSoundChoiceCount for a number the saver takes but the
// dialog does not offer (it is then shown as a choice of its own).
int SoundChoiceIndex(const std::uint32_t (&choices)[kSoundChoiceCount], std::uint32_t minutes);

// A record is usable when its face name is printable, not empty and ends
// within its 32 bytes, its height is 1 to 500 pixels (either sign) and its
// weight 0 to 1000.
bool FontRecordUsable(const std::uint8_t record[kFontRecordSize]);
