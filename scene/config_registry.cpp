// Reading the configuration from the registry (target only).
#include "gfx/read_reg.h"
#include "scene/config.h"

#include <cstring>

void ReadConfigText(HKEY root, const char* name, char (&text)[kConfigTextSize]) {
  text[0] = '\0';
  ReadRegString(root, kConfigKey, name, text, kConfigTextSize);
}

std::uint32_t ReadConfigNumber(const char* name, std::uint32_t fallback) {
  return ReadRegDword(HKEY_CURRENT_USER, kConfigKey, name, fallback);
}

void ReadConfigFont(LOGFONTA& font) {
  static_assert(sizeof(LOGFONTA) == kFontRecordSize, "LOGFONTA is the stored record");
  char text[kConfigTextSize];
  ReadConfigText(HKEY_CURRENT_USER, kFontValue, text);
  std::uint8_t record[kFontRecordSize];
  DecodeFont(text, record);
  std::memcpy(&font, record, sizeof font);
}
