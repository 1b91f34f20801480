#pragma once
// The saver window: one class for full screen and preview, the message loop,
// and the two procedures in front of the scene.

#include <windows.h>

#include <cstdint>

// Creates the window (full screen without a parent, a preview child of
// parent otherwise) and runs its message loop. Returns the quit message's
// wParam, or 0 when another full-screen saver was brought to the front or the
// window could not be made.
std::int32_t RunSaverWindow(HWND parent);

// The class procedure: filters, then hands everything else to ScreenSaverProc.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Exported: the scene's handling, then always DefaultSaverProc's result.
extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
