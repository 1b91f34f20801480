#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "gfx/global_memory_block.h"
#include "gfx/wrapped_memory_block.h"

namespace {

void Fill(void* bytes, std::uint32_t size, std::uint8_t seed) {
  auto* p = static_cast<std::uint8_t*>(bytes);
  for (std::uint32_t i = 0; i < size; ++i) p[i] = static_cast<std::uint8_t>(seed + i * 7);
}

bool Holds(const void* bytes, std::uint32_t size, std::uint8_t seed) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  for (std::uint32_t i = 0; i < size; ++i) {
    if (p[i] != static_cast<std::uint8_t>(seed + i * 7)) return false;
  }
  return true;
}

// Destroying through the base pointer frees the owned bytes (the leak
// checker would see them otherwise) and leaves borrowed bytes alone.
TEST(WrappedMemoryBlockTest, AlwaysLockedAndFreesOnlyWhatItOwns) {
  HGLOBAL owned = GlobalAlloc(GMEM_FIXED, 64);
  ASSERT_NE(owned, nullptr);
  std::unique_ptr<MemoryBlock> block(new WrappedMemoryBlock(owned, 64, true, false));
  EXPECT_EQ(block->Kind(), MEMORY_BLOCK_WRAPPED);
  EXPECT_EQ(block->Size(), 64u);
  EXPECT_EQ(block->Pointer(), owned);
  EXPECT_EQ(block->LockCount(), 1);
  EXPECT_EQ(block->Lock(), owned);
  block->Unlock();
  block->Unlock();
  EXPECT_EQ(block->Pointer(), owned);
  EXPECT_EQ(block->LockCount(), 1);
  block.reset();

  std::uint8_t borrowed[16] = {};
  {
    WrappedMemoryBlock view(borrowed, sizeof borrowed, false, true);
    EXPECT_TRUE(view.IsReadOnly());
    EXPECT_FALSE(view.Owns());
  }
  borrowed[0] = 1;  // still ours

  WrappedMemoryBlock none(nullptr, 100, true, false);
  EXPECT_EQ(none.Size(), 0u);
  EXPECT_EQ(none.Lock(), nullptr);
}

TEST(GlobalMemoryBlockTest, FixedBlockUsesItsHandleAndStaysMapped) {
  GlobalMemoryBlock block(1000, true);
  EXPECT_EQ(block.Kind(), MEMORY_BLOCK_GLOBAL);
  EXPECT_TRUE(block.IsFixed());
  ASSERT_NE(block.Pointer(), nullptr);
  EXPECT_EQ(block.Pointer(), block.Handle());
  EXPECT_EQ(block.Size(), 1000u);
  EXPECT_GE(GlobalSize(static_cast<HGLOBAL>(block.Handle())), 1000u);
  Fill(block.Pointer(), 1000, 3);
  block.Unlock();
  EXPECT_EQ(block.LockCount(), 0);
  EXPECT_EQ(block.Pointer(), block.Handle());
  EXPECT_FALSE(block.Resize(10));
  EXPECT_EQ(block.Lock(), block.Handle());
  EXPECT_TRUE(Holds(block.Pointer(), 1000, 3));
}

TEST(GlobalMemoryBlockTest, MoveableBlockLocksAndUnlocksOnTheOutermostCall) {
  GlobalMemoryBlock block(256, false);
  ASSERT_EQ(block.Kind(), MEMORY_BLOCK_GLOBAL);
  ASSERT_NE(block.Pointer(), nullptr);
  EXPECT_EQ(block.LockCount(), 1);
  Fill(block.Pointer(), 256, 9);
  void* inner = block.Lock();
  EXPECT_EQ(inner, block.Pointer());
  EXPECT_EQ(block.LockCount(), 2);
  block.Unlock();
  EXPECT_NE(block.Pointer(), nullptr);
  block.Unlock();
  EXPECT_EQ(block.Pointer(), nullptr);
  EXPECT_EQ(block.LockCount(), 0);
  block.Unlock();  // unbalanced: stays at 0
  EXPECT_EQ(block.LockCount(), 0);
  void* again = block.Lock();
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(Holds(again, 256, 9));
}

TEST(GlobalMemoryBlockTest, ResizeOnlyWhenUnlockedAndKeepsTheBytes) {
  GlobalMemoryBlock block(128, false);
  ASSERT_NE(block.Pointer(), nullptr);
  Fill(block.Pointer(), 128, 1);
  EXPECT_FALSE(block.Resize(4096));  // locked
  block.Unlock();
  ASSERT_TRUE(block.Resize(4096));
  EXPECT_EQ(block.Size(), 4096u);
  void* grown = block.Lock();
  ASSERT_NE(grown, nullptr);
  EXPECT_TRUE(Holds(grown, 128, 1));
  Fill(grown, 4096, 5);
  block.Unlock();
  ASSERT_TRUE(block.Resize(16));
  EXPECT_EQ(block.Size(), 16u);
  EXPECT_TRUE(Holds(block.Lock(), 16, 5));
}

// A block destroyed while locked several times still frees its memory.
TEST(GlobalMemoryBlockTest, DestroyedWhileNestedLocked) {
  std::unique_ptr<MemoryBlock> block(new GlobalMemoryBlock(64, false));
  block->Lock();
  block->Lock();
  EXPECT_EQ(block->LockCount(), 3);
  block.reset();
}

#ifdef _WIN32
// The heap cannot give 4 GiB to a 32-bit process.
TEST(GlobalMemoryBlockTest, FailedAllocationLeavesAnEmptyBlock) {
  for (bool fixed : {true, false}) {
    GlobalMemoryBlock block(0xFFFFFFF0u, fixed);
    EXPECT_EQ(block.Kind(), MEMORY_BLOCK_NONE);
    EXPECT_EQ(block.Pointer(), nullptr);
    EXPECT_EQ(block.Lock(), nullptr);
    EXPECT_FALSE(block.Resize(10));
  }
}
#endif

}  // namespace
