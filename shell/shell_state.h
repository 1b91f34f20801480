#pragma once
// The shell's single process-wide state: what mode dispatch recorded, the
// saver window, and the dismissal and password bookkeeping.

#include <windows.h>
#include <imm.h>

#include "shell/dismissal_rules.h"

// "VerifyScreenSavePwd" of PASSWORD.CPL: non-zero when the password was verified.
using VerifyPasswordEntry = BOOL(WINAPI*)(HWND window);
// "PwdChangePasswordA" of MPR.DLL.
using ChangePasswordEntry = DWORD(WINAPI*)(LPCSTR provider, HWND window, DWORD, DWORD);
// "ImmAssociateContext" of IMM32.DLL.
using AssociateContextEntry = HIMC(WINAPI*)(HWND window, HIMC context);

constexpr const char* kSaverClassName = "WindowsScreenSaverClass";
constexpr const char* kFullScreenTitle = "Screen Saver";
constexpr const char* kPreviewTitle = "Preview";
// Sent by verify-on-close to the saver window; answered with the verify
// entry's result.
constexpr UINT kVerifyPasswordMessage = WM_APP;

struct ShellState {
  HINSTANCE instance = nullptr;
  // The version query reports platform 1 (VER_PLATFORM_WIN32_WINDOWS): the
  // password support, the password change and the running notice apply.
  bool legacyPlatform = false;
  bool preview = false;
  HWND saverWindow = nullptr;

  // Closing has been accepted; input and ticks are no longer acted on.
  bool closing = false;
  bool verifying = false;  // the password dialog is up
  POINT savedCursor = {0, 0};
  HMODULE passwordLibrary = nullptr;
  VerifyPasswordEntry verify = nullptr;
  DWORD lastVerification = kNeverVerified;
  HMODULE inputMethodLibrary = nullptr;
  AssociateContextEntry associate = nullptr;
  HIMC savedContext = nullptr;
};

extern ShellState gShell;
