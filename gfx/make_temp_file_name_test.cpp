#include "gfx/make_temp_file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string CurrentDirectory() {
  char path[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
  return std::string(path, n);
}

TEST(MakeTempFileNameTest, CreatesUniqueFilesInTheTempDirectory) {
  char tempDir[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, tempDir), 0u);
  std::string before = CurrentDirectory();

  char first[MAX_PATH], second[MAX_PATH];
  ASSERT_NE(MakeTempFileName("twx", first, sizeof first), 0u);
  ASSERT_NE(MakeTempFileName(nullptr, second, sizeof second), 0u);
  EXPECT_EQ(CurrentDirectory(), before);
  EXPECT_STRNE(first, second);
  EXPECT_NE(GetFileAttributesA(first), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA(second), INVALID_FILE_ATTRIBUTES);

  std::string a(first), b(second), dir(tempDir);
  EXPECT_EQ(lstrcmpiA(a.substr(0, dir.size()).c_str(), dir.c_str()), 0) << a;
  EXPECT_EQ(lstrcmpiA(a.substr(dir.size(), 3).c_str(), "twx"), 0) << a;
  EXPECT_EQ(lstrcmpiA(b.substr(dir.size(), 3).c_str(), "TMP"), 0) << b;
  DeleteFileA(first);
  DeleteFileA(second);
}

TEST(MakeTempFileNameTest, RefusesABufferShorterThanAPath) {
  char small[16] = "unchanged";
  EXPECT_EQ(MakeTempFileName("twx", small, sizeof small), 0u);
  EXPECT_EQ(MakeTempFileName("twx", nullptr, MAX_PATH), 0u);
}

}  // namespace
