#pragma once
// Scene setup for the saver window, run on its first WM_MOVE: the full
// scene when the window covers the screen, the background alone in preview.
// Both return 0 on success and 1 on failure, and on success leave the first
// WM_TIMER posted.

#include <windows.h>

int SetupFullScreen(HWND window);
int SetupPreview(HWND window);
