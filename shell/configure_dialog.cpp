// The settings launcher: the configuration mode's dialog starts the settings
// program from the data directory with " -t", hides itself at the first tick
// and polls the program's exit code until it has ended.
#include "shell/configure_dialog.h"

#include <cstring>

#include "gfx/debug_log.h"
#include "scene/config.h"

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriodMs = 200;
constexpr WORD kEndWithOne = 1000;
constexpr WORD kEndWithZero = 1001;
constexpr const char* kSettingsProgram = "animated tidewater.exe";
constexpr const char* kSettingsArgument = " -t";
constexpr const char* kCannotStartMessage = "Unable to locate RERADOR!";

// The one launch of this process.
struct Launch {
  PROCESS_INFORMATION process = {};
  UINT_PTR timer = 0;
};
Launch gLaunch;

// Appends text to a NUL-terminated buffer, cutting what does not fit.
void Append(char (&buffer)[kConfigTextSize], const char* text) {
  size_t used = std::strlen(buffer);
  lstrcpynA(buffer + used, text, static_cast<int>(sizeof buffer - used));
}

// "DATAPATH" followed directly by the program's name (the stored path ends
// with its backslash), in its short form, then the argument. A path with no
// short form (it does not exist) stays as it is; starting it then fails.
void BuildCommandLine(char (&command)[kConfigTextSize]) {
  char path[kConfigTextSize];
  ReadConfigText(HKEY_LOCAL_MACHINE, kDataPathValue, path);
  Append(path, kSettingsProgram);
  DWORD shortLength = GetShortPathNameA(path, command, sizeof command);
  if (shortLength == 0 || shortLength >= sizeof command) lstrcpynA(command, path, sizeof command);
  Append(command, kSettingsArgument);
}

void StartSettingsProgram(HWND dialog) {
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  static_assert(sizeof(STARTUPINFOA) == 68, "the start-up record");
  char command[kConfigTextSize];
  BuildCommandLine(command);
  DebugLog("Tidewater: starting settings: %s\n", command);
  if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &gLaunch.process)) {
    gLaunch.timer = SetTimer(dialog, kPollTimer, kPollPeriodMs, nullptr);
    return;
  }
  DebugLog("Tidewater: settings program not started, error %u\n",
           static_cast<unsigned>(GetLastError()));
  MessageBoxA(dialog, kCannotStartMessage, nullptr, MB_ICONWARNING);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void PollSettingsProgram(HWND dialog) {
  if (IsWindowVisible(dialog)) DebugLog("Tidewater: settings dialog hidden at tick %u\n", GetTickCount());
  ShowWindow(dialog, SW_HIDE);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(gLaunch.process.hProcess, &code);
  if (code != STILL_ACTIVE) {
    DebugLog("Tidewater: settings program ended with %u, seen at tick %u\n",
             static_cast<unsigned>(code), GetTickCount());
    EndDialog(dialog, 1);
  }
}

}  // namespace

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      DebugLog("Tidewater: settings dialog, owner %u, at tick %u\n",
               static_cast<unsigned>(reinterpret_cast<UINT_PTR>(GetWindow(dialog, GW_OWNER))),
               GetTickCount());
      StartSettingsProgram(dialog);
      return 1;
    case WM_TIMER:
      PollSettingsProgram(dialog);
      return 0;
    case WM_COMMAND: {
      WORD id = LOWORD(wParam);
      if (id == kEndWithOne || id == kEndWithZero) {
        EndDialog(dialog, id == kEndWithOne ? 1 : 0);
        return 1;
      }
      // Any other command (the dialog's Escape among them) leaves the polling
      // alone: without it the hidden dialog would wait for ever.
      return 0;
    }
    case WM_CLOSE:
      EndDialog(dialog, LOWORD(wParam) == kEndWithOne ? 1 : 0);
      return 1;
    case WM_DESTROY:
      KillTimer(dialog, gLaunch.timer);
      return 0;
  }
  return 0;
}
