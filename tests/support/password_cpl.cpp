// Test stand-in for the platform's PASSWORD.CPL. Its verify entry behaves as
// the control file named by TW_PASSWORD_CONTROL says, read at every call:
//   RESULT [DELAY_MS]
// RESULT 1 = verified, 0 = refused; for DELAY_MS it runs a modal loop like a
// real password dialog, so the saver's window keeps getting its messages.
// No variable or no file: verified at once. Every call is logged with
// OutputDebugStringA so that a test can count the dialogs.
#include <windows.h>

#include <cstdio>

namespace {

LONG gCalls = 0;

void Log(const char* format, long a, long b) {
  char line[160];
  std::snprintf(line, sizeof line, format, a, b);
  OutputDebugStringA(line);
}

void ReadControl(int* result, DWORD* delay) {
  *result = 1;
  *delay = 0;
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TW_PASSWORD_CONTROL", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  std::FILE* f = std::fopen(path, "r");
  if (!f) return;
  unsigned long ms = 0;
  if (std::fscanf(f, "%d %lu", result, &ms) >= 1) *delay = ms;
  std::fclose(f);
}

void ModalWait(DWORD ms) {
  DWORD start = GetTickCount();
  for (DWORD elapsed; (elapsed = GetTickCount() - start) < ms;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

}  // namespace

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  long call = InterlockedIncrement(&gCalls);
  int result;
  DWORD delay;
  ReadControl(&result, &delay);
  Log("test PASSWORD.CPL: VerifyScreenSavePwd call %ld window %lu\n", call,
      static_cast<long>(reinterpret_cast<UINT_PTR>(window)));
  ModalWait(delay);
  Log("test PASSWORD.CPL: call %ld returns %ld\n", call, result);
  return result != 0;
}
