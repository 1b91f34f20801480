// "animated tidewater.exe": the saver's settings program. The saver starts
// it with "-t"; it behaves the same when started without.
#include <windows.h>
#include <commctrl.h>

#include "gfx/debug_log.h"
#include "settings/settings_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  DebugLog("Tidewater settings: command line [%s]\n", GetCommandLineA());
  InitCommonControls();
  SettingsDialog dialog(instance);
  INT_PTR result = dialog.Run();
  DebugLog("Tidewater settings: closed with %s at tick %u\n", result == IDOK ? "OK" : "Cancel",
           GetTickCount());
  return 0;
}
