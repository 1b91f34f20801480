#include "settings/settings_store.h"

#include <cstring>

SettingsValues LoadSettings() {
  SettingsValues values;
  values.TakeFishes(ReadConfigNumber(kFishesValue, values.Fishes()));
  values.TakeDisplay(static_cast<std::int32_t>(
      ReadConfigNumber(kDisplayValue, static_cast<std::uint32_t>(values.Display()))));
  values.TakeMute(ReadConfigNumber(kMuteValue, values.Mute() ? 1 : 0));
  values.TakeFillScreen(ReadConfigNumber(kFillScreenValue, values.FillScreen()));
  values.TakeSameScene(ReadConfigNumber(kSameSceneValue, values.SameScene() ? 1 : 0));
  values.TakeVolume(ReadConfigNumber(kVolumeValue, values.Volume()));
  values.TakeSoundMinutes(ReadConfigNumber(kSoundMinutesValue, values.SoundMinutes()));
  values.TakeSoundChange(ReadConfigNumber(kSoundChangeValue, values.SoundChange()));
  values.TakeClock(ReadConfigNumber(kClockValue, values.Clock()));
  char text[kConfigTextSize];
  ReadConfigText(HKEY_CURRENT_USER, kCustomFileValue, text);
  values.TakeCustomFile(text);
  ReadConfigText(HKEY_CURRENT_USER, kCustomTextValue, text);
  values.TakeCustomText(text);
  ReadConfigText(HKEY_CURRENT_USER, kFontValue, text);
  values.TakeFontText(text);
  values.TakeFontColour(ReadConfigNumber(kFontColourValue, values.FontColour()));
  values.FinishTaking();
  return values;
}

namespace {

bool WriteNumber(HKEY key, const char* name, std::uint32_t value) {
  DWORD data = value;
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof data) == ERROR_SUCCESS;
}

bool WriteText(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

}  // namespace

bool SaveSettings(const SettingsValues& values) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  char font[kFontTextSize];
  values.FontText(font);
  bool ok = WriteNumber(key, kFishesValue, values.Fishes());
  ok = WriteNumber(key, kDisplayValue, static_cast<std::uint32_t>(values.Display())) && ok;
  ok = WriteText(key, kCustomFileValue, values.CustomFile()) && ok;
  ok = WriteNumber(key, kMuteValue, values.Mute() ? 1 : 0) && ok;
  ok = WriteNumber(key, kFillScreenValue, values.FillScreen()) && ok;
  ok = WriteNumber(key, kSameSceneValue, values.SameScene() ? 1 : 0) && ok;
  ok = WriteText(key, kCustomTextValue, values.CustomText()) && ok;
  ok = WriteText(key, kFontValue, font) && ok;
  ok = WriteNumber(key, kFontColourValue, values.FontColour()) && ok;
  ok = WriteNumber(key, kVolumeValue, values.Volume()) && ok;
  ok = WriteNumber(key, kSoundMinutesValue, values.SoundMinutes()) && ok;
  ok = WriteNumber(key, kSoundChangeValue, values.SoundChange()) && ok;
  ok = WriteNumber(key, kClockValue, values.Clock()) && ok;
  RegCloseKey(key);
  return ok;
}
