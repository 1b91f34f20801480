#include "port/win32.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GlobalMemory, SizeZeroInitAndGrowth) {
  HGLOBAL mem = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 37);
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(GlobalSize(mem), 37u);
  auto* bytes = static_cast<BYTE*>(GlobalLock(mem));
  for (int i = 0; i < 37; ++i) EXPECT_EQ(bytes[i], 0);
  std::memset(bytes, 0xAB, 37);
  mem = GlobalReAlloc(mem, 100, GMEM_MOVEABLE | GMEM_ZEROINIT);
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(GlobalSize(mem), 100u);
  bytes = static_cast<BYTE*>(GlobalLock(mem));
  EXPECT_EQ(bytes[36], 0xAB);
  EXPECT_EQ(bytes[37], 0);
  EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, FourCharacterCodesArePaddedAndKeepCase) {
  EXPECT_EQ(mmioStringToFOURCCA("ARLE", 0), MAKEFOURCC('A', 'R', 'L', 'E'));
  EXPECT_EQ(mmioStringToFOURCCA("fmt", 0), MAKEFOURCC('f', 'm', 't', ' '));
  EXPECT_EQ(mmioStringToFOURCCA("WAVEextra", 0), MAKEFOURCC('W', 'A', 'V', 'E'));
}
