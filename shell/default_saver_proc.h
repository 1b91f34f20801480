#pragma once
// Dismissal and the platform's password support: the end of the saver
// window's message chain, the password check before closing (legacy platform
// only), the screen-saver-running notice, the password change mode and the
// input-method detachment.

#include <windows.h>

// Closes the full-screen saver on a key, a button, a mouse movement past the
// threshold or deactivation; in preview, or once closing, every message goes
// to DefWindowProcA.
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Non-zero when the window may close: no password in use, or the platform's
// dialog verified it. Refuses at once while a dialog is up, once closing, and
// within the refusal window after a verification.
BOOL VerifyOnClose(HWND window);

// Legacy platform only. Load: when "ScreenSaveUsePassword" is set, load
// PASSWORD.CPL and its verify entry and give the running notice. Unload
// undoes it.
void LoadPasswordSupport();
void UnloadPasswordSupport();

// Legacy platform only: SPI_SCREENSAVERRUNNING with value.
void ScreenSaverRunningNotice(BOOL value);

// The password change mode: MPR.DLL's dialog for the "SCRSAVE" provider.
void ChangePassword(HWND window);

// On WM_CREATE: detach the input method (when IMM32 is already loaded), save
// the cursor position, hide the cursor in full screen. On WM_DESTROY: give
// the input context back.
void DetachInputMethod(HWND window);
void RestoreInputMethod(HWND window);
