#include "gfx/file_mapping_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/file_test_support.h"
#include "gfx/make_temp_file_name.h"

namespace {

std::string NewTempFile() {
  char name[MAX_PATH];
  if (MakeTempFileName("twm", name, sizeof name) == 0) return std::string();
  return name;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class FileMappingBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = NewTempFile();
    ASSERT_FALSE(path_.empty());
  }
  void TearDown() override { DeleteFileA(path_.c_str()); }
  std::string path_;
};

TEST_F(FileMappingBlockTest, MapsAnExistingFileReadOnly) {
  std::string content(10000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 13);
  ASSERT_TRUE(WriteFileBytes(path_, content));
  FileMappingBlock block(0, path_.c_str(), false, nullptr, true, true);
  ASSERT_EQ(block.Kind(), MEMORY_BLOCK_FILE_MAPPING);
  EXPECT_TRUE(block.IsReadOnly());
  EXPECT_EQ(block.Size(), content.size());
  EXPECT_EQ(block.LockCount(), 1);
  ASSERT_NE(block.Pointer(), nullptr);
  EXPECT_EQ(std::memcmp(block.Pointer(), content.data(), content.size()), 0);

  EXPECT_EQ(block.Lock(), block.Pointer());
  block.Unlock();
  EXPECT_NE(block.Pointer(), nullptr);
  block.Unlock();
  EXPECT_EQ(block.Pointer(), nullptr);
  EXPECT_EQ(block.LockCount(), 0);
  void* again = block.Lock();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(std::memcmp(again, content.data(), content.size()), 0);
}

TEST_F(FileMappingBlockTest, CreatesAFileOfTheGivenSizeAndWritesThrough) {
  {
    FileMappingBlock block(5000, path_.c_str(), false, nullptr, true, false);
    ASSERT_EQ(block.Kind(), MEMORY_BLOCK_FILE_MAPPING);
    EXPECT_FALSE(block.IsReadOnly());  // a created file is always writable
    EXPECT_EQ(block.Size(), 5000u);
    ASSERT_NE(block.Pointer(), nullptr);
    std::memset(block.Pointer(), 'w', 5000);
    static_cast<char*>(block.Pointer())[4999] = '!';
    block.Lock();  // destroyed while locked twice
  }
  std::string bytes = ReadWholeFile(path_);
  ASSERT_EQ(bytes.size(), 5000u);
  EXPECT_EQ(bytes, std::string(4999, 'w') + "!");
}

TEST_F(FileMappingBlockTest, TemporaryFileIsDeletedWithTheBlock) {
  {
    FileMappingBlock block(100, path_.c_str(), true, nullptr, false, true);
    ASSERT_NE(block.Pointer(), nullptr);
    EXPECT_TRUE(Exists(path_));
  }
  EXPECT_FALSE(Exists(path_));
}

TEST_F(FileMappingBlockTest, MissingOrEmptyFileHasNoBytes) {
  std::string missing = path_ + ".none";
  FileMappingBlock absent(0, missing.c_str(), false, nullptr, true, true);
  EXPECT_EQ(absent.Kind(), MEMORY_BLOCK_NONE);
  EXPECT_EQ(absent.Pointer(), nullptr);
  EXPECT_EQ(absent.Lock(), nullptr);
  absent.Unlock();
  EXPECT_EQ(absent.Handle(), INVALID_HANDLE_VALUE);

  ASSERT_TRUE(WriteFileBytes(path_, ""));
  FileMappingBlock empty(0, path_.c_str(), false, nullptr, true, true);
  EXPECT_EQ(empty.Size(), 0u);
  EXPECT_EQ(empty.Pointer(), nullptr);

  FileMappingBlock nothing(0, nullptr, false, nullptr, true, true);
  EXPECT_EQ(nothing.Kind(), MEMORY_BLOCK_NONE);
  EXPECT_EQ(nothing.Lock(), nullptr);
}

TEST_F(FileMappingBlockTest, SecondBlockOpensTheMappingByName) {
  std::string name = "TidewaterTestMapping" + std::to_string(GetCurrentProcessId());
  FileMappingBlock owner(4096, path_.c_str(), false, name.c_str(), false, false);
  ASSERT_NE(owner.Pointer(), nullptr);
  EXPECT_STREQ(owner.MappingName().Text(), name.c_str());
  std::strcpy(static_cast<char*>(owner.Pointer()), "shared bytes");

  FileMappingBlock viewer(0, nullptr, false, name.c_str(), false, false);
  ASSERT_EQ(viewer.Kind(), MEMORY_BLOCK_FILE_MAPPING);
  ASSERT_NE(viewer.Pointer(), nullptr);
  EXPECT_GE(viewer.Size(), 4096u);
  EXPECT_STREQ(static_cast<char*>(viewer.Pointer()), "shared bytes");
  static_cast<char*>(viewer.Pointer())[0] = 'S';
  EXPECT_EQ(static_cast<char*>(owner.Pointer())[0], 'S');

  std::string other = name + "x";
  FileMappingBlock unknown(0, nullptr, false, other.c_str(), true, false);
  EXPECT_EQ(unknown.Pointer(), nullptr);
}

}  // namespace
