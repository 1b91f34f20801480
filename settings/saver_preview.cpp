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

SaverPreview::StartResult SaverPreview::Start(const SettingsValues& values) {
  if (process_.hProcess) return StartResult::kNotStarted;
  char saver[MAX_PATH];
  if (!FindSaver(saver)) return StartResult::kNoSaver;
  char command[MAX_PATH + 8];
  wsprintfA(command, "\"%s\" /s", saver);
  // Values that could not be read could not be put back either.
  if (!Keep()) {
    kept_.clear();
    return StartResult::kNotStored;
  }
  if (!SaveSettings(values)) {
    DebugLog("Tidewater settings: the edited values could not be stored; no preview\n");
    PutBack();
    return StartResult::kNotStored;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  DebugLog("Tidewater settings: preview %s\n", command);
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    process_ = {};
    PutBack();
    return StartResult::kNotStarted;
  }
  return StartResult::kStarted;
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

// Reads one value into `value`: present with its type and bytes, or absent.
// False when it is there but could not be read.
bool SaverPreview::KeepValue(HKEY key, KeptValue& value) {
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, value.name.c_str(), nullptr, &value.type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) return true;
  if (status == ERROR_SUCCESS) {
    value.data.resize(size);
    status = RegQueryValueExA(key, value.name.c_str(), nullptr, &value.type,
                              size ? value.data.data() : nullptr, &size);
  }
  if (status != ERROR_SUCCESS) {
    DebugLog("Tidewater settings: the stored value %s could not be read (error %ld)\n",
             value.name.c_str(), status);
    return false;
  }
  value.data.resize(size);
  value.present = true;
  return true;
}

// Keeps every user value as it is stored; false when the key or a value is
// there but could not be read.
bool SaverPreview::Keep() {
  kept_.clear();
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, KEY_QUERY_VALUE, &key);
  keyExisted_ = opened == ERROR_SUCCESS;
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (!keyExisted_) {
    DebugLog("Tidewater settings: the stored settings could not be read (error %ld)\n", opened);
    return false;
  }
  bool ok = true;
  for (const char* name : kUserValueNames) {
    KeptValue value;
    value.name = name;
    ok = KeepValue(key, value) && ok;
    kept_.push_back(std::move(value));
  }
  RegCloseKey(key);
  return ok;
}

// Puts every kept value back; a key that did not exist before goes again.
// Whatever could not be put back is logged, value by value.
void SaverPreview::PutBack() {
  if (!keyExisted_) {
    const LONG deleted = RegDeleteKeyA(HKEY_CURRENT_USER, kConfigKey);
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
      DebugLog("Tidewater settings: the previewed settings could not be removed (error %ld)\n",
               deleted);
    kept_.clear();
    return;
  }
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, kConfigKey, 0, KEY_SET_VALUE, &key);
  if (opened != ERROR_SUCCESS) {
    DebugLog("Tidewater settings: the stored settings could not be put back (error %ld)\n",
             opened);
    kept_.clear();
    return;
  }
  for (const KeptValue& value : kept_) {
    LONG status = ERROR_SUCCESS;
    if (value.present) {
      status = RegSetValueExA(key, value.name.c_str(), 0, value.type,
                              value.data.empty() ? nullptr : value.data.data(),
                              static_cast<DWORD>(value.data.size()));
    } else {
      status = RegDeleteValueA(key, value.name.c_str());
      if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS)
      DebugLog("Tidewater settings: the stored value %s could not be put back (error %ld)\n",
               value.name.c_str(), status);
  }
  RegCloseKey(key);
  kept_.clear();
}
