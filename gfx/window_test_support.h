// A real top-level window on the test display for the surface and display tests, with a
// paint hook and message pumping. Target only.
#pragma once

#include <functional>

#include "port/win32.h"

class TestWindow {
 public:
  TestWindow(int width, int height);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return window_; }
  // Handles WM_PAINT when set (else the default procedure paints).
  void OnPaint(std::function<void()> paint) { paint_ = std::move(paint); }
  // Dispatches everything queued, then waits briefly for the display server to settle.
  static void Pump();
  // Screen colour at a client point, read from the window's own device context.
  COLORREF PixelAt(int x, int y) const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  HWND window_ = nullptr;
  std::function<void()> paint_;
};

// Bits per pixel of the screen and whether it is a palette device.
int ScreenDepth();
bool ScreenHasPalette();
