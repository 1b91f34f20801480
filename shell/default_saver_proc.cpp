#include "shell/default_saver_proc.h"

#include "gfx/debug_log.h"
#include "gfx/read_reg.h"
#include "shell/dismissal_rules.h"
#include "shell/shell_state.h"

namespace {

void RequestClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void OnMouseMove(HWND window) {
  POINT now;
  if (!GetCursorPos(&now)) return;
  if (!MovedPastThreshold(gShell.savedCursor.x, gShell.savedCursor.y, now.x, now.y)) return;
  RequestClose(window);
  gShell.savedCursor = now;
}

// Takes the queued ticks out of the way of the dialog. The tick chain lives
// on its one queued WM_TIMER (each tick arms the next), so a tick taken here
// is put back at once: the scene goes on moving behind the dialog instead of
// stopping for good.
void SetQueuedTicksAside(HWND window) {
  MSG msg;
  int taken = 0;
  for (int i = 0; i < 2; ++i)
    taken += PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD) != 0;
  if (taken) PostMessageA(window, WM_TIMER, 0, 0);
}

}  // namespace

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gShell.preview || gShell.closing) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_CLOSE) {
    if (gShell.legacyPlatform && !VerifyOnClose(window)) {
      GetCursorPos(&gShell.savedCursor);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == kVerifyPasswordMessage) {
    if (!gShell.legacyPlatform) return DefWindowProcA(window, message, wParam, lParam);
    return gShell.verify ? gShell.verify(window) : 1;
  }
  if (gShell.verifying) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam) SetCursor(nullptr);
      break;
    case WM_ACTIVATEAPP:
      if (!wParam) RequestClose(window);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      RequestClose(window);
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(window);
      break;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

BOOL VerifyOnClose(HWND window) {
  if (gShell.verifying) {
    DebugLog("Tidewater: close refused while the password dialog is up\n");
    return FALSE;
  }
  if (gShell.closing) return FALSE;
  if (!gShell.verify) {
    gShell.closing = true;
    return TRUE;
  }
  if (WithinRefusalWindow(gShell.lastVerification, GetTickCount())) {
    DebugLog("Tidewater: close refused again without asking\n");
    return gShell.closing;
  }
  gShell.verifying = true;
  SetQueuedTicksAside(window);
  gShell.closing = SendMessageA(window, kVerifyPasswordMessage, 0, 0) != 0;
  gShell.verifying = false;
  if (!gShell.closing) SetCursor(nullptr);
  gShell.lastVerification = GetTickCount();
  DebugLog("Tidewater: password %s\n", gShell.closing ? "verified" : "refused");
  return gShell.closing;
}

void LoadPasswordSupport() {
  if (!gShell.legacyPlatform) return;
  if (gShell.passwordLibrary) UnloadPasswordSupport();
  if (ReadRegDword(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", 0) == 0)
    return;
  gShell.passwordLibrary = LoadLibraryA("PASSWORD.CPL");
  if (!gShell.passwordLibrary) return;
  gShell.verify = reinterpret_cast<VerifyPasswordEntry>(
      reinterpret_cast<void*>(GetProcAddress(gShell.passwordLibrary, "VerifyScreenSavePwd")));
  if (gShell.verify)
    ScreenSaverRunningNotice(TRUE);
  else
    UnloadPasswordSupport();
}

void UnloadPasswordSupport() {
  if (!gShell.legacyPlatform) return;
  if (gShell.passwordLibrary) {
    FreeLibrary(gShell.passwordLibrary);
    gShell.passwordLibrary = nullptr;
  }
  if (gShell.verify) {
    gShell.verify = nullptr;
    ScreenSaverRunningNotice(FALSE);
  }
}

void ScreenSaverRunningNotice(BOOL value) {
  if (!gShell.legacyPlatform) return;
  BOOL previous = FALSE;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, value, &previous, 0);
  DebugLog("Tidewater: screen saver running notice %d\n", value ? 1 : 0);
}

void ChangePassword(HWND window) {
  HMODULE library = LoadLibraryA("MPR.DLL");
  if (!library) return;
  auto change = reinterpret_cast<ChangePasswordEntry>(
      reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
  if (change) change("SCRSAVE", window, 0, 0);
  FreeLibrary(library);
}

void DetachInputMethod(HWND window) {
  gShell.inputMethodLibrary = GetModuleHandleA("IMM32.DLL");
  if (gShell.inputMethodLibrary) {
    gShell.associate = reinterpret_cast<AssociateContextEntry>(reinterpret_cast<void*>(
        GetProcAddress(gShell.inputMethodLibrary, "ImmAssociateContext")));
    if (gShell.associate) gShell.savedContext = gShell.associate(window, nullptr);
  }
  GetCursorPos(&gShell.savedCursor);
  if (!gShell.preview) SetCursor(nullptr);
}

void RestoreInputMethod(HWND window) {
  if (gShell.inputMethodLibrary && gShell.associate && gShell.savedContext)
    gShell.associate(window, gShell.savedContext);
}
