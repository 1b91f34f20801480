#include "shell/command_line.h"

namespace {

bool IsBlank(char c) {
  unsigned char code = static_cast<unsigned char>(c);
  return code != 0 && code <= 32;
}

std::uint32_t ReadDecimal(const char* text) {
  while (*text == ' ') ++text;
  std::uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text)
    value = value * 10u + static_cast<std::uint32_t>(*text - '0');
  return value;
}

}  // namespace

const char* SkipProgramName(const char* commandLine, CharStepper next) {
  const char* p = commandLine;
  if (!p) return "";
  if (*p == '"') {
    p = next(p);
    while (*p && *p != '"') p = next(p);
    if (*p == '"') ++p;
  } else {
    while (static_cast<unsigned char>(*p) > 32) ++p;
  }
  while (IsBlank(*p)) ++p;
  return p;
}

SaverCommand ParseSaverArguments(const char* text) {
  if (!text) return {SaverMode::kConfigure, 0};
  for (;; ++text) {
    switch (*text) {
      case '\0':
        return {SaverMode::kConfigure, 0};
      case ' ':
      case '-':
      case '/':
        continue;
      case 'c':
      case 'C':
        return {SaverMode::kConfigureOwned, 0};
      case 's':
      case 'S':
        return {SaverMode::kFullScreen, 0};
      case 'p':
      case 'P':
      case 'l':
      case 'L':
        return {SaverMode::kPreview, ReadDecimal(text + 1)};
      case 'a':
      case 'A':
        return {SaverMode::kChangePassword, ReadDecimal(text + 1)};
      default:
        return {SaverMode::kUnknown, 0};
    }
  }
}
