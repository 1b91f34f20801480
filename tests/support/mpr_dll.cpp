// Test stand-in for the platform's MPR.DLL password change: logs its
// arguments with OutputDebugStringA and returns.
#include <windows.h>

#include <cstdio>

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND window, DWORD reserved1,
                                           DWORD reserved2) {
  char line[200];
  std::snprintf(line, sizeof line,
                "test MPR.DLL: PwdChangePasswordA provider %s window %lu reserved %lu %lu\n",
                provider ? provider : "(null)",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
                static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
  OutputDebugStringA(line);
  return 0;
}
