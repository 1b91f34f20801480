// SaverPreview: runs the saver full screen with values that are still being
// edited (target only). The saver reads its settings from the registry, so
// the values stored now are kept aside, the edited ones written, and the
// kept ones put back exactly (types, bytes, absence) when the saver ends. A
// value that cannot be put back is logged (DebugLog) by its name.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings_values.h"

class SaverPreview {
 public:
  SaverPreview() = default;
  SaverPreview(const SaverPreview&) = delete;
  SaverPreview& operator=(const SaverPreview&) = delete;
  ~SaverPreview();

  enum class StartResult {
    kStarted,
    kNoSaver,     // no tidewater.scr found; the registry untouched
    kNotStored,   // the stored values could not be kept aside, or the edited
                  // ones not written; the kept ones are back
    kNotStarted,  // the saver did not start; the kept values are back
  };
  [[nodiscard]] StartResult Start(const SettingsValues& values);
  // True once the saver has ended; the stored values are back by then.
  bool Finished();

 private:
  struct KeptValue {
    std::string name;
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
  };

  [[nodiscard]] bool Keep();
  [[nodiscard]] static bool KeepValue(HKEY key, KeptValue& value);
  void PutBack();

  std::vector<KeptValue> kept_;
  bool keyExisted_ = false;
  PROCESS_INFORMATION process_ = {};
};
