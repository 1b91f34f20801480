#include "scene/creature_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(SpeciesTable, FramesAndRangesAreConsistent) {
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    ASSERT_NE(s, nullptr);
    EXPECT_GT(s->totalFrames, 0) << s->spriteName;
    EXPECT_LE(s->swimFrames, s->totalFrames) << s->spriteName;
    EXPECT_LT(s->left, s->right) << s->spriteName;
    EXPECT_NE(s->speed, 0) << s->spriteName;
  }
  EXPECT_EQ(SpeciesAt(-1), nullptr);
  EXPECT_EQ(SpeciesAt(17), nullptr);
  EXPECT_EQ(SpeciesAt(12)->top, 100);  // the lobster and the crab walk the floor
  EXPECT_EQ(SpeciesAt(14)->top, 100);
}

TEST(SpeciesTable, OnlyTheExactNamePufferIsThePuffer) {
  int puffers = 0;
  for (int i = 0; i < kSpeciesCount; ++i) puffers += IsPufferSpecies(*SpeciesAt(i));
  EXPECT_EQ(puffers, 1);
  EXPECT_TRUE(IsPufferSpecies(*SpeciesAt(9)));
  SpeciesRecord lower = *SpeciesAt(9);
  std::strcpy(lower.spriteName, "puffer");
  EXPECT_FALSE(IsPufferSpecies(lower));
}

TEST(BackgroundTable, VariantsByWidthAndDerivedNames) {
  EXPECT_STREQ(BackgroundAt(0, 640)->background.name, "13S");
  EXPECT_STREQ(BackgroundAt(0, 800)->background.name, "13M");
  EXPECT_STREQ(BackgroundAt(0, 1024)->background.name, "13L");
  EXPECT_STREQ(BackgroundAt(0, 1280)->background.name, "13L");
  EXPECT_EQ(BackgroundAt(8, 640), nullptr);
  EXPECT_EQ(BackgroundAt(-1, 640), nullptr);
  EXPECT_EQ(BackgroundAt(7, 800)->overlayA.name, nullptr);
  EXPECT_EQ(BackgroundAt(5, 640)->overlayA.x, 0);
  EXPECT_STREQ(BackgroundAt(2, 800)->overlayB.name, "03BM");

  char name[8];
  ASSERT_TRUE(PreviewPictureName(3, name, sizeof name));
  EXPECT_STREQ(name, "06LP");
  ASSERT_TRUE(PalettePictureName(3, name, sizeof name));
  EXPECT_STREQ(name, "06P");
  EXPECT_FALSE(PreviewPictureName(3, name, 4));  // "06LP" needs 5 bytes
  EXPECT_FALSE(PalettePictureName(8, name, sizeof name));
}

TEST(PictureNames, TwiceSizeNamesAddTheSuffixAndFitOrFail) {
  char name[13];
  ASSERT_TRUE(TwiceSizeName("LOGGERHEAD", name, sizeof name));
  EXPECT_STREQ("LOGGERHEAD@2", name);
  ASSERT_TRUE(TwiceSizeName("13LW", name, 7));
  EXPECT_STREQ("13LW@2", name);
  EXPECT_FALSE(TwiceSizeName("13LW", name, 6));  // no room for the zero
  EXPECT_FALSE(TwiceSizeName("", name, sizeof name));
  EXPECT_FALSE(TwiceSizeName(nullptr, name, sizeof name));
  EXPECT_FALSE(TwiceSizeName("CLOWN", nullptr, 8));
  EXPECT_FALSE(TwiceSizeName("CLOWN", name, -1));
}

TEST(BackgroundTable, WideNamesAreTheLargeNamesWithW) {
  for (int i = 0; i < kBackgroundCount; ++i) {
    char name[8];
    ASSERT_TRUE(WidePictureName(i, name, sizeof name));
    const std::string large = BackgroundAt(i, 1024)->background.name;
    EXPECT_EQ(name, large + "W");
    char preview[8];
    ASSERT_TRUE(PreviewPictureName(i, preview, sizeof preview));
    EXPECT_STRNE(name, preview);
  }
  char name[8] = "keep";
  EXPECT_FALSE(WidePictureName(0, name, 4));  // "13LW" needs 5 bytes
  EXPECT_STREQ(name, "keep");                 // nothing written when it does not fit
  EXPECT_TRUE(WidePictureName(0, name, 5));
  EXPECT_FALSE(WidePictureName(8, name, sizeof name));
  EXPECT_FALSE(WidePictureName(-1, name, sizeof name));
  EXPECT_FALSE(WidePictureName(0, nullptr, 8));
  // A 21:9 screen 768 high: narrower shapes are centred crops of it.
  EXPECT_EQ(kWidePictureWidth, 768 * 21 / 9);
}
