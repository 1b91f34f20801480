// The platform palette behind a Palette always holds the whole table.
#include <gtest/gtest.h>

#include "gfx/palette.h"

namespace {

TEST(PlatformPaletteTest, FollowsEveryChange) {
  Palette palette;
  EXPECT_EQ(palette.Handle(), nullptr);
  ASSERT_EQ(palette.Create(16), PALETTE_OK);
  ASSERT_NE(palette.Handle(), nullptr);
  PALETTEENTRY read[16];
  ASSERT_EQ(GetPaletteEntries(palette.Handle(), 0, 16, read), 16u);
  EXPECT_EQ(read[15].peRed | read[15].peGreen | read[15].peBlue, 0);
  const PaletteEntry entries[2] = {{10, 20, 30, PC_NOCOLLAPSE}, {40, 50, 60, PC_RESERVED}};
  ASSERT_EQ(palette.SetEntries(entries, 14, 2), PALETTE_OK);
  ASSERT_EQ(GetPaletteEntries(palette.Handle(), 0, 16, read), 16u);
  EXPECT_EQ(read[14].peRed, 10);
  EXPECT_EQ(read[15].peBlue, 60);
  EXPECT_EQ(read[15].peFlags, PC_RESERVED);
  Palette* clone = palette.Clone();
  ASSERT_NE(clone, nullptr);
  ASSERT_NE(clone->Handle(), palette.Handle());
  ASSERT_EQ(GetPaletteEntries(clone->Handle(), 14, 1, read), 1u);
  EXPECT_EQ(read[0].peGreen, 20);
  clone->Release();
  HPALETTE handle = palette.Handle();
  palette.Free();
  EXPECT_EQ(palette.Handle(), nullptr);
  EXPECT_EQ(GetObjectType(handle), 0u);  // deleted
}

}  // namespace
