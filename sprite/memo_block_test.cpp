#include "sprite/memo_block.h"

#include "sprite/sprite_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

struct Block {
  std::vector<BYTE> bytes;
};

Block Compress(const std::vector<BYTE>& data) {
  SIZE_T total = 0;
  void* p = MemoCompress(data.data(), data.size(), &total);
  EXPECT_NE(p, nullptr);
  Block b;
  if (p) {
    b.bytes.assign(static_cast<BYTE*>(p), static_cast<BYTE*>(p) + total);
    GlobalFree(p);
  }
  return b;
}

// Expands and returns the data, or nothing when refused.
bool Expand(const std::vector<BYTE>& block, std::vector<BYTE>* out,
            std::uint64_t maxData = std::uint64_t(1) << 30) {
  SIZE_T size = 0;
  void* p = MemoExpand(block.data(), block.size(), maxData, &size);
  if (!p) return false;
  out->assign(static_cast<BYTE*>(p), static_cast<BYTE*>(p) + size);
  GlobalFree(p);
  return true;
}

}  // namespace

TEST(MemoBlock, RoundTripsAndDescribesItself) {
  std::mt19937 rng(1);
  for (std::size_t size : {0u, 1u, 12u, 1000u, 65536u, 300001u}) {
    // Random bytes are incompressible: the work buffer must still hold them.
    for (bool random : {true, false}) {
      std::vector<BYTE> data(size);
      for (auto& b : data) b = random ? BYTE(rng()) : BYTE(rng() % 3);
      const Block block = Compress(data);
      ASSERT_GE(block.bytes.size(), kMemoHeaderBytes);
      EXPECT_EQ(ReadU32(block.bytes.data()), 0x4F4D454Du);
      EXPECT_EQ(MemoTotalSize(block.bytes.data(), block.bytes.size()), block.bytes.size());
      EXPECT_EQ(MemoDataSize(block.bytes.data(), block.bytes.size()), size);
      EXPECT_TRUE(ValidateMemo(block.bytes.data(), block.bytes.size(), size));
      std::vector<BYTE> back;
      ASSERT_TRUE(Expand(block.bytes, &back)) << size;
      EXPECT_EQ(back, data);
    }
  }
}

TEST(MemoBlock, WrongMagicOrShortHeaderGivesNothing) {
  Block block = Compress(std::vector<BYTE>(100, 9));
  EXPECT_EQ(MemoTotalSize(block.bytes.data(), 11), 0u);
  EXPECT_EQ(MemoDataSize(nullptr, 100), 0u);
  block.bytes[0] = 'm';
  EXPECT_EQ(MemoTotalSize(block.bytes.data(), block.bytes.size()), 0u);
  EXPECT_EQ(MemoDataSize(block.bytes.data(), block.bytes.size()), 0u);
  std::vector<BYTE> out;
  EXPECT_FALSE(Expand(block.bytes, &out));
}

TEST(MemoBlock, SizeLiesAreRefused) {
  std::vector<BYTE> data(5000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = BYTE(i * 7 / 13);
  const Block good = Compress(data);
  std::vector<BYTE> out;

  // The stored data size claims more than the stream holds: the tail of the
  // buffer would be left undefined.
  Block b = good;
  WriteU32(&b.bytes[8], 5001);
  EXPECT_FALSE(Expand(b.bytes, &out));
  // ... or less than the stream holds.
  WriteU32(&b.bytes[8], 4999);
  EXPECT_FALSE(Expand(b.bytes, &out));
  // The data size is above what the caller allows.
  EXPECT_FALSE(Expand(good.bytes, &out, 4999));
  EXPECT_FALSE(ValidateMemo(good.bytes.data(), good.bytes.size(), 4999));
  // The total claims more bytes than there are, or not even a stream.
  b = good;
  WriteU32(&b.bytes[4], std::uint32_t(b.bytes.size() + 1));
  EXPECT_FALSE(Expand(b.bytes, &out));
  WriteU32(&b.bytes[4], 13);
  EXPECT_FALSE(Expand(b.bytes, &out));
  // A stream cut short, with a consistent total.
  b = good;
  b.bytes.resize(b.bytes.size() - 5);
  WriteU32(&b.bytes[4], std::uint32_t(b.bytes.size()));
  EXPECT_FALSE(Expand(b.bytes, &out));
  // A damaged stream (the checksum catches what inflate does not).
  b = good;
  b.bytes[b.bytes.size() / 2] ^= 0x55;
  EXPECT_FALSE(Expand(b.bytes, &out));
  // Every truncation of the available bytes is refused.
  for (std::size_t n = 0; n < good.bytes.size(); ++n) {
    SIZE_T size = 0;
    void* p = MemoExpand(good.bytes.data(), n, 1 << 20, &size);
    EXPECT_EQ(p, nullptr) << n;
    if (p) GlobalFree(p);
  }
}
