#include "gfx/debug_log.h"

#include <cstring>

#include "port/win32.h"

#ifndef _WIN32
#include <cstdio>
#endif

namespace {

void DefaultSink(const char* line) {
#ifdef _WIN32
  OutputDebugStringA(line);
#else
  std::fputs(line, stderr);
#endif
}

DebugLogSink g_sink = DefaultSink;

void Format(char* line, const char* format, std::va_list args) {
#ifdef _WIN32
  // wvsprintfA takes no buffer size but never writes more than 1024 bytes,
  // so it formats into a scratch buffer of that size and the line is cut after.
  constexpr int kWvsprintfLimit = 1024;
  char scratch[kWvsprintfLimit + 1];
  scratch[0] = '\0';
  int written = wvsprintfA(scratch, format, args);
  if (written < 0) written = 0;
  if (written > kWvsprintfLimit) written = kWvsprintfLimit;
  scratch[written] = '\0';
  int kept = written < kDebugLogBufferSize - 1 ? written : kDebugLogBufferSize - 1;
  std::memcpy(line, scratch, static_cast<std::size_t>(kept));
  line[kept] = '\0';
#else
  if (std::vsnprintf(line, kDebugLogBufferSize, format, args) < 0) line[0] = '\0';
#endif
}

}  // namespace

void DebugLogV(const char* format, std::va_list args) {
  if (!format) return;
  char line[kDebugLogBufferSize];
  Format(line, format, args);
  if (g_sink) g_sink(line);
}

void DebugLog(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  DebugLogV(format, args);
  va_end(args);
}

DebugLogSink SetDebugLogSink(DebugLogSink sink) {
  DebugLogSink previous = g_sink;
  g_sink = sink ? sink : DefaultSink;
  return previous;
}
