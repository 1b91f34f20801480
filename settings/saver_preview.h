// SaverPreview: runs the saver full screen with values that are still being
// edited (target only). The saver reads its settings from the registry, so
// the values stored now are kept aside, the edited ones written, and the
// kept ones put back exactly (types, bytes, absence) when the saver ends.
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

  // False, with the registry untouched, when no saver was found or it did
  // not start.
  bool Start(const SettingsValues& values);
  // True once the saver has ended; the stored values are back by then.
  bool Finished();

 private:
  struct KeptValue {
    std::string name;
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
  };

  void Keep();
  void PutBack();

  std::vector<KeptValue> kept_;
  bool keyExisted_ = false;
  PROCESS_INFORMATION process_ = {};
};
