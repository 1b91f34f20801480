#include "scene/config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

TEST(Config, DisplayChoiceCoversEveryValue) {
  for (int i = 0; i <= 7; ++i) {
    BackgroundChoice c = DecodeDisplayChoice(i);
    EXPECT_EQ(c.kind, BackgroundChoice::kStock);
    EXPECT_EQ(c.index, i);
  }
  EXPECT_EQ(DecodeDisplayChoice(8).kind, BackgroundChoice::kCustom);
  for (std::int32_t v : {9, 1000, -1, INT32_MIN, INT32_MAX})
    EXPECT_EQ(DecodeDisplayChoice(v).kind, BackgroundChoice::kRandom) << v;
}

TEST(Config, FishesUsesSeventeenBits) {
  for (int i = 0; i < 17; ++i) EXPECT_TRUE(SpeciesEnabled(0x1FFFF, i));
  for (int i = 0; i < 17; ++i) EXPECT_FALSE(SpeciesEnabled(0x20000, i));
  EXPECT_FALSE(SpeciesEnabled(0xFFFFFFFF, 17));
  EXPECT_TRUE(SpeciesEnabled(1u << 9, 9));
}

TEST(Config, FontDecoding) {
  std::uint8_t record[kFontRecordSize];
  DecodeFont("", record);
  for (auto b : record) EXPECT_EQ(b, 0);

  DecodeFont("F0FFFFFF", record);  // lfHeight = -16
  std::int32_t height = record[0] | record[1] << 8 | record[2] << 16 | record[3] << 24;
  EXPECT_EQ(height, -16);

  DecodeFont("f0ab1C", record);  // lower case counts as 0
  EXPECT_EQ(record[0], 0x00);
  EXPECT_EQ(record[1], 0x00);
  EXPECT_EQ(record[2], 0x1C);

  DecodeFont("ABC", record);  // odd length: the lone character gives 0
  EXPECT_EQ(record[0], 0xAB);
  EXPECT_EQ(record[1], 0x00);

  std::string longText(400, '7');  // only the first 120 characters count
  record[kFontRecordSize - 1] = 0;
  DecodeFont(longText.c_str(), record);
  for (auto b : record) EXPECT_EQ(b, 0x77);

  DecodeFont("zz!!", record);  // garbage still yields a record
  EXPECT_EQ(record[0], 0);
  EXPECT_EQ(record[1], 0);
}

namespace {

// A registry as a table, counting every read by value name.
class TableSource : public ConfigSource {
 public:
  std::map<std::string, std::string> texts;
  std::map<std::string, std::uint32_t> numbers;
  mutable std::map<std::string, int> reads;

  void Text(const char* name, char (&text)[kConfigTextSize]) const override {
    ++reads[name];
    text[0] = '\0';
    auto it = texts.find(name);
    if (it != texts.end()) std::strncpy(text, it->second.c_str(), kConfigTextSize - 1);
    text[kConfigTextSize - 1] = '\0';
  }
  std::uint32_t Number(const char* name, std::uint32_t fallback) const override {
    ++reads[name];
    auto it = numbers.find(name);
    return it == numbers.end() ? fallback : it->second;
  }
};

}  // namespace

TEST(Config, SetupReadsEveryValueOnce) {
  TableSource source;
  source.texts = {{"DATAPATH", "C:\\data"},
                  {"CUSTOMFILE", "C:\\mine.bmp"},
                  {"CUSTOMTEXT", "hello"},
                  {"FONT", "F0FFFFFF"}};
  source.numbers = {{"DISPLAY", 8},      {"MUTE", 1},         {"FISHES", 0x1FFFF},
                    {"FILLSCREEN", 1},   {"FONTCOLOR", 255},  {"VOLUME", 50},
                    {"SOUNDMINUTES", 30}, {"SOUNDCHANGE", 5}, {"CLOCK", 2},
                    {"SAMESCENE", 1}};
  SceneConfig config = ReadSceneConfig(source);
  for (const char* name : {"DATAPATH", "DISPLAY", "CUSTOMFILE", "MUTE", "FISHES", "FILLSCREEN",
                           "CUSTOMTEXT", "FONT", "FONTCOLOR", "VOLUME", "SOUNDMINUTES",
                           "SOUNDCHANGE", "CLOCK", "SAMESCENE"})
    EXPECT_EQ(source.reads[name], 1) << name;
  EXPECT_EQ(source.reads.size(), 14u);
  EXPECT_EQ(config.sameScene, 1u);
  EXPECT_EQ(config.volume, 50u);
  EXPECT_EQ(config.soundMinutes, 30u);
  EXPECT_EQ(config.soundChange, 5u);
  EXPECT_EQ(config.clock, 2u);
  EXPECT_STREQ(config.dataPath, "C:\\data");
  EXPECT_EQ(config.display, 8);
  EXPECT_STREQ(config.customFile, "C:\\mine.bmp");
  EXPECT_EQ(config.mute, 1u);
  EXPECT_EQ(config.fishes, 0x1FFFFu);
  EXPECT_EQ(config.fillScreen, 1u);
  EXPECT_STREQ(config.customText, "hello");
  EXPECT_EQ(config.fontColour, 255u);
  EXPECT_EQ(config.font[0], 0xF0);
  EXPECT_EQ(config.font[3], 0xFF);
  EXPECT_EQ(config.font[4], 0x00);
}

// Absent values are the defaults; out of range (too large, or negative as the
// registry stores it) reads as the default too, at both ends of each range.
TEST(Config, BoundedValuesOutOfRangeReadAsDefaults) {
  TableSource none;
  SceneConfig config = ReadSceneConfig(none);
  EXPECT_EQ(config.volume, 100u);
  EXPECT_EQ(config.soundMinutes, 0u);
  EXPECT_EQ(config.soundChange, 0u);
  EXPECT_EQ(config.clock, 0u);
  EXPECT_EQ(config.fillScreen, FILL_CENTRED);
  EXPECT_EQ(config.sameScene, 0u);
  TableSource edges;
  edges.numbers = {{"VOLUME", 0},    {"SOUNDMINUTES", 1440}, {"SOUNDCHANGE", 1},
                   {"CLOCK", 1},     {"FILLSCREEN", 2},      {"SAMESCENE", 1}};
  config = ReadSceneConfig(edges);
  EXPECT_EQ(config.volume, 0u);
  EXPECT_EQ(config.soundMinutes, 1440u);
  EXPECT_EQ(config.soundChange, 1u);
  EXPECT_EQ(config.clock, 1u);
  EXPECT_EQ(config.fillScreen, FILL_EDGE);
  EXPECT_EQ(config.sameScene, 1u);
  TableSource bad;
  bad.numbers = {{"VOLUME", 101}, {"SOUNDMINUTES", 1441}, {"SOUNDCHANGE", 0xFFFFFFFF},
                 {"CLOCK", 3},    {"FILLSCREEN", 3},      {"SAMESCENE", 2}};
  config = ReadSceneConfig(bad);
  EXPECT_EQ(config.volume, 100u);
  EXPECT_EQ(config.soundMinutes, 0u);
  EXPECT_EQ(config.soundChange, 0u);
  EXPECT_EQ(config.clock, 0u);
  EXPECT_EQ(config.fillScreen, FILL_CENTRED);
  EXPECT_EQ(config.sameScene, 0u);
  TableSource negative;
  negative.numbers = {{"FILLSCREEN", 0xFFFFFFFF}, {"SAMESCENE", 0x80000000}};
  config = ReadSceneConfig(negative);
  EXPECT_EQ(config.fillScreen, FILL_CENTRED);
  EXPECT_EQ(config.sameScene, 0u);
}

TEST(Config, FontIsReadOnlyWithText) {
  TableSource source;
  source.texts = {{"FONT", "F0FFFFFF"}};
  source.numbers = {{"DISPLAY", 0xFFFFFFFF}, {"FONTCOLOR", 255}};
  SceneConfig config = ReadSceneConfig(source);
  EXPECT_EQ(source.reads.count("FONT"), 0u);
  EXPECT_EQ(source.reads.count("FONTCOLOR"), 0u);
  EXPECT_EQ(config.display, -1);  // read as a signed number
  EXPECT_EQ(config.fontColour, 0u);
  for (auto b : config.font) EXPECT_EQ(b, 0);
  EXPECT_EQ(config.dataPath[0], '\0');  // absent values keep their defaults
  EXPECT_EQ(config.fishes, 0u);
}

TEST(Config, FontEncodingIsWhatDecodingReads) {
  std::uint8_t record[kFontRecordSize];
  for (int i = 0; i < kFontRecordSize; ++i) record[i] = static_cast<std::uint8_t>(i * 37 + 11);
  record[0] = 0xF0;  // lfHeight = -16: the stored text begins "F0FFFFFF"
  record[1] = record[2] = record[3] = 0xFF;
  char text[kFontTextSize];
  EncodeFont(record, text);
  EXPECT_EQ(std::string(text).size(), 120u);
  EXPECT_EQ(std::string(text, 8), "F0FFFFFF");
  EXPECT_EQ(std::string(text).find_first_not_of("0123456789ABCDEF"), std::string::npos);
  std::uint8_t back[kFontRecordSize];
  DecodeFont(text, back);
  for (int i = 0; i < kFontRecordSize; ++i) EXPECT_EQ(back[i], record[i]) << i;
}

// The codes the settings program stores mean to the saver what the settings
// program shows.
TEST(Config, SharedDisplayCodes) {
  EXPECT_EQ(DecodeDisplayChoice(kDisplayCustom - 1).kind, BackgroundChoice::kStock);
  EXPECT_EQ(DecodeDisplayChoice(kDisplayCustom - 1).index, 7);
  EXPECT_EQ(DecodeDisplayChoice(kDisplayCustom).kind, BackgroundChoice::kCustom);
  EXPECT_EQ(DecodeDisplayChoice(kDisplayRandom).kind, BackgroundChoice::kRandom);
}

// What the installer gives a new user is read by the saver as every species
// over a random scene, edge to edge on each monitor.
TEST(Config, FirstRunValues) {
  TableSource source;
  for (const FirstRunValue& value : kFirstRunValues) source.numbers[value.name] = value.number;
  SceneConfig config = ReadSceneConfig(source);
  for (const FirstRunValue& value : kFirstRunValues)
    EXPECT_EQ(source.reads[value.name], 1) << value.name << " is no value the saver reads";
  for (int i = 0; i < 17; ++i) EXPECT_TRUE(SpeciesEnabled(config.fishes, i)) << i;
  EXPECT_EQ(DecodeDisplayChoice(config.display).kind, BackgroundChoice::kRandom);
  EXPECT_EQ(config.fillScreen, FILL_EDGE);
  EXPECT_EQ(config.mute, 0u);
}
