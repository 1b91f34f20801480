// What rera's list and sheet read from a picture's name.
#include "assets/rera/library.h"

#include "scene/creature_table.h"

#include <gtest/gtest.h>

namespace {

TEST(FramesOfPicture, TwiceSizePicturesHaveTheFramesOfTheirOnceSizePictures) {
  for (int i = 0; i < kSpeciesCount; ++i) {
    const SpeciesRecord* s = SpeciesAt(i);
    SCOPED_TRACE(s->spriteName);
    char twice[24];
    ASSERT_TRUE(TwiceSizeName(s->spriteName, twice, sizeof twice));
    EXPECT_EQ(FramesOfPicture(s->spriteName), s->totalFrames);
    EXPECT_EQ(FramesOfPicture(twice), s->totalFrames);
    if (!s->maskName[0]) continue;
    ASSERT_TRUE(TwiceSizeName(s->maskName, twice, sizeof twice));
    EXPECT_EQ(FramesOfPicture(twice), s->totalFrames);
  }
  EXPECT_EQ(FramesOfPicture("BUB1@2"), 30);
  EXPECT_EQ(FramesOfPicture("BUB1A@2"), 30);
  EXPECT_EQ(FramesOfPicture("13LW@2"), 1);
  EXPECT_EQ(FramesOfPicture("13AL@2"), 1);
}

TEST(FramesOfPicture, OnlyTheSuffixItselfIsTakenOff) {
  EXPECT_EQ(FramesOfPicture("@2"), 1);
  EXPECT_EQ(FramesOfPicture("CLOWN@2@2"), 1);
  EXPECT_EQ(FramesOfPicture("CLOWN@"), 1);
  EXPECT_EQ(FramesOfPicture("CLOWN2"), 1);
  EXPECT_EQ(FramesOfPicture(""), 1);
}

}  // namespace
