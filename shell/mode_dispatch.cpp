#include "shell/mode_dispatch.h"

#include "shell/command_line.h"
#include "shell/configure_dialog.h"
#include "shell/default_saver_proc.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"

namespace {

HWND WindowFrom(std::uint32_t handle) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
}

bool IsValidWindow(HWND window) { return window && IsWindow(window); }

std::int32_t ShowConfigureDialog(HWND owner) {
  return static_cast<std::int32_t>(DialogBoxParamA(gShell.instance,
                                                   MAKEINTRESOURCEA(kConfigureDialogResource),
                                                   owner, ScreenSaverConfigureDialog, 0));
}

bool IsLegacyPlatform() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// A fault that nothing else handles still tells the system that no saver is
// running, so its system keys are not left blocked; the platform's own
// handling then decides what becomes of the process.
LONG WINAPI OnUnhandledFault(EXCEPTION_POINTERS*) {
  ScreenSaverRunningNotice(FALSE);
  return EXCEPTION_CONTINUE_SEARCH;
}

class FaultGuard {
 public:
  FaultGuard() : previous_(SetUnhandledExceptionFilter(OnUnhandledFault)) {}
  ~FaultGuard() { SetUnhandledExceptionFilter(previous_); }
  FaultGuard(const FaultGuard&) = delete;
  FaultGuard& operator=(const FaultGuard&) = delete;

 private:
  LPTOP_LEVEL_EXCEPTION_FILTER previous_;
};

}  // namespace

std::int32_t DispatchMode(HINSTANCE instance, const char* arguments) {
  gShell.instance = instance;
  gShell.legacyPlatform = IsLegacyPlatform();
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query's structure");
  FaultGuard guard;
  SaverCommand command = ParseSaverArguments(arguments);
  switch (command.mode) {
    case SaverMode::kConfigure:
      return ShowConfigureDialog(nullptr);
    case SaverMode::kConfigureOwned:
      return ShowConfigureDialog(GetForegroundWindow());
    case SaverMode::kFullScreen:
      return RunSaverWindow(nullptr);
    case SaverMode::kPreview: {
      HWND parent = WindowFrom(command.window);
      if (!IsValidWindow(parent)) return -1;
      return RunSaverWindow(parent);
    }
    case SaverMode::kChangePassword: {
      if (!gShell.legacyPlatform) return -1;
      HWND window = WindowFrom(command.window);
      ChangePassword(IsValidWindow(window) ? window : GetForegroundWindow());
      return 0;
    }
    case SaverMode::kUnknown:
      break;
  }
  return -1;
}
