// Test host for the saver's preview mode: makes a top-level window whose
// handle a test passes to "/p", prints that handle in decimal, keeps the
// window for a while, then destroys it (which ends a preview inside it).
//
//   preview_host WIDTH HEIGHT SECONDS
// WIDTH 0 makes a borderless window whose client area is the whole screen.
// The window takes the foreground when it appears, which also deactivates a
// full-screen saver that runs.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP || message == WM_CONTEXTMENU) {
    std::printf("host got %s wParam %lu\n", message == WM_HELP ? "WM_HELP" : "WM_CONTEXTMENU",
                static_cast<unsigned long>(wParam));
    std::fflush(stdout);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: preview_host WIDTH HEIGHT SECONDS\n");
    return 2;
  }
  int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  DWORD lifetime = static_cast<DWORD>(std::atof(argv[3]) * 1000);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA hostClass = {};
  hostClass.lpfnWndProc = HostProc;
  hostClass.hInstance = instance;
  hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  hostClass.lpszClassName = "TidewaterPreviewHost";
  if (!RegisterClassA(&hostClass)) return 1;

  DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  RECT frame = {0, 0, width, height};
  if (width == 0) {
    style = WS_POPUP | WS_VISIBLE;
    frame = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  } else {
    AdjustWindowRect(&frame, style, FALSE);
  }
  HWND window = CreateWindowExA(0, hostClass.lpszClassName, "Preview host", style, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  SetForegroundWindow(window);
  std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
  std::fflush(stdout);

  DWORD start = GetTickCount();
  for (DWORD elapsed; (elapsed = GetTickCount() - start) < lifetime;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, lifetime - elapsed, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  DestroyWindow(window);
  return 0;
}
