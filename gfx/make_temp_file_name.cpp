#include "gfx/make_temp_file_name.h"

UINT MakeTempFileName(const char* prefix, char* output, std::uint32_t outputSize) {
  if (!output || outputSize < MAX_PATH) return 0;
  output[0] = '\0';
  char current[MAX_PATH];
  DWORD currentLength = GetCurrentDirectoryA(MAX_PATH, current);
  bool haveCurrent = currentLength > 0 && currentLength < MAX_PATH;

  char directory[MAX_PATH + 1];
  DWORD length = GetTempPathA(MAX_PATH, directory);
  if (length == 0 || length >= MAX_PATH) directory[0] = '\0';
  // Entering the directory proves that it exists.
  if (!directory[0] || !SetCurrentDirectoryA(directory)) lstrcpyA(directory, "c:\\");
  if (haveCurrent) SetCurrentDirectoryA(current);

  UINT unique = GetTempFileNameA(directory, prefix ? prefix : "TMP", 0, output);
  if (unique == 0) output[0] = '\0';
  return unique;
}
