// Test stand-in for the settings program, staged as "animated tidewater.exe"
// in a data folder: it reports its command line and the tick it started at,
// waits until the file named by TW_STANDIN_STOP exists (at most 60 s), then
// reports the tick it ends at and exits with 3.
#include <windows.h>

#include <cstdio>

namespace {

void Report(const char* format, const char* text, DWORD tick) {
  char line[600];
  std::snprintf(line, sizeof line, format, text, static_cast<unsigned>(tick));
  OutputDebugStringA(line);
}

}  // namespace

int main() {
  Report("stand-in: command line [%s] at tick %u\n", GetCommandLineA(), GetTickCount());
  char stop[MAX_PATH] = "";
  GetEnvironmentVariableA("TW_STANDIN_STOP", stop, sizeof stop);
  for (int waited = 0; waited < 60000; waited += 5) {
    if (stop[0] && GetFileAttributesA(stop) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(5);
  }
  Report("stand-in: %sending at tick %u\n", "", GetTickCount());
  return 3;
}
