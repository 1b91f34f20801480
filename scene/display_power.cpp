#include "scene/display_power.h"

#include "gfx/debug_log.h"
#include "scene/scene_state.h"

namespace {

constexpr DWORD kDeviceNotifyWindowHandle = 0;

using RegisterFn = void*(WINAPI*)(HANDLE recipient, const void* setting, DWORD flags);
using UnregisterFn = BOOL(WINAPI*)(void* handle);

void* gNotification = nullptr;

template <class F>
F UserFunction(const char* name) {
  HMODULE user = GetModuleHandleA("user32.dll");
  return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

void RegisterDisplayState(HWND window) {
  auto reg = UserFunction<RegisterFn>("RegisterPowerSettingNotification");
  if (!reg) {
    DebugLog("Tidewater: no display-state notification on this platform\n");
    return;
  }
  gNotification = reg(window, kConsoleDisplayStateGuid, kDeviceNotifyWindowHandle);
  DebugLog("Tidewater: display-state notification %s\n", gNotification ? "registered" : "refused");
}

void UnregisterDisplayState() {
  if (!gNotification) return;
  auto unreg = UserFunction<UnregisterFn>("UnregisterPowerSettingNotification");
  // At shutdown: a refusal leaves nothing the process keeps.
  if (unreg) (void)unreg(gNotification);
  gNotification = nullptr;
}

void HandlePowerEvent(HWND window, PowerEvent event) {
  SceneState& scene = gScene;
  if (scene.shutDown || scene.preview) return;
  switch (event) {
    case POWER_DISPLAY_OFF:
      if (scene.displayOff) return;
      scene.displayOff = true;
      if (scene.objects) scene.objects->PauseSound();
      DebugLog("Tidewater: display off; frame loop stopped\n");
      return;
    case POWER_DISPLAY_ON:
      if (!scene.displayOff) return;
      scene.displayOff = false;
      scene.restoreList.Add({0, 0, scene.backWidth, scene.backHeight});
      if (scene.objects) scene.objects->RedrawMonitorScenes();
      if (scene.objects && !scene.suspended) scene.objects->ResumeSound();
      // The tick that found the display off ended the loop: start it again.
      // Otherwise that tick is still to come and goes on by itself.
      if (scene.loopStopped) {
        scene.loopStopped = false;
        PostMessageA(window, WM_TIMER, 0, 0);
      }
      DebugLog("Tidewater: display on; frame loop going on\n");
      return;
    case POWER_SUSPEND:
      scene.suspended = true;
      if (scene.objects) scene.objects->PauseSound();
      return;
    case POWER_RESUME:
      scene.suspended = false;
      if (scene.objects && !scene.displayOff) scene.objects->ResumeSound();
      return;
    case POWER_NONE:
      return;
  }
}
