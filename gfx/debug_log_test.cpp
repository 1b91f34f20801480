#include "gfx/debug_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_lines = nullptr;

void Capture(const char* line) { g_lines->push_back(line); }

class DebugLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_lines = &lines_;
    previous_ = SetDebugLogSink(Capture);
  }
  void TearDown() override {
    SetDebugLogSink(previous_);
    g_lines = nullptr;
  }
  std::vector<std::string> lines_;
  DebugLogSink previous_ = nullptr;
};

TEST_F(DebugLogTest, FormatsIntegersAndStrings) {
  DebugLog("JPEG :\nCan't open %s\n", "c:\\tmp");
  DebugLog("%d fish, %u bubbles, %x", -3, 12u, 255);
  ASSERT_EQ(lines_.size(), 2u);
  EXPECT_EQ(lines_[0], "JPEG :\nCan't open c:\\tmp\n");
  EXPECT_EQ(lines_[1], "-3 fish, 12 bubbles, ff");
}

TEST_F(DebugLogTest, LongOutputIsCutToTheBuffer) {
  std::string longText(5000, 'q');
  DebugLog("<%s>", longText.c_str());
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0].size(), static_cast<std::size_t>(kDebugLogBufferSize - 1));
  EXPECT_EQ(lines_[0], "<" + std::string(kDebugLogBufferSize - 2, 'q'));
}

TEST_F(DebugLogTest, NullFormatLogsNothing) {
  DebugLog(nullptr);
  EXPECT_TRUE(lines_.empty());
}

}  // namespace
