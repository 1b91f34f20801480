#include "sound/memory_stream.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gfx/wrapped_memory_block.h"

namespace {

std::vector<std::uint8_t> Ramp(std::uint32_t n) {
  std::vector<std::uint8_t> v(n);
  for (std::uint32_t i = 0; i < n; ++i) v[i] = std::uint8_t(i * 13 + 5);
  return v;
}

TEST(MemoryStreamTest, ReadOnlyReadsSeeksAndClamps) {
  std::vector<std::uint8_t> bytes = Ramp(100);
  MemoryStream s(new WrappedMemoryBlock(bytes.data(), 100, false, true), true);
  EXPECT_TRUE(s.IsOpen());
  EXPECT_EQ(s.Mode(), MEMORY_STREAM_READ_ONLY);
  EXPECT_EQ(s.Length(), 100u);
  EXPECT_EQ(s.Capabilities(), 15u);
  std::uint8_t got[64];
  EXPECT_EQ(s.Read(got, 60), 60u);
  EXPECT_EQ(got[59], bytes[59]);
  EXPECT_EQ(s.Read(got, 60), 40u);
  EXPECT_EQ(got[0], bytes[60]);
  EXPECT_TRUE(s.IsEof());
  EXPECT_EQ(s.Read(got, 60), 0u);
  EXPECT_EQ(s.Write(got, 4), 0u);  // read-only
  EXPECT_EQ(s.Seek(-10, SEEK_FROM_START), 0);
  EXPECT_EQ(s.Seek(110, SEEK_FROM_START), 100);
  EXPECT_EQ(s.Seek(-30, SEEK_FROM_END), 70);
  EXPECT_EQ(s.Seek(5, SEEK_FROM_CURRENT), 75);
  EXPECT_EQ(s.Seek(1, 7), 75);  // unknown origin: the position
  EXPECT_EQ(s.Seek(INT32_MIN, SEEK_FROM_CURRENT), 0);
  EXPECT_EQ(s.Seek(INT32_MAX, SEEK_FROM_END), 100);
}

TEST(MemoryStreamTest, WritableGrowsOnceAndDetachesItsLength) {
  MemoryStream s;
  ASSERT_TRUE(s.IsOpen());
  EXPECT_EQ(s.Capacity(), 32768u);
  EXPECT_EQ(s.Write(nullptr, 4), 0u);
  std::vector<std::uint8_t> bytes = Ramp(40000);
  EXPECT_EQ(s.Write(bytes.data(), 0), 0u);
  EXPECT_EQ(s.Write(bytes.data(), 40000), 40000u);
  EXPECT_EQ(s.Capacity(), 40000u + 32768u);
  EXPECT_EQ(s.Length(), 40000u);
  // Overwriting inside keeps the length; writing on past it raises it.
  EXPECT_EQ(s.Seek(39990, SEEK_FROM_START), 39990);
  EXPECT_EQ(s.Write(bytes.data(), 5), 5u);
  EXPECT_EQ(s.Length(), 40000u);
  EXPECT_EQ(s.Capacity(), 40000u + 32768u);
  std::unique_ptr<MemoryBlock> block(s.Detach());
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->Size(), 40000u);
  const auto* p = static_cast<const std::uint8_t*>(block->Pointer());
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[39989], bytes[39989]);
  EXPECT_EQ(p[39990], bytes[0]);
  EXPECT_EQ(p[39999], bytes[39999]);
  // The stream is closed afterwards.
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_EQ(s.Write(bytes.data(), 4), 0u);
  EXPECT_EQ(s.Detach(), nullptr);
  std::uint8_t b;
  EXPECT_EQ(s.Read(&b, 1), 0u);
}

TEST(MemoryStreamTest, EmptyWritableDetachesNothingAndBlocksWithoutBytesStayClosed) {
  MemoryStream s;
  EXPECT_EQ(s.Detach(), nullptr);
  EXPECT_FALSE(s.IsOpen());
  MemoryStream none(nullptr, false);
  EXPECT_FALSE(none.IsOpen());
  EXPECT_TRUE(none.IsEof());
  EXPECT_EQ(none.Seek(3, SEEK_FROM_START), 0);
}

TEST(MemoryStreamTest, ReadOnlyDetachHandsOverTheCallersBlock) {
  std::vector<std::uint8_t> bytes = Ramp(10);
  auto* wrapper = new WrappedMemoryBlock(bytes.data(), 10, false, true);
  MemoryStream s(wrapper, true);
  std::unique_ptr<MemoryBlock> block(s.Detach());
  EXPECT_EQ(block.get(), wrapper);
  EXPECT_EQ(block->Size(), 10u);
}

}  // namespace
