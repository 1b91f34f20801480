#include "settings/settings_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "settings/settings_names.h"

namespace {

std::string FontText(const SettingsValues& v) {
  char text[kFontTextSize];
  v.FontText(text);
  return text;
}

std::string Face(const SettingsValues& v) {
  return std::string(reinterpret_cast<const char*>(v.FontRecord() + kFontFaceOffset));
}

// A stored "FONT" for Courier New at -20 pixels, weight 400.
std::string CourierText() {
  std::uint8_t record[kFontRecordSize] = {};
  record[0] = 0xEC;  // -20
  record[1] = record[2] = record[3] = 0xFF;
  record[kFontWeightOffset] = 0x90;  // 400
  record[kFontWeightOffset + 1] = 0x01;
  std::memcpy(record + kFontFaceOffset, "Courier New", 11);
  char text[kFontTextSize];
  EncodeFont(record, text);
  return text;
}

}  // namespace

TEST(SettingsValues, NewUserGetsEverySpeciesARandomSceneAndSound) {
  SettingsValues v;
  EXPECT_EQ(v.Fishes(), 0x1FFFFu);
  EXPECT_EQ(v.Display(), kDisplayRandom);
  EXPECT_FALSE(v.Mute());
  EXPECT_EQ(v.FillScreen(), static_cast<std::uint32_t>(FILL_CENTRED));  // as the saver reads absent
  EXPECT_FALSE(v.SameScene());  // absent: each monitor its own scene
  EXPECT_STREQ(v.CustomFile(), "");
  EXPECT_STREQ(v.CustomText(), "");
  EXPECT_TRUE(FontRecordUsable(v.FontRecord()));
  EXPECT_EQ(Face(v), "Tahoma");
  EXPECT_LE(v.FontColour(), 0xFFFFFFu);
  EXPECT_FALSE(v.LacksPicture());
}

TEST(SettingsValues, StoredNumbersAreBroughtIntoRange) {
  SettingsValues v;
  v.TakeFishes(0xFFFE0005);  // bits above 16 are not species
  EXPECT_EQ(v.Fishes(), 5u);
  v.TakeFishes(0);
  EXPECT_EQ(v.Fishes(), 0u);
  for (std::int32_t d : {0, 3, 7, 8}) {
    v.TakeDisplay(d);
    EXPECT_EQ(v.Display(), d);
  }
  for (std::int32_t d : {9, 1000, -1, INT32_MIN}) {
    v.TakeDisplay(d);
    EXPECT_EQ(v.Display(), kDisplayRandom) << d;
  }
  v.TakeDisplay(kDisplayCustom);  // the user's picture, but none is stored
  v.TakeCustomFile("");
  v.FinishTaking();
  EXPECT_EQ(v.Display(), kDisplayRandom);
  v.TakeDisplay(kDisplayCustom);
  v.TakeCustomFile("C:\\reef.bmp");
  v.FinishTaking();
  EXPECT_EQ(v.Display(), kDisplayCustom);
  v.TakeMute(7);
  EXPECT_TRUE(v.Mute());
  v.TakeMute(0);
  EXPECT_FALSE(v.Mute());
  v.TakeFontColour(0x123456);
  EXPECT_EQ(v.FontColour(), 0x123456u);
  v.TakeFontColour(0x01000000);  // not a plain colour: the last one stays
  EXPECT_EQ(v.FontColour(), 0x123456u);
}

TEST(SettingsValues, StoredTextLongerThanTheSaverReadsShowsEmpty) {
  SettingsValues v;
  std::string fits(kMaxTextLength, 'a'), tooLong(kMaxTextLength + 1, 'b');
  v.TakeCustomText(fits.c_str());
  EXPECT_EQ(std::string(v.CustomText()), fits);
  v.TakeCustomText(tooLong.c_str());
  EXPECT_STREQ(v.CustomText(), "");
  v.TakeCustomFile(tooLong.c_str());
  EXPECT_STREQ(v.CustomFile(), "");
  v.TakeCustomFile(nullptr);
  EXPECT_STREQ(v.CustomFile(), "");

  v.SetCustomText(tooLong.c_str());  // typed text is cut, not lost
  EXPECT_EQ(std::string(v.CustomText()), std::string(kMaxTextLength, 'b'));
  EXPECT_FALSE(v.SetCustomFile(tooLong.c_str()));
  EXPECT_TRUE(v.SetCustomFile("C:\\pictures\\reef.bmp"));
  EXPECT_STREQ(v.CustomFile(), "C:\\pictures\\reef.bmp");
}

TEST(SettingsValues, OnlyAnExactUsableFontTextIsTaken) {
  const std::string courier = CourierText();
  SettingsValues v;
  v.TakeFontText(courier.c_str());
  EXPECT_EQ(Face(v), "Courier New");
  EXPECT_EQ(FontText(v), courier);

  std::string lower = courier;
  lower[0] = 'e';  // lower case is not the stored form
  std::string truncated = courier.substr(0, 119), padded = courier + "00";
  std::string noFace = courier;
  noFace.replace(2 * kFontFaceOffset, 2, "00");
  std::string unterminated = courier;
  unterminated.replace(2 * kFontFaceOffset, 2 * kFontFaceSize, std::string(2 * kFontFaceSize, '4'));
  std::string giant = courier;
  giant.replace(0, 8, "0000FF7F");
  std::string control = courier;
  control.replace(2 * kFontFaceOffset, 2, "07");
  for (const std::string& bad :
       {std::string(), lower, truncated, padded, noFace, unterminated, giant, control,
        std::string(120, 'G'), std::string(120, '0')}) {
    SettingsValues d;
    d.TakeFontText(bad.c_str());
    EXPECT_EQ(Face(d), "Tahoma") << bad;
  }
}

TEST(SettingsValues, EditingAndComparing) {
  SettingsValues a, b;
  EXPECT_TRUE(a == b);
  a.SetSpecies(3, false);
  EXPECT_FALSE(a.SpeciesOn(3));
  EXPECT_EQ(a.Fishes(), 0x1FFFFu & ~8u);
  EXPECT_TRUE(a != b);
  a.SetSpecies(3, true);
  a.SetSpecies(17, false);  // not a species: nothing changes
  EXPECT_TRUE(a == b);
  a.SetAllSpecies(false);
  EXPECT_EQ(a.Fishes(), 0u);
  a.SetAllSpecies(true);
  EXPECT_TRUE(a == b);

  a.SetDisplay(kDisplayCustom);
  EXPECT_TRUE(a.LacksPicture());
  a.SetCustomFile("x.bmp");
  EXPECT_FALSE(a.LacksPicture());
  a.SetDisplay(42);
  EXPECT_EQ(a.Display(), kDisplayRandom);

  std::uint8_t record[kFontRecordSize] = {};
  EXPECT_FALSE(a.SetFontRecord(record));
  EXPECT_EQ(Face(a), "Tahoma");
  a.SetFontColour(0xFF00FF00);
  EXPECT_EQ(a.FontColour(), 0x00FF00u);
}

TEST(SettingsValues, SoundAndClockDefaultsAndTheirStoredRanges) {
  SettingsValues v;
  EXPECT_EQ(v.Volume(), 100u);
  EXPECT_EQ(v.SoundMinutes(), 0u);
  EXPECT_EQ(v.SoundChange(), 0u);
  EXPECT_EQ(v.Clock(), static_cast<std::uint32_t>(CLOCK_NONE));
  // The edges of each range, and what a signed or wrapped number looks like.
  for (std::uint32_t stored : {0u, 1u, 99u, 100u}) {
    v.TakeVolume(stored);
    EXPECT_EQ(v.Volume(), stored);
  }
  for (std::uint32_t stored : {101u, 1000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    v.TakeVolume(0);
    v.TakeVolume(stored);
    EXPECT_EQ(v.Volume(), 100u) << stored;
  }
  for (std::uint32_t stored : {0u, 1u, 45u, 24u * 60}) {
    v.TakeSoundMinutes(stored);
    v.TakeSoundChange(stored);
    EXPECT_EQ(v.SoundMinutes(), stored);
    EXPECT_EQ(v.SoundChange(), stored);
  }
  for (std::uint32_t stored : {24u * 60 + 1, 0x80000000u, 0xFFFFFFFFu}) {
    v.TakeSoundMinutes(30);
    v.TakeSoundChange(5);
    v.TakeSoundMinutes(stored);
    v.TakeSoundChange(stored);
    EXPECT_EQ(v.SoundMinutes(), 0u) << stored;
    EXPECT_EQ(v.SoundChange(), 0u) << stored;
  }
  for (std::uint32_t stored : {0u, 1u, 2u}) {
    v.TakeClock(stored);
    EXPECT_EQ(v.Clock(), stored);
  }
  for (std::uint32_t stored : {3u, 0xFFFFFFFFu}) {
    v.TakeClock(CLOCK_TIME);
    v.TakeClock(stored);
    EXPECT_EQ(v.Clock(), static_cast<std::uint32_t>(CLOCK_NONE)) << stored;
  }
}

TEST(SettingsValues, FillAndSameSceneTakeOnlyWhatTheSaverReads) {
  SettingsValues v;
  for (std::uint32_t stored : {0u, 1u, 2u}) {
    v.TakeFillScreen(stored);
    EXPECT_EQ(v.FillScreen(), stored);
  }
  // Past the last mode, and negative numbers as a DWORD holds them.
  for (std::uint32_t stored : {3u, 255u, 0x80000000u, 0xFFFFFFFFu}) {
    v.TakeFillScreen(FILL_EDGE);
    v.TakeFillScreen(stored);
    EXPECT_EQ(v.FillScreen(), static_cast<std::uint32_t>(FILL_CENTRED)) << stored;
  }
  v.TakeSameScene(1);
  EXPECT_TRUE(v.SameScene());
  for (std::uint32_t stored : {0u, 2u, 0x101u, 0xFFFFFFFFu}) {
    v.TakeSameScene(1);
    v.TakeSameScene(stored);
    EXPECT_FALSE(v.SameScene()) << stored;
  }
}

TEST(SettingsValues, EditingFillAndSameScene) {
  SettingsValues a, b;
  EXPECT_TRUE(a.SetFillScreen(FILL_EDGE));
  EXPECT_NE(a, b);  // a change the dialog must store
  EXPECT_FALSE(a.SetFillScreen(3));
  EXPECT_EQ(a.FillScreen(), static_cast<std::uint32_t>(FILL_EDGE));
  EXPECT_TRUE(a.SetFillScreen(FILL_CENTRED));
  EXPECT_EQ(a, b);
  a.SetSameScene(true);
  EXPECT_NE(a, b);
  a.SetSameScene(false);
  EXPECT_EQ(a, b);
  // The three choices, edge to edge first, each one the saver takes.
  EXPECT_EQ(kFillChoices[0], static_cast<std::uint32_t>(FILL_EDGE));
  std::set<std::uint32_t> offered;
  for (std::uint32_t fill : kFillChoices) {
    EXPECT_TRUE(a.SetFillScreen(fill));
    offered.insert(fill);
  }
  EXPECT_EQ(offered.size(), static_cast<std::size_t>(kMaxFillScreen + 1));
}

TEST(SettingsValues, EditingSoundAndClock) {
  SettingsValues a, b;
  a.SetVolume(40);
  EXPECT_EQ(a.Volume(), 40u);
  EXPECT_NE(a, b);
  a.SetVolume(250);  // past the end of the slider
  EXPECT_EQ(a.Volume(), 100u);
  EXPECT_EQ(a, b);

  EXPECT_TRUE(a.SetSoundMinutes(30));
  EXPECT_NE(a, b);
  EXPECT_FALSE(a.SetSoundMinutes(24 * 60 + 1));
  EXPECT_EQ(a.SoundMinutes(), 30u);
  EXPECT_TRUE(a.SetSoundMinutes(0));
  EXPECT_TRUE(a.SetSoundChange(5));
  EXPECT_NE(a, b);
  EXPECT_FALSE(a.SetSoundChange(0xFFFFFFFF));
  EXPECT_EQ(a.SoundChange(), 5u);
  EXPECT_TRUE(a.SetSoundChange(0));
  EXPECT_EQ(a, b);

  EXPECT_TRUE(a.SetClock(CLOCK_TIME_AND_DATE));
  EXPECT_NE(a, b);
  EXPECT_FALSE(a.SetClock(3));
  EXPECT_EQ(a.Clock(), static_cast<std::uint32_t>(CLOCK_TIME_AND_DATE));
  EXPECT_TRUE(a.SetClock(CLOCK_NONE));
  EXPECT_EQ(a, b);
}

TEST(SettingsValues, OfferedSoundChoicesAndOthers) {
  EXPECT_EQ(SoundChoiceIndex(kSoundMinutesChoices, 0), 0);  // as long as it runs, first
  EXPECT_EQ(SoundChoiceIndex(kSoundMinutesChoices, 60), 3);
  EXPECT_EQ(SoundChoiceIndex(kSoundChangeChoices, 0), 0);  // never, first
  EXPECT_EQ(SoundChoiceIndex(kSoundChangeChoices, 1), 1);
  EXPECT_EQ(SoundChoiceIndex(kSoundMinutesChoices, 45), kSoundChoiceCount);
  EXPECT_EQ(SoundChoiceIndex(kSoundChangeChoices, 24 * 60), kSoundChoiceCount);
  // Every offered choice is one the saver takes.
  for (std::uint32_t m : kSoundMinutesChoices) EXPECT_TRUE(SettingsValues().SetSoundMinutes(m));
  for (std::uint32_t m : kSoundChangeChoices) EXPECT_TRUE(SettingsValues().SetSoundChange(m));
}

TEST(SettingsNames, EverySpeciesAndSceneHasItsOwnName) {
  std::set<std::string> species, scenes;
  for (int i = 0; i < 17; ++i) species.insert(SpeciesLabel(i));
  for (int i = 0; i < 8; ++i) scenes.insert(SceneLabel(i));
  EXPECT_EQ(species.size(), 17u);
  EXPECT_EQ(scenes.size(), 8u);
  EXPECT_EQ(SpeciesLabel(17), nullptr);
  EXPECT_EQ(SceneLabel(-1), nullptr);
  EXPECT_STREQ(SpeciesLabel(0), "Clown fish");
  EXPECT_STREQ(SpeciesLabel(1), "Loggerhead turtle");
}
