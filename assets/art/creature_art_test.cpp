// Frame strips of every creature against the rules the actors rely on.
#include "assets/art/bubbles.h"
#include "assets/art/creature_art.h"
#include "scene/creature_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Rendered {
  const SpeciesRecord* record;
  FrameStrip strip;
};

const std::vector<Rendered>& AllStrips() {
  static const std::vector<Rendered> strips = [] {
    std::vector<Rendered> v;
    for (int i = 0; i < kSpeciesCount; ++i) {
      const SpeciesRecord* s = SpeciesAt(i);
      Creature c;
      EXPECT_TRUE(CreatureFor(s->spriteName, &c)) << s->spriteName;
      v.push_back(Rendered{s, RenderCreature(c, s->totalFrames, s->swimFrames)});
    }
    return v;
  }();
  return strips;
}

bool FrameHasPixels(const FrameStrip& strip, int k) {
  const RgbaImage f = StripFrame(strip, k);
  for (std::size_t i = 3; i < f.pixels.size(); i += 4) {
    if (f.pixels[i]) return true;
  }
  return false;
}

TEST(SpeciesArt, StripsHaveTheTableFrameCountsAndEqualFrames) {
  for (const Rendered& r : AllStrips()) {
    SCOPED_TRACE(r.record->spriteName);
    EXPECT_EQ(r.strip.frames, r.record->totalFrames);
    EXPECT_EQ(r.strip.image.height, r.strip.frameHeight * r.record->totalFrames);
    EXPECT_EQ(r.strip.image.height % r.record->totalFrames, 0);
    EXPECT_EQ(r.strip.image.width, r.strip.frameWidth);
    for (int k = 0; k < r.strip.frames; ++k) EXPECT_TRUE(FrameHasPixels(r.strip, k)) << k;
  }
}

TEST(SpeciesArt, FramesLeaveTheActorRangesOnTheSmallestBackground) {
  const int W = 640, H = 480;
  for (const Rendered& r : AllStrips()) {
    SCOPED_TRACE(r.record->spriteName);
    const int minX = W * r.record->left / 100, maxX = W * r.record->right / 100;
    EXPECT_GE(maxX - minX, 2);
    const int maxY = H - r.strip.frameHeight;
    const int minY = H * r.record->top / 100;
    // Bottom walkers (top 100) are given a range of 2 by the actor itself.
    if (r.record->top < 100) {
      EXPECT_GE(maxY - minY, 2);
    }
    EXPECT_GT(maxY, 2);
    EXPECT_LT(r.strip.frameWidth, W / 2);
  }
}

TEST(SpeciesArt, SizesRunFromTheTetraToTheTurtleAndDolphin) {
  int neon = 0, turtle = 0, dolphin = 0;
  for (const Rendered& r : AllStrips()) {
    if (!std::strcmp(r.record->spriteName, "NEON")) neon = r.strip.frameWidth;
    if (!std::strcmp(r.record->spriteName, "LOGGERHEAD")) turtle = r.strip.frameWidth;
    if (!std::strcmp(r.record->spriteName, "DOLPHIN")) dolphin = r.strip.frameWidth;
  }
  EXPECT_GE(neon, 40);
  EXPECT_LE(neon, 70);
  EXPECT_GE(turtle, 240);
  EXPECT_LE(turtle, 320);
  EXPECT_GE(dolphin, 240);
  EXPECT_LE(dolphin, 320);
}

TEST(SpeciesArt, TurnEndsOnTheFirstFrameMirrored) {
  for (const Rendered& r : AllStrips()) {
    if (r.record->totalFrames == r.record->swimFrames) continue;
    SCOPED_TRACE(r.record->spriteName);
    const RgbaImage first = StripFrame(r.strip, 0);
    const RgbaImage last = StripFrame(r.strip, r.strip.frames - 1);
    const RgbaImage mirrored = MirrorImage(first);
    EXPECT_EQ(last.pixels, mirrored.pixels);
    // Mid-turn the creature is seen edge on: far narrower than when swimming.
    const int mid = r.record->swimFrames + (r.record->totalFrames - r.record->swimFrames) / 2;
    auto width = [](const RgbaImage& f) {
      int x0 = f.width, x1 = 0;
      for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) {
          if (f.At(x, y)[3] > 128) {
            x0 = std::min(x0, x);
            x1 = std::max(x1, x + 1);
          }
        }
      }
      return std::max(0, x1 - x0);
    };
    EXPECT_LT(width(StripFrame(r.strip, mid)), width(first) / 2);
  }
}

TEST(SpeciesArt, SwimCycleMovesAndLoops) {
  for (const Rendered& r : AllStrips()) {
    SCOPED_TRACE(r.record->spriteName);
    const RgbaImage a = StripFrame(r.strip, 0), b = StripFrame(r.strip, r.record->swimFrames / 2);
    EXPECT_NE(a.pixels, b.pixels);  // something moves within the cycle
  }
}

TEST(SpeciesArt, PufferGrowsFromSlimToRound) {
  for (const Rendered& r : AllStrips()) {
    if (std::strcmp(r.record->spriteName, "PUFFER")) continue;
    auto height = [](const RgbaImage& f) {
      int y0 = f.height, y1 = 0;
      for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) {
          if (f.At(x, y)[3] > 128) {
            y0 = std::min(y0, y);
            y1 = std::max(y1, y + 1);
          }
        }
      }
      return y1 - y0;
    };
    int previous = 0;
    for (int k = 0; k < r.strip.frames; ++k) {
      const int h = height(StripFrame(r.strip, k));
      EXPECT_GE(h + 2, previous) << k;  // never shrinks (fins may wobble a pixel)
      previous = std::max(previous, h);
    }
    EXPECT_GT(height(StripFrame(r.strip, 15)), height(StripFrame(r.strip, 0)) * 3 / 2);
  }
}

TEST(SpeciesArt, RenderingIsDeterministic) {
  Creature c;
  ASSERT_TRUE(CreatureFor("CLOWN", &c));
  const FrameStrip a = RenderCreature(c, 10, 10), b = RenderCreature(c, 10, 10);
  EXPECT_EQ(a.image.pixels, b.image.pixels);
  EXPECT_EQ(RenderBubbleBurst().image.pixels, RenderBubbleBurst().image.pixels);
}

// ---- twice the size ----------------------------------------------------------

// Mean absolute channel difference between frame k of `once` and frame k of
// `twice` halved, over the pixels opaque in both (the edges differ by their
// antialiasing); -1 when fewer than a hundred pixels are compared.
double HalvedDifference(const FrameStrip& once, const FrameStrip& twice, int k) {
  const RgbaImage a = StripFrame(once, k);
  const RgbaImage b = ReduceImage(StripFrame(twice, k), a.width, a.height);
  long sum = 0, n = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      if (a.At(x, y)[3] != 255 || b.At(x, y)[3] != 255) continue;
      for (int c = 0; c < 3; ++c) sum += std::abs(int(a.At(x, y)[c]) - int(b.At(x, y)[c]));
      ++n;
    }
  }
  return n < 100 ? -1 : double(sum) / (3.0 * n);
}

// The saver places a 2x frame at twice the 1x frame's place: frame k must be
// the 1x frame k at twice the size, pose for pose.
void CheckTwice(const FrameStrip& once, const FrameStrip& twice) {
  ASSERT_EQ(twice.frames, once.frames);
  ASSERT_EQ(twice.frameWidth, 2 * once.frameWidth);
  ASSERT_EQ(twice.frameHeight, 2 * once.frameHeight);
  ASSERT_EQ(twice.image.width, twice.frameWidth);
  ASSERT_EQ(twice.image.height, twice.frameHeight * twice.frames);
  for (int k = 0; k < once.frames; ++k) {
    const double d = HalvedDifference(once, twice, k);
    EXPECT_GE(d, 0) << "frame " << k;
    EXPECT_LT(d, 3.0) << "frame " << k;
  }
}

// Every kind of strip: swim and turn, inflating, drawn mirrored (the
// dolphin), the largest (the turtle) and the longest (the lionfish).
TEST(TwiceSizeStrips, EveryFrameIsTheOnceFrameAtExactlyTwiceTheSize) {
  for (const Rendered& r : AllStrips()) {
    const std::string name = r.record->spriteName;
    if (name != "CLOWN" && name != "PUFFER" && name != "DOLPHIN" && name != "LOGGERHEAD" &&
        name != "LION") {
      continue;
    }
    SCOPED_TRACE(name);
    Creature c;
    ASSERT_TRUE(CreatureFor(r.record->spriteName, &c));
    const FrameStrip twice =
        RenderCreature(c, r.record->totalFrames, r.record->swimFrames, 2);
    CheckTwice(r.strip, twice);
    if (r.record->totalFrames == r.record->swimFrames) continue;
    // The turn still ends on the first frame mirrored, pixel for pixel.
    EXPECT_EQ(StripFrame(twice, twice.frames - 1).pixels,
              MirrorImage(StripFrame(twice, 0)).pixels);
  }
}

// Total alpha of a frame and its alpha-weighted centre.
struct Cloud {
  double weight = 0, x = 0, y = 0;
};

Cloud CloudOf(const RgbaImage& f) {
  Cloud c;
  for (int y = 0; y < f.height; ++y) {
    for (int x = 0; x < f.width; ++x) {
      const int a = f.At(x, y)[3];
      c.weight += a;
      c.x += a * x;
      c.y += a * y;
    }
  }
  if (c.weight > 0) c.x /= c.weight, c.y /= c.weight;
  return c;
}

// Bubbles are translucent throughout, so the frames are compared as clouds:
// halved, each 2x frame holds as much bubble as the 1x frame, centred on the
// same spot.
TEST(TwiceSizeStrips, BubbleBurstIsTheOnceBurstAtTwiceTheSize) {
  const FrameStrip once = RenderBubbleBurst(), twice = RenderBubbleBurst(2);
  EXPECT_EQ(twice.frameWidth, 2 * kBubbleWidth);
  EXPECT_EQ(twice.frameHeight, 2 * kBubbleHeight);
  ASSERT_EQ(twice.frames, once.frames);
  for (int k = 0; k < once.frames; ++k) {
    const RgbaImage a = StripFrame(once, k);
    const Cloud c1 = CloudOf(a), c2 = CloudOf(ReduceImage(StripFrame(twice, k), a.width, a.height));
    if (c1.weight == 0) {
      EXPECT_EQ(c2.weight, 0) << "frame " << k;  // the last frames have faded out
      continue;
    }
    // A little more at 2x: the thinnest rims and highlights have a least
    // size in design units, so they are relatively thicker.
    EXPECT_GT(c2.weight / c1.weight, 0.95) << "frame " << k;
    EXPECT_LT(c2.weight / c1.weight, 1.3) << "frame " << k;
    // A bubble rises about 4 pixels a frame.
    EXPECT_NEAR(c2.x, c1.x, 1.0) << "frame " << k;
    EXPECT_NEAR(c2.y, c1.y, 1.0) << "frame " << k;
  }
}

TEST(BubbleBurst, ThirtyFramesOf160x120RisingAndSpreading) {
  const FrameStrip s = RenderBubbleBurst();
  EXPECT_EQ(s.frames, 30);
  EXPECT_EQ(s.frameWidth, 160);
  EXPECT_EQ(s.image.height, 30 * 120);
  // The cloud's centre of mass climbs and it widens.
  auto stats = [&](int k, double* cy, int* spread) {
    const RgbaImage f = StripFrame(s, k);
    double sum = 0, wy = 0;
    int x0 = f.width, x1 = 0;
    for (int y = 0; y < f.height; ++y) {
      for (int x = 0; x < f.width; ++x) {
        const int a = f.At(x, y)[3];
        if (!a) continue;
        sum += a;
        wy += a * y;
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
      }
    }
    *cy = sum > 0 ? wy / sum : 0;
    *spread = x1 - x0;
  };
  double y5, y20;
  int s5, s20;
  stats(5, &y5, &s5);
  stats(20, &y20, &s20);
  EXPECT_LT(y20, y5 - 20);
  EXPECT_GT(s20, s5);
}

}  // namespace
