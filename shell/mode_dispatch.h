#pragma once
// Mode dispatch: what the argument text asks for, run, and the exit code.

#include <windows.h>

#include <cstdint>

// Records the module and the platform, then runs the settings dialog, the
// full-screen saver, the preview or the password change. -1 for an unknown
// option, an invalid preview parent, or the password change on a platform
// other than the legacy one.
std::int32_t DispatchMode(HINSTANCE instance, const char* arguments);
