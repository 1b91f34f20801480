// Stand-in until the settings launcher exists: the dialog logs its owner and
// ends itself after a short wait with 0, the result of a settings program
// that could not be started.
#include "shell/configure_dialog.h"

#include "gfx/debug_log.h"

namespace {

constexpr UINT_PTR kEndTimer = 1;
constexpr UINT kEndDelayMs = 200;

}  // namespace

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      DebugLog("Tidewater: settings dialog, owner %u\n",
               static_cast<unsigned>(reinterpret_cast<UINT_PTR>(GetWindow(dialog, GW_OWNER))));
      SetTimer(dialog, kEndTimer, kEndDelayMs, nullptr);
      return 1;
    case WM_TIMER:
      KillTimer(dialog, kEndTimer);
      EndDialog(dialog, 0);
      return 0;
  }
  return 0;
}
