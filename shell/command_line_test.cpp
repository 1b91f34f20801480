#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

const char* SingleByte(const char* p) { return *p ? p + 1 : p; }

// A double-byte code page in miniature: 0x81 leads a two-byte character whose
// second byte may be anything but the terminator, even a double quote.
const char* DoubleByte(const char* p) {
  if (!*p) return p;
  if (static_cast<unsigned char>(*p) == 0x81 && p[1]) return p + 2;
  return p + 1;
}

}  // namespace

TEST(CommandLine, SkipsTheProgramName) {
  EXPECT_STREQ(SkipProgramName("tidewater.scr /s", SingleByte), "/s");
  EXPECT_STREQ(SkipProgramName("tidewater.scr", SingleByte), "");
  EXPECT_STREQ(SkipProgramName("tidewater.scr \t \x01 -p 12", SingleByte), "-p 12");
  EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\Tide water.scr\" /p 77", SingleByte),
               "/p 77");
  EXPECT_STREQ(SkipProgramName("\"C:\\a b.scr\"/s", SingleByte), "/s");
  // An unterminated quote swallows the whole line.
  EXPECT_STREQ(SkipProgramName("\"C:\\a b.scr /s", SingleByte), "");
  EXPECT_STREQ(SkipProgramName("", SingleByte), "");
  EXPECT_STREQ(SkipProgramName(nullptr, SingleByte), "");
}

TEST(CommandLine, QuotedNameIsReadCharacterByCharacter) {
  // The quote inside the two-byte character does not end the name.
  EXPECT_STREQ(SkipProgramName("\"C:\\\x81\"x.scr\" /s", DoubleByte), "/s");
  EXPECT_STREQ(SkipProgramName("\"C:\\\x81\"x.scr\" /s", SingleByte), "x.scr\" /s");
  // A lead byte at the very end stops at the terminator.
  EXPECT_STREQ(SkipProgramName("\"\x81", DoubleByte), "");
}

TEST(CommandLine, UnquotedNameEndsAtFirstBlankOrHighByte) {
  // Codes above 127 are not above 32 when read as signed; they must still
  // count as part of the name.
  EXPECT_STREQ(SkipProgramName("t\xe9l\xe9.scr /c", SingleByte), "/c");
}

TEST(CommandLine, EveryModeCharacter) {
  struct Case {
    const char* text;
    SaverMode mode;
    std::uint32_t window;
  } cases[] = {
      {"", SaverMode::kConfigure, 0},
      {"   ", SaverMode::kConfigure, 0},
      {"/", SaverMode::kConfigure, 0},
      {"/s", SaverMode::kFullScreen, 0},
      {"-s", SaverMode::kFullScreen, 0},
      {"s", SaverMode::kFullScreen, 0},
      {"S", SaverMode::kFullScreen, 0},
      {" -/ s", SaverMode::kFullScreen, 0},
      {"/c", SaverMode::kConfigureOwned, 0},
      {"C:1234", SaverMode::kConfigureOwned, 0},
      {"/p 1234", SaverMode::kPreview, 1234},
      {"/P1234", SaverMode::kPreview, 1234},
      {"/l 1234", SaverMode::kPreview, 1234},
      {"L   99 trailing", SaverMode::kPreview, 99},
      {"/p", SaverMode::kPreview, 0},
      {"/p 0", SaverMode::kPreview, 0},
      {"/p x12", SaverMode::kPreview, 0},
      {"/p -12", SaverMode::kPreview, 0},
      {"/p 0x1f", SaverMode::kPreview, 0},
      {"/p 12ab34", SaverMode::kPreview, 12},
      {"/a", SaverMode::kChangePassword, 0},
      {"/A 65540", SaverMode::kChangePassword, 65540},
      {"/x", SaverMode::kUnknown, 0},
      {"\t/s", SaverMode::kUnknown, 0},  // only space, "-" and "/" are skipped
      {"ss", SaverMode::kFullScreen, 0},
      {"sx", SaverMode::kFullScreen, 0},
  };
  for (const Case& c : cases) {
    SaverCommand command = ParseSaverArguments(c.text);
    EXPECT_EQ(command.mode, c.mode) << '"' << c.text << '"';
    EXPECT_EQ(command.window, c.window) << '"' << c.text << '"';
  }
}

TEST(CommandLine, HandleWrapsLikeA32BitValue) {
  EXPECT_EQ(ParseSaverArguments("/p 4294967295").window, 4294967295u);
  EXPECT_EQ(ParseSaverArguments("/p 4294967296").window, 0u);
  EXPECT_EQ(ParseSaverArguments("/p 4294967297").window, 1u);
  EXPECT_EQ(ParseSaverArguments("/p 99999999999999999999").window, 1661992959u);
}
