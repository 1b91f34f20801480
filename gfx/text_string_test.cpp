#include "gfx/text_string.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(TextStringTest, NewStringIsEmptyWithSixteenBytes) {
  TextString text;
  EXPECT_STREQ(text.Text(), "");
  EXPECT_EQ(text.Length(), 0u);
  EXPECT_EQ(text.Capacity(), 16u);
  EXPECT_TRUE(text.Assign(nullptr));
  EXPECT_STREQ(text.Text(), "");
  EXPECT_FALSE(text.Append(nullptr));
  EXPECT_EQ(text.Length(), 0u);
}

TEST(TextStringTest, MidClampsStartAndCount) {
  TextString text("abcdef");
  EXPECT_STREQ(text.Mid(-3, 5).Text(), "abcde");
  EXPECT_STREQ(text.Mid(10, 2).Text(), "");
  EXPECT_STREQ(text.Mid(6, 1).Text(), "");
  EXPECT_STREQ(text.Mid(2, 100).Text(), "cdef");
  EXPECT_STREQ(text.Mid(1, -4).Text(), "");
  EXPECT_STREQ(text.Mid(1, 2).Text(), "bc");
}

TEST(TextStringTest, ReserveGrowsButNeverShrinks) {
  TextString text("hello");
  EXPECT_TRUE(text.Reserve(100));
  EXPECT_EQ(text.Capacity(), 101u);
  EXPECT_STREQ(text.Text(), "hello");
  EXPECT_TRUE(text.Reserve(3));
  EXPECT_EQ(text.Capacity(), 101u);
  EXPECT_FALSE(text.Reserve(UINT32_MAX));
}

TEST(TextStringTest, CopiesFromItsOwnBufferSurviveGrowth) {
  TextString text("0123456789abcde");  // fills the initial buffer
  EXPECT_TRUE(text.Append(text.Text()));
  EXPECT_STREQ(text.Text(), "0123456789abcde0123456789abcde");
  EXPECT_TRUE(text.Append(text.Text() + 25));
  EXPECT_STREQ(text.Text(), "0123456789abcde0123456789abcdeabcde");
  EXPECT_TRUE(text.Assign(text.Text() + 30));
  EXPECT_STREQ(text.Text(), "abcde");
  EXPECT_EQ(text.Length(), 5u);
}

TEST(TextStringTest, CopyAndMoveKeepIndependentText) {
  TextString a("first");
  TextString b(a);
  b.Append(" copy");
  EXPECT_STREQ(a.Text(), "first");
  EXPECT_STREQ(b.Text(), "first copy");
  TextString c(std::move(b));
  EXPECT_STREQ(c.Text(), "first copy");
  EXPECT_STREQ(b.Text(), "");  // NOLINT(bugprone-use-after-move): moved-from stays usable
  EXPECT_TRUE(b.Assign("again"));
  EXPECT_STREQ(b.Text(), "again");
  a = c;
  EXPECT_STREQ(a.Text(), "first copy");
}

// Random Assign/Append/Mid/ReverseFind against std::string.
TEST(TextStringTest, RandomOperationsMatchStdString) {
  std::mt19937 random(99);
  TextString text;
  std::string model;
  auto randomText = [&] {
    std::string s(random() % 40, 'x');
    for (char& c : s) c = "ab.\\c"[random() % 5];
    return s;
  };
  for (int step = 0; step < 3000; ++step) {
    switch (random() % 4) {
      case 0: {
        std::string s = randomText();
        ASSERT_TRUE(text.Assign(s.c_str()));
        model = s;
        break;
      }
      case 1: {
        std::string s = randomText();
        if (model.size() > 2000) break;
        text.Append(s.c_str());
        model += s;
        break;
      }
      case 2: {
        int start = static_cast<int>(random() % 60) - 10;
        int count = static_cast<int>(random() % 60) - 10;
        std::string expected;
        std::size_t first = start < 0 ? 0 : static_cast<std::size_t>(start);
        if (first < model.size()) expected = model.substr(first, count < 0 ? 0 : count);
        ASSERT_EQ(std::string(text.Mid(start, count).Text()), expected);
        break;
      }
      default: {
        char c = "ab.\\z"[random() % 5];
        std::size_t at = model.rfind(c);
        ASSERT_EQ(text.ReverseFind(c), at == std::string::npos ? -1 : static_cast<int>(at));
      }
    }
    ASSERT_EQ(std::string(text.Text()), model);
    ASSERT_EQ(text.Length(), model.size());
    ASSERT_LT(text.Length(), text.Capacity());
  }
}

struct SplitCase {
  const char* path;
  const char* directory;
  const char* name;
  const char* extension;
};

TEST(SplitPathTest, SplitsDirectoryNameAndExtension) {
  const SplitCase cases[] = {
      {"c:\\data\\fish.bmp", "c:\\data", "fish", "bmp"},
      {"fish", "", "fish", ""},
      {"fish.", "", "fish", ""},
      {"archive.tar.gz", "", "archive.tar", "gz"},
      {"dir\\name", "dir", "name", ""},
      {"dir.d\\name", "dir.d", "name", ""},
      {"\\root.txt", "", "root", "txt"},
      {"a\\b\\", "a\\b", "", ""},
      {"", "", "", ""},
  };
  for (const SplitCase& c : cases) {
    TextString directory("old"), name("old"), extension("old");
    SplitPath(c.path, &directory, &name, &extension);
    EXPECT_STREQ(directory.Text(), c.directory) << c.path;
    EXPECT_STREQ(name.Text(), c.name) << c.path;
    EXPECT_STREQ(extension.Text(), c.extension) << c.path;
  }
  TextString name;
  SplitPath(nullptr, nullptr, &name, nullptr);
  EXPECT_STREQ(name.Text(), "");
}

}  // namespace
