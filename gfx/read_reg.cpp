#include "gfx/read_reg.h"

namespace {

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

int ReadRegString(HKEY root, const char* subkey, const char* valueName, char* buffer,
                  std::uint32_t bufferSize) {
  if (!buffer || bufferSize == 0) return 0;
  buffer[0] = '\0';
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD type = REG_NONE;
  DWORD bytes = bufferSize;
  LONG status = RegQueryValueExA(key, valueName, nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer), &bytes);
  RegCloseKey(key);
  bool ok = status == ERROR_SUCCESS && IsStringType(type) && bytes <= bufferSize;
  if (ok && bytes > 0 && buffer[bytes - 1] != '\0') {
    // Stored without its terminator: add one when there is room for it.
    if (bytes < bufferSize) {
      buffer[bytes] = '\0';
    } else {
      ok = false;
    }
  }
  if (!ok) {
    buffer[0] = '\0';
    return 0;
  }
  if (bytes == 0) buffer[0] = '\0';
  return 1;
}

DWORD ReadRegDword(HKEY root, const char* subkey, const char* valueName, DWORD fallback) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
  DWORD type = REG_NONE;
  DWORD value = 0;
  DWORD bytes = sizeof value;
  LONG status = RegQueryValueExA(key, valueName, nullptr, &type,
                                 reinterpret_cast<BYTE*>(&value), &bytes);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_DWORD || bytes != sizeof value) return fallback;
  return value;
}
