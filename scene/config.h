#pragma once
// The saver's settings: the registry key, the value names and their
// defaults, and the decoding of the values that need it. Values are read
// afresh when needed and never written.

#include <cstdint>

#include "port/win32.h"

constexpr const char* kConfigKey = "SOFTWARE\\Quillmoor\\Tidewater\\1.00\\Config";
constexpr int kConfigTextSize = 260;  // bytes of every string value's buffer

// Value names. "DATAPATH" lives under HKEY_LOCAL_MACHINE, the rest under
// HKEY_CURRENT_USER.
constexpr const char* kDataPathValue = "DATAPATH";
constexpr const char* kDisplayValue = "DISPLAY";
constexpr const char* kCustomFileValue = "CUSTOMFILE";
constexpr const char* kMuteValue = "MUTE";
constexpr const char* kFishesValue = "FISHES";
constexpr const char* kCustomTextValue = "CUSTOMTEXT";
constexpr const char* kFontValue = "FONT";
constexpr const char* kFontColourValue = "FONTCOLOR";

// What "DISPLAY" asks for. 0..7 pick a stock background, 8 the user's
// picture, anything else (above 8, and negative values too) a random stock
// background.
struct BackgroundChoice {
  enum Kind { kStock, kCustom, kRandom } kind;
  int index;  // 0..7 for kStock
};
BackgroundChoice DecodeDisplayChoice(std::int32_t display);

// Species i (0..16) swims when bit i of "FISHES" is set; higher bits are ignored.
bool SpeciesEnabled(std::uint32_t fishes, int index);

// "FONT" is the 60-byte LOGFONTA record as upper-case hexadecimal, two digits
// a byte, high digit first. Characters outside "0123456789ABCDEF" count as 0,
// a single trailing character gives a 0 byte, text past 120 characters is
// ignored, and missing bytes stay 0.
constexpr int kFontRecordSize = 60;
void DecodeFont(const char* text, std::uint8_t record[kFontRecordSize]);
// The stored form of a record: 120 upper-case hexadecimal digits and a NUL.
constexpr int kFontTextSize = 2 * kFontRecordSize + 1;
void EncodeFont(const std::uint8_t record[kFontRecordSize], char (&text)[kFontTextSize]);

#ifdef _WIN32
// The registry readers over the configuration key. A string comes back
// NUL-terminated and empty when absent; a number gives the default when the
// key or value is absent or of another type.
void ReadConfigText(HKEY root, const char* name, char (&text)[kConfigTextSize]);
std::uint32_t ReadConfigNumber(const char* name, std::uint32_t fallback);
void ReadConfigFont(LOGFONTA& font);
#endif
