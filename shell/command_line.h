#pragma once
// Reading the saver's command line: where the options start after the program
// name, and which mode the first significant character asks for. Pure text
// work, shared by the process entry and the host tests.

#include <cstdint>

// Steps to the next character of a possibly multi-byte string and never past
// its terminating zero (CharNextA on the target).
using CharStepper = const char* (*)(const char* text);

// The text after the program name and the blanks (codes 1 to 32) that follow
// it. A name in double quotes is skipped to its closing quote, character by
// character with `next`; an unquoted name ends at the first code of 32 or
// below.
const char* SkipProgramName(const char* commandLine, CharStepper next);

enum class SaverMode {
  kConfigure,       // empty text: settings with no owner
  kConfigureOwned,  // "c": settings owned by the foreground window
  kFullScreen,      // "s"
  kPreview,         // "p" or "l" with a parent window
  kChangePassword,  // "a" with a window
  kUnknown,         // anything else
};

struct SaverCommand {
  SaverMode mode;
  // The decimal window handle after "p", "l" or "a" (0 when none is given).
  // Wraps modulo 2^32 like the platform's 32-bit handles.
  std::uint32_t window;
};

// Looks at the first character that is not a space, "-" or "/"; only it
// decides, and what follows a handle is ignored.
SaverCommand ParseSaverArguments(const char* text);
