#include "gfx/window_test_support.h"

namespace {
const char kClassName[] = "TidewaterImageTestWindow";
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_PAINT && self && self->paint_) {
    self->paint_();
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;  // tests decide what the client area shows
  return DefWindowProcA(window, message, w, l);
}

TestWindow::TestWindow(int width, int height) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);  // fails harmlessly once registered
  window_ = CreateWindowExA(WS_EX_TOPMOST, kClassName, "image test", WS_POPUP | WS_VISIBLE, 0, 0,
                            width, height, nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  UpdateWindow(window_);
  Pump();
}

TestWindow::~TestWindow() {
  if (window_) DestroyWindow(window_);
  Pump();
}

void TestWindow::Pump() {
  for (int round = 0; round < 5; ++round) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(20);
  }
}

COLORREF TestWindow::PixelAt(int x, int y) const {
  HDC dc = GetDC(window_);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window_, dc);
  return colour;
}

int ScreenDepth() {
  HDC dc = GetDC(nullptr);
  const int depth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);
  return depth;
}

bool ScreenHasPalette() {
  HDC dc = GetDC(nullptr);
  const bool palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(nullptr, dc);
  return palette;
}
