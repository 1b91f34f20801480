#include "gfx/write_block_to_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/file_test_support.h"
#include "gfx/global_memory_block.h"
#include "gfx/make_temp_file_name.h"
#include "gfx/wrapped_memory_block.h"

namespace {

TEST(WriteBlockToFileTest, WritesTheWholeBlockAndRestoresItsLock) {
  char path[MAX_PATH];
  ASSERT_NE(MakeTempFileName("twb", path, sizeof path), 0u);
  GlobalMemoryBlock block(3000, false);
  ASSERT_NE(block.Pointer(), nullptr);
  for (int i = 0; i < 3000; ++i) static_cast<char*>(block.Pointer())[i] = static_cast<char>(i);
  std::string expected(static_cast<char*>(block.Pointer()), 3000);
  block.Unlock();

  EXPECT_EQ(WriteBlockToFile(&block, path), 3000u);
  EXPECT_EQ(block.LockCount(), 0);
  EXPECT_EQ(ReadWholeFile(path), expected);

  // A second write replaces the file.
  char small[] = "tiny";
  WrappedMemoryBlock wrapped(small, 4, false, true);
  EXPECT_EQ(WriteBlockToFile(&wrapped, path), 4u);
  EXPECT_EQ(ReadWholeFile(path), "tiny");
  DeleteFileA(path);
}

TEST(WriteBlockToFileTest, NothingToWriteOrNowhereToWriteGivesZero) {
  WrappedMemoryBlock empty(nullptr, 0, false, false);
  EXPECT_EQ(WriteBlockToFile(&empty, "unused.bin"), 0u);
  EXPECT_EQ(GetFileAttributesA("unused.bin"), INVALID_FILE_ATTRIBUTES);
  char bytes[8] = {};
  WrappedMemoryBlock some(bytes, 8, false, false);
  EXPECT_EQ(WriteBlockToFile(&some, "c:\\no such directory\\x.bin"), 0u);
  EXPECT_EQ(WriteBlockToFile(nullptr, "unused.bin"), 0u);
}

}  // namespace
