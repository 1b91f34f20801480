#include "settings/saver_preview.h"

#include <cstring>

#include "gfx/debug_log.h"
#include "settings/settings_store.h"

namespace {

constexpr const char* kSaverFile = "tidewater.scr";

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// folder + "\" + the saver's file name, when it is there.
bool SaverIn(const char* folder, UINT length, char (&path)[MAX_PATH]) {
  if (length == 0 || length + 1 + std::strlen(kSaverFile) >= MAX_PATH) return false;
  wsprintfA(path, "%s\\%s", folder, kSaverFile);
  return Exists(path);
}

// The installed saver lives in the system folder; a saver beside this
// program (an unpacked copy) is the next choice.
bool FindSaver(char (&path)[MAX_PATH]) {
  char folder[MAX_PATH];
  if (SaverIn(folder, GetSystemDirectoryA(folder, MAX_PATH), path)) return true;
  if (SaverIn(folder, GetWindowsDirectoryA(folder, MAX_PATH), path)) return true;
  DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char* slash = std::strrchr(folder, '\\');
  if (!slash) return false;
  *slash = '\0';
  return SaverIn(folder, static_cast<UINT>(slash - folder), path);
}

}  // namespace

SaverPreview::~SaverPreview() {
  if (!process_.hProcess) return;
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
  PutBack();
}

bool SaverPreview::Start(const SettingsValues& values) {
  if (process_.hProcess) return false;
  char saver[MAX_PATH];
  if (!FindSaver(saver)) return false;
  char command[MAX_PATH + 8];
  wsprintfA(command, "\"%s\" /s", saver);
  Keep();
  SaveSettings(values);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  DebugLog("Tidewater settings: preview %s\n", command);
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    process_ = {};
    PutBack();
    return false;
  }
  return true;
}

bool SaverPreview::Finished() {
  if (!process_.hProcess) return true;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) return false;
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
  process_ = {};
  PutBack();
  DebugLog("Tidewater settings: preview ended\n");
  return true;
}

void SaverPreview::Keep() {
  kept_.clear();
  HKEY key = nullptr;
  bool open = RegOpenKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, KEY_QUERY_VALUE, &key) ==
              ERROR_SUCCESS;
  for (const char* name : kUserValueNames) {
    KeptValue value;
    value.name = name;
    DWORD size = 0;
    if (open && RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) ==
                    ERROR_SUCCESS) {
      value.data.resize(size);
      value.present = RegQueryValueExA(key, name, nullptr, &value.type,
                                       size ? value.data.data() : nullptr,
                                       &size) == ERROR_SUCCESS;
      value.data.resize(size);
    }
    kept_.push_back(std::move(value));
  }
  keyExisted_ = open;
  if (open) RegCloseKey(key);
}

// Puts every kept value back; a key that did not exist before goes again.
void SaverPreview::PutBack() {
  if (!keyExisted_) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kConfigKey);
    kept_.clear();
    return;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  for (const KeptValue& value : kept_) {
    if (value.present)
      RegSetValueExA(key, value.name.c_str(), 0, value.type,
                     value.data.empty() ? nullptr : value.data.data(),
                     static_cast<DWORD>(value.data.size()));
    else
      RegDeleteValueA(key, value.name.c_str());
  }
  RegCloseKey(key);
  kept_.clear();
}
