// Reading and writing the user's settings in the registry (target only):
// HKEY_CURRENT_USER, the saver's configuration key, the saver's value names
// and types. "DATAPATH" belongs to the installer and is never written.
#pragma once

#include <windows.h>

#include "settings/settings_values.h"

// Every value this program writes.
constexpr const char* kUserValueNames[] = {
    kFishesValue,     kDisplayValue, kCustomFileValue, kMuteValue, kFillScreenValue,
    kCustomTextValue, kFontValue,    kFontColourValue, kVolumeValue, kSoundMinutesValue,
    kSoundChangeValue, kClockValue, kSameSceneValue};

// What is stored, as the dialog shows it: absent and unusable values give
// the defaults.
SettingsValues LoadSettings();

// Writes every user value. False when the key could not be opened or a value
// could not be written.
[[nodiscard]] bool SaveSettings(const SettingsValues& values);
