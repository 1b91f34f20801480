#pragma once
// The scene's share of the saver window's messages, handled before the
// shell's dismissal procedure: setup on the first WM_MOVE, the tick on
// WM_TIMER, painting and palette realisation, shutdown on WM_DESTROY.

#include <windows.h>

void SceneHandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
