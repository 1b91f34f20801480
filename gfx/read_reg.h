// Registry readers for the configuration. Target only. Both read one value
// under root\subkey and never write the registry.
#pragma once

#include <cstdint>

#include "port/win32.h"

// Reads a string value (REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ) into buffer.
// Returns 1 on success, 0 otherwise. The buffer always ends up NUL-terminated
// within bufferSize bytes: empty on failure, and a stored value that does not
// fit together with its terminator is a failure, never cut.
int ReadRegString(HKEY root, const char* subkey, const char* valueName, char* buffer,
                  std::uint32_t bufferSize);

// Reads a REG_DWORD value; any other type or size counts as missing. Returns
// fallback when the key cannot be opened or the value is missing.
DWORD ReadRegDword(HKEY root, const char* subkey, const char* valueName, DWORD fallback);
