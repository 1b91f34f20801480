// MakeTempFileName: a new, unique, empty file in the temporary directory (or
// in "c:\" when that directory cannot be entered). Target only.
#pragma once

#include <cstdint>

#include "port/win32.h"

// output must hold MAX_PATH bytes. Returns the unique number the platform
// chose, 0 on failure (output is then the empty text). A null prefix is
// "TMP".
UINT MakeTempFileName(const char* prefix, char* output, std::uint32_t outputSize);
