// Test helper: delivers a power event to the running full-screen saver, as
// its trace build understands it (scene/tick_trace.h): posts the registered
// message "TidewaterTestPower" to the "Screen Saver" window.
//
//   post_power off|on|dim|suspend|resume   -> exit 0 once posted
//                                             exit 1 when no saver window is found
//                                             exit 2 for another argument
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  static const char* const kEvents[] = {"off", "on", "dim", "suspend", "resume"};
  if (argc != 2) return 2;
  WPARAM event = 5;
  for (WPARAM i = 0; i < 5; ++i)
    if (std::strcmp(argv[1], kEvents[i]) == 0) event = i;
  if (event == 5) return 2;
  HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
  if (!saver) {
    std::fprintf(stderr, "post_power: no saver window\n");
    return 1;
  }
  const UINT message = RegisterWindowMessageA("TidewaterTestPower");
  // The index is the code: display states 0 (off), 1 (on), 2 (dimmed); 3 suspend, 4 resume.
  return PostMessageA(saver, message, event, 0) ? 0 : 1;
}
