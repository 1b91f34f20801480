#include "gfx/read_reg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kKey[] = "Software\\TidewaterFoundationTest";

// Each test writes its values under a fresh key in HKCU and deletes it after.
class ReadRegTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
  }
  void Set(const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  void SetString(const char* name, const std::string& text) {
    Set(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  HKEY key_ = nullptr;
};

TEST_F(ReadRegTest, ReadsStringsThatFit) {
  SetString("DATAPATH", "c:\\tidewater");
  SetString("EMPTY", "");
  char buffer[64];
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "DATAPATH", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "c:\\tidewater");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "EMPTY", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "");
  char exact[13];  // twelve characters and the terminator
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "DATAPATH", exact, sizeof exact), 1);
  EXPECT_STREQ(exact, "c:\\tidewater");
}

TEST_F(ReadRegTest, StringFailuresLeaveAnEmptyTerminatedBuffer) {
  SetString("LONG", std::string(100, 'L'));
  DWORD number = 5;
  Set("NUMBER", REG_DWORD, &number, sizeof number);
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "LONG", buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "NUMBER", buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "MISSING", buffer, sizeof buffer), 0);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, "Software\\TidewaterNoSuchKey", "X", buffer,
                          sizeof buffer),
            0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "LONG", buffer, 0), 0);
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "LONG", nullptr, 10), 0);
}

// Values stored without their terminator, of every length around the buffer
// size: the result is always terminated inside the buffer and nothing after
// the buffer is written.
TEST_F(ReadRegTest, UnterminatedStringsAreTerminatedWithinTheBuffer) {
  const std::uint32_t kSize = 8;
  for (DWORD length = 1; length <= 10; ++length) {
    std::string text(length, 'u');
    Set("RAW", REG_SZ, text.data(), length);
    char guarded[kSize + 8];
    std::memset(guarded, '#', sizeof guarded);
    int ok = ReadRegString(HKEY_CURRENT_USER, kKey, "RAW", guarded, kSize);
    EXPECT_EQ(std::string(guarded + kSize, 8), std::string(8, '#')) << length;
    ASSERT_NE(std::memchr(guarded, '\0', kSize), nullptr) << length;
    if (length < kSize) {
      EXPECT_EQ(ok, 1) << length;
      EXPECT_EQ(std::string(guarded), text) << length;
    } else {
      EXPECT_EQ(ok, 0) << length;
      EXPECT_STREQ(guarded, "") << length;
    }
  }
}

TEST_F(ReadRegTest, DwordsOfTheRightTypeOnly) {
  DWORD value = 0x12345678;
  Set("FISHES", REG_DWORD, &value, sizeof value);
  Set("BINARY", REG_BINARY, &value, sizeof value);
  Set("SHORT", REG_BINARY, &value, 2);
  SetString("TEXT", "12");
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kKey, "FISHES", 7), 0x12345678u);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kKey, "BINARY", 7), 7u);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kKey, "SHORT", 7), 7u);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kKey, "TEXT", 7), 7u);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kKey, "MISSING", 0xFFFFFFFFu), 0xFFFFFFFFu);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, "Software\\TidewaterNoSuchKey", "FISHES", 3), 3u);
}

}  // namespace
