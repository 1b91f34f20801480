#pragma once
// The configuration mode's dialog procedure, exported for the platform's
// display settings. It stands for the settings launcher.

#include <windows.h>

constexpr int kConfigureDialogResource = 2003;

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                     LPARAM lParam);
