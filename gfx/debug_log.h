// DebugLog: formats a diagnostic line into a 256-byte buffer (longer output
// is cut, never overflowing) and passes it to the debugger output; on the
// host it goes to stderr. On the target the format is wvsprintfA's.
#pragma once

#include <cstdarg>

constexpr int kDebugLogBufferSize = 256;

void DebugLog(const char* format, ...);
void DebugLogV(const char* format, std::va_list args);

// Where finished lines go. Tests install their own sink to see the lines; the
// previous sink is returned so that it can be put back.
using DebugLogSink = void (*)(const char* line);
DebugLogSink SetDebugLogSink(DebugLogSink sink);
