#pragma once
// The configuration mode's dialog procedure, exported for the platform's
// display settings: the settings launcher. It starts "animated
// tidewater.exe" from the data directory and waits, hidden, until it ends;
// the dialog's result is 1 then, 0 when the program could not be started.

#include <windows.h>

constexpr int kConfigureDialogResource = 2003;

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                     LPARAM lParam);
