// Process entry: the command line after the program name picks the mode, and
// the mode's result is the exit code. Returning from WinMain ends the process
// through the runtime, which also runs the static destructors (the frame
// timer, the rectangle lists).
#include <windows.h>

#include "shell/command_line.h"
#include "shell/mode_dispatch.h"

namespace {

const char* NextCharacter(const char* text) { return CharNextA(text); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* arguments = SkipProgramName(GetCommandLineA(), NextCharacter);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  // The show command is passed on by convention; the saver does not use it.
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  (void)show;
  return DispatchMode(GetModuleHandleA(nullptr), arguments);
}
