#pragma once
// The saver's settings: the registry key, the value names and their
// defaults, the decoding of the values that need it, and the one reading of
// them all that each setup does (ReadSceneConfig). Nothing is kept between
// runs and nothing is ever written.

#include <cstdint>

#include "port/win32.h"
#include "scene/config_values.h"
#include "scene/fill_mode.h"
#include "scene/saver_constants.h"

constexpr int kConfigTextSize = 260;  // bytes of every string value's buffer

// The key and the value names (kConfigKey, kDisplayValue, ...) come from
// scene/config_values.h. "DATAPATH" lives under HKEY_LOCAL_MACHINE, the rest
// under HKEY_CURRENT_USER.

// What "DISPLAY" asks for. 0..7 pick a stock background, 8 (kDisplayCustom)
// the user's picture, anything else (above 8, and negative values too) a
// random stock background.
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

// The ranges of the sound's and the clock's values; anything outside reads as
// the default (100, 0, 0, 0).
constexpr std::uint32_t kDefaultVolume = 100;
constexpr std::uint32_t kMaxSoundMinutes = 24 * 60;  // also the longest SOUNDCHANGE
constexpr std::uint32_t kMaxClock = 2;
enum ClockChoice : std::uint32_t { CLOCK_NONE = 0, CLOCK_TIME = 1, CLOCK_TIME_AND_DATE = 2 };

// Every value setup uses, read once at its start. Absent values keep these
// defaults.
struct SceneConfig {
  char dataPath[kConfigTextSize] = {};
  std::int32_t display = 0;
  char customFile[kConfigTextSize] = {};
  std::uint32_t mute = 0;
  std::uint32_t fishes = 0;
  std::uint32_t fillScreen = FILL_CENTRED;  // "FILLSCREEN", a FillMode
  std::uint32_t sameScene = 0;  // "SAMESCENE": 1, one scene mirrored on every monitor
  // The sound's level and schedule, and the clock; out of range reads as the default.
  std::uint32_t volume = kDefaultVolume;  // "VOLUME": 0 ... 100 percent
  std::uint32_t soundMinutes = 0;         // "SOUNDMINUTES": fade out after this; 0 never
  std::uint32_t soundChange = 0;          // "SOUNDCHANGE": a new sound every N minutes; 0 never
  std::uint32_t clock = 0;                // "CLOCK": 0 none, 1 time, 2 time and date
  char customText[kConfigTextSize] = {};
  std::uint8_t font[kFontRecordSize] = {};  // "FONT", decoded
  std::uint32_t fontColour = 0;             // "FONTCOLOR", a COLORREF
};

// Where the values come from: the registry in the saver, a table in tests.
class ConfigSource {
 public:
  virtual ~ConfigSource() = default;
  // A string value, NUL-terminated and empty when absent. "DATAPATH" is the
  // one value kept for the whole machine.
  virtual void Text(const char* name, char (&text)[kConfigTextSize]) const = 0;
  // A 32-bit number, or fallback when absent.
  virtual std::uint32_t Number(const char* name, std::uint32_t fallback) const = 0;
};

// Reads each value once; "FONT" and "FONTCOLOR" only when "CUSTOMTEXT" is
// not empty, since nothing else uses them.
SceneConfig ReadSceneConfig(const ConfigSource& source);

#ifdef _WIN32
// The registry readers over the configuration key. A string comes back
// NUL-terminated and empty when absent; a number gives the default when the
// key or value is absent or of another type.
void ReadConfigText(HKEY root, const char* name, char (&text)[kConfigTextSize]);
std::uint32_t ReadConfigNumber(const char* name, std::uint32_t fallback);

// The configuration key of the registry: "DATAPATH" under
// HKEY_LOCAL_MACHINE, the rest under HKEY_CURRENT_USER.
class RegistryConfigSource : public ConfigSource {
 public:
  void Text(const char* name, char (&text)[kConfigTextSize]) const override;
  std::uint32_t Number(const char* name, std::uint32_t fallback) const override;
};
#endif
