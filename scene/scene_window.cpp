#include "scene/scene_window.h"

#include "gfx/debug_log.h"
#include "scene/display_power.h"
#include "scene/frame_tick.h"
#include "scene/scene_setup.h"
#include "scene/scene_state.h"
#include "scene/tick_trace.h"

namespace {

// The scene decides by the window's geometry, not by the command line: a
// window whose client area is the whole screen, or the whole virtual screen
// of several monitors, runs the full scene.
void OnFirstMove(HWND window) {
  if (gScene.moved) return;
  gScene.moved = true;
  RECT client = {};
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  int screenWidth = GetDeviceCaps(dc, HORZRES);
  int screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(window, dc);
  const bool screen = client.right == screenWidth && client.bottom == screenHeight;
  const bool virtualScreen = client.right == GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
                             client.bottom == GetSystemMetrics(SM_CYVIRTUALSCREEN);
  gScene.preview = !(screen || virtualScreen);
  DebugLog("Tidewater: %s scene in %dx%d on a %dx%d screen\n",
           gScene.preview ? "preview" : "full-screen", static_cast<int>(client.right),
           static_cast<int>(client.bottom), screenWidth, screenHeight);
  if (gScene.preview) {
    SetupPreview(window);
  } else if (SetupFullScreen(window) != 0) {
    PostMessageA(window, WM_DESTROY, 0, 0);
  }
}

}  // namespace

void SceneHandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (TraceTestMessage(window, message, wParam)) return;
  switch (message) {
    case WM_DESTROY:
      UnregisterDisplayState();
      ShutDownScene(gScene);
      LogTickCounters();
      break;
    case WM_MOVE:
      OnFirstMove(window);
      break;
    case WM_PAINT:
      if (gScene.objects) gScene.objects->Paint();
      break;
    case WM_TIMER:
      FrameTick(window);
      break;
    case WM_POWERBROADCAST:
      HandlePowerEvent(window, DecodePowerBroadcast(wParam, reinterpret_cast<const std::uint8_t*>(lParam)));
      break;
    case WM_QUERYNEWPALETTE:
      if (gScene.objects) gScene.objects->RealizePalette();
      break;
  }
}
