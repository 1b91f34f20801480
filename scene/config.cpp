#include "scene/config.h"

#include <cstring>

BackgroundChoice DecodeDisplayChoice(std::int32_t display) {
  if (display >= 0 && display <= 7) return {BackgroundChoice::kStock, display};
  if (display == 8) return {BackgroundChoice::kCustom, 0};
  return {BackgroundChoice::kRandom, 0};
}

bool SpeciesEnabled(std::uint32_t fishes, int index) {
  if (index < 0 || index > 16) return false;
  return (fishes >> index) & 1u;
}

namespace {

int HexDigit(char c) {
  static const char kAlphabet[] = "0123456789ABCDEF";
  for (int i = 0; i < 16; ++i)
    if (kAlphabet[i] == c) return i;
  return 0;
}

}  // namespace

void DecodeFont(const char* text, std::uint8_t record[kFontRecordSize]) {
  std::memset(record, 0, kFontRecordSize);
  if (!text) return;
  for (int i = 0; i < kFontRecordSize && text[0]; ++i) {
    if (!text[1]) return;  // a lone trailing character leaves a 0 byte
    record[i] = static_cast<std::uint8_t>(HexDigit(text[0]) << 4 | HexDigit(text[1]));
    text += 2;
  }
}
