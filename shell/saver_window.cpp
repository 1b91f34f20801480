#include "shell/saver_window.h"

#include "gfx/debug_log.h"
#include "scene/scene_window.h"
#include "shell/default_saver_proc.h"
#include "shell/shell_state.h"

namespace {

constexpr int kIconResource = 100;

bool IsInput(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return true;
  }
  return false;
}

bool IsSwitchCommand(WPARAM command) {
  // The low four bits of a system command are the system's own.
  WPARAM c = command & 0xFFF0;
  return c == SC_NEXTWINDOW || c == SC_PREVWINDOW || c == SC_SCREENSAVE;
}

}  // namespace

std::int32_t RunSaverWindow(HWND parent) {
  WNDCLASSA saverClass = {};
  saverClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  saverClass.lpfnWndProc = SaverWindowProc;
  saverClass.hInstance = gShell.instance;
  saverClass.hIcon = LoadIconA(gShell.instance, MAKEINTRESOURCEA(kIconResource));
  saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  saverClass.lpszClassName = kSaverClassName;

  int left = 0, top = 0, width, height;
  DWORD style, exStyle = 0;
  const char* title;
  if (parent) {
    RECT client = {};
    GetClientRect(parent, &client);
    width = client.right;
    height = client.bottom;
    style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    title = kPreviewTitle;
    gShell.preview = true;
  } else {
    // Every monitor: the virtual screen (the primary screen alone when there
    // is one monitor).
    left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    exStyle = WS_EX_TOPMOST;
    title = kFullScreenTitle;
    HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
    if (running && IsWindow(running)) {
      SetForegroundWindow(running);
      return 0;
    }
    LoadPasswordSupport();
  }

  if (RegisterClassA(&saverClass)) {
    gShell.saverWindow = CreateWindowExA(exStyle, kSaverClassName, title, style, left, top,
                                         width, height, parent, nullptr, gShell.instance, nullptr);
  }
  MSG msg = {};
  if (gShell.saverWindow) {
    if (!parent) SetForegroundWindow(gShell.saverWindow);
    // From here on input reaches the saver; tests wait for this line.
    DebugLog("Tidewater: %s window ready\n", parent ? "preview" : "full-screen");
    // GetMessageA gives -1 on failure: that ends the loop as well.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  UnloadPasswordSupport();
  return static_cast<std::int32_t>(msg.wParam);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      DetachInputMethod(window);
      break;
    case WM_DESTROY:
      RestoreInputMethod(window);
      PostQuitMessage(0);
      break;
    case WM_SETTEXT:
      return 0;
    case WM_PAINT:
      if (gShell.closing) return DefWindowProcA(window, message, wParam, lParam);
      if (!gShell.preview) SetCursor(nullptr);
      break;
    case WM_HELP:
    case WM_CONTEXTMENU:
      if (gShell.preview) {
        HWND parent = GetParent(window);
        if (parent && IsWindow(parent))
          PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
        return 1;
      }
      break;
    case WM_SYSCOMMAND:
      if (!gShell.preview && IsSwitchCommand(wParam)) return 0;
      break;
    case WM_TIMER:
      if (gShell.closing) return 0;
      Sleep(0);
      break;
    default:
      if (IsInput(message) && gShell.closing)
        return DefWindowProcA(window, message, wParam, lParam);
      break;
  }
  return ScreenSaverProc(window, message, wParam, lParam);
}

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  SceneHandleMessage(window, message, wParam, lParam);
  return DefaultSaverProc(window, message, wParam, lParam);
}
