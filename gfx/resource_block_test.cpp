#include "gfx/resource_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ResourceBlockTest, FindsNamedResourceOfTheModule) {
  ResourceBlock block(GetModuleHandleA(nullptr), "TESTBLOB", "BIN");
  ASSERT_EQ(block.Kind(), MEMORY_BLOCK_RESOURCE);
  const char expected[] = "Tidewater resource bytes";
  ASSERT_GE(block.Size(), sizeof expected);
  ASSERT_NE(block.Pointer(), nullptr);
  EXPECT_EQ(std::memcmp(block.Pointer(), expected, sizeof expected), 0);
  EXPECT_TRUE(block.IsReadOnly());
  EXPECT_EQ(block.Lock(), block.Pointer());
  block.Unlock();
  EXPECT_NE(block.Pointer(), nullptr);
}

TEST(ResourceBlockTest, FindsNumberedResource) {
  ResourceBlock block(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(321), "BIN");
  ASSERT_EQ(block.Kind(), MEMORY_BLOCK_RESOURCE);
  ASSERT_EQ(block.Size(), 4u);
  const unsigned char expected[] = {1, 2, 3, 4};
  EXPECT_EQ(std::memcmp(block.Pointer(), expected, 4), 0);
}

TEST(ResourceBlockTest, MissingResourceLeavesAnEmptyBlock) {
  HMODULE self = GetModuleHandleA(nullptr);
  const char* names[] = {"NOSUCHNAME", nullptr};
  for (const char* name : names) {
    ResourceBlock block(self, name, "BIN");
    EXPECT_EQ(block.Kind(), MEMORY_BLOCK_NONE);
    EXPECT_EQ(block.Pointer(), nullptr);
    EXPECT_EQ(block.Lock(), nullptr);
    EXPECT_EQ(block.Size(), 0u);
  }
  ResourceBlock wrongType(self, "TESTBLOB", "WAVE");
  EXPECT_EQ(wrongType.Pointer(), nullptr);
}

}  // namespace
