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

void RegistryConfigSource::Text(const char* name, char (&text)[kConfigTextSize]) const {
  const bool machine = std::strcmp(name, kDataPathValue) == 0;
  ReadConfigText(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, name, text);
}

std::uint32_t RegistryConfigSource::Number(const char* name, std::uint32_t fallback) const {
  return ReadConfigNumber(name, fallback);
}
