#include "pixel/colour_octree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <vector>

// The tree path of a colour as one number: the eight child indices, root first. Sorting
// by it gives depth-first, lowest-child-first order.
static std::uint32_t PathKey(std::uint32_t colour) {
  std::uint32_t key = 0;
  for (int k = 0; k < 8; ++k) {
    const std::uint32_t bit = 0x80u >> k;
    key = key << 3 | ((colour >> 16) & bit ? 4 : 0) | ((colour >> 8) & bit ? 2 : 0) |
          (colour & bit ? 1 : 0);
  }
  return key;
}

static std::uint32_t RandomColour(std::mt19937& rng) { return rng() & 0xffffff; }

static ColourOctree::Node* InsertColour(ColourOctree& tree, std::uint32_t c, OctreePayload p) {
  return tree.Insert(std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), p);
}

static std::vector<std::uint32_t> WalkLeaves(const ColourOctree& tree) {
  std::vector<std::uint32_t> colours;
  for (auto* leaf = tree.FirstLeaf(); leaf; leaf = tree.NextLeaf(leaf)) {
    colours.push_back(leaf->colour);
  }
  return colours;
}

// Checks the leaf walk and the level lists against the set of colours held.
static void ExpectShape(const ColourOctree& tree, const std::set<std::uint32_t>& colours) {
  ASSERT_EQ(tree.LeafCount(), colours.size());
  std::vector<std::uint32_t> want(colours.begin(), colours.end());
  std::sort(want.begin(), want.end(),
            [](std::uint32_t a, std::uint32_t b) { return PathKey(a) < PathKey(b); });
  EXPECT_EQ(WalkLeaves(tree), want);
  for (int level = 0; level <= 8; ++level) {
    // Nodes of this level are the distinct path prefixes; listed are those with two or
    // more distinct next steps.
    std::map<std::uint32_t, std::set<std::uint32_t>> next;
    for (std::uint32_t c : colours) {
      const std::uint32_t key = PathKey(c);
      const std::uint32_t prefix = level == 0 ? 0 : key >> (3 * (8 - level));
      if (level < 8) next[prefix].insert((key >> (3 * (7 - level))) & 7);
    }
    std::size_t expected = 0;
    for (auto& entry : next) expected += entry.second.size() >= 2;
    std::size_t listed = 0;
    for (auto* node = tree.LevelListFirst(level); node; node = node->levelNext) {
      EXPECT_EQ(node->level, level);
      EXPECT_GE(node->childCount, 2);
      EXPECT_TRUE(node->listed);
      ++listed;
    }
    EXPECT_EQ(listed, expected) << "level " << level;
  }
}

TEST(ColourOctree, InsertFindAndDuplicates) {
  ColourOctree tree;
  EXPECT_EQ(tree.FirstLeaf(), nullptr);
  std::uint8_t r = 1, g = 2, b = 3;
  EXPECT_EQ(tree.FindNearest(&r, &g, &b), nullptr);
  EXPECT_EQ(tree.FindExact(1, 2, 3), nullptr);

  auto* leaf = tree.Insert(10, 20, 30, 5);
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->level, 8);
  EXPECT_EQ(leaf->colour, 0x0a141eu);
  EXPECT_EQ(tree.Insert(10, 20, 30, 9), nullptr);  // present: first payload kept
  EXPECT_EQ(tree.LeafCount(), 1u);
  EXPECT_EQ(tree.FindExact(10, 20, 30), leaf);
  EXPECT_EQ(leaf->payload, 5u);
  EXPECT_EQ(tree.FindExact(10, 20, 31), nullptr);
  r = 11, g = 21, b = 31;
  EXPECT_EQ(tree.Find(&r, &g, &b, true), nullptr);
  EXPECT_EQ(tree.Find(&r, &g, &b, false), leaf);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(g, 20);
  EXPECT_EQ(b, 30);
}

TEST(ColourOctree, RemovingTheOnlyLeafKeepsTheRoot) {
  ColourOctree tree;
  auto* leaf = tree.Insert(200, 100, 50, 1);
  EXPECT_EQ(tree.Remove(nullptr), 0u);
  EXPECT_EQ(tree.Remove(const_cast<ColourOctree::Node*>(tree.Root())), 0u);  // not a leaf
  EXPECT_EQ(tree.LeafCount(), 1u);
  EXPECT_EQ(tree.Remove(leaf), 0u);
  EXPECT_EQ(tree.LeafCount(), 0u);
  EXPECT_EQ(tree.FirstLeaf(), nullptr);
  EXPECT_EQ(tree.Root()->childCount, 0);
  for (auto* c : tree.Root()->child) EXPECT_EQ(c, nullptr);
  ASSERT_NE(tree.Insert(200, 100, 50, 2), nullptr);  // usable again
}

TEST(ColourOctree, WalksAndLevelListsFollowRandomInsertsAndRemoves) {
  std::mt19937 rng(3);
  ColourOctree tree;
  std::set<std::uint32_t> colours;
  for (int round = 0; round < 6; ++round) {
    for (int i = 0; i < 300; ++i) {
      // Clustered colours so that deep shared paths occur.
      std::uint32_t c = RandomColour(rng);
      if (i % 3) c = (c & 0xe0e0e0) | (rng() & 0x070707);
      const bool fresh = colours.insert(c).second;
      EXPECT_EQ(InsertColour(tree, c, c) != nullptr, fresh);
    }
    ExpectShape(tree, colours);
    std::vector<std::uint32_t> held(colours.begin(), colours.end());
    std::shuffle(held.begin(), held.end(), rng);
    for (std::size_t i = 0; i < held.size() / 2; ++i) {
      auto* leaf = tree.FindExact(std::uint8_t(held[i] >> 16), std::uint8_t(held[i] >> 8),
                                  std::uint8_t(held[i]));
      ASSERT_NE(leaf, nullptr);
      colours.erase(held[i]);
      EXPECT_EQ(tree.Remove(leaf), colours.size());
    }
    ExpectShape(tree, colours);
  }
  tree.RemoveAll();
  ExpectShape(tree, {});
}

TEST(ColourOctree, LevelListKeepsTheOrderNodesBecameBranches) {
  ColourOctree tree;
  // Two branches at level 7 (the parents of the leaves), made in this order.
  InsertColour(tree, 0x101010, 0);
  InsertColour(tree, 0x808080, 1);
  InsertColour(tree, 0x808081, 2);  // 0x8080.. parent becomes a branch first
  InsertColour(tree, 0x101011, 3);
  auto* first = tree.LevelListFirst(7);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->levelNext, nullptr);
  EXPECT_EQ(first->child[0]->colour, 0x808080u);
  EXPECT_EQ(first->levelNext->child[0]->colour, 0x101010u);
  EXPECT_EQ(first->levelNext->levelNext, nullptr);
  EXPECT_EQ(tree.LevelListFirst(0)->level, 0);  // root: children 0 and 7
  EXPECT_EQ(tree.LevelListFirst(9), nullptr);
  EXPECT_EQ(tree.LevelListFirst(-1), nullptr);
}

TEST(ColourOctree, FirstAndLastLeafUnderHonourTheStartChild) {
  ColourOctree tree;
  // Root children 1 (blue top bit), 2 (green) and 6 (red + green).
  InsertColour(tree, 0x000080, 10);
  InsertColour(tree, 0x0000c0, 11);
  InsertColour(tree, 0x008000, 20);
  InsertColour(tree, 0x808000, 60);
  InsertColour(tree, 0x80c000, 61);
  const auto* root = tree.Root();
  EXPECT_EQ(ColourOctree::FirstLeafUnder(root, 0)->payload, 10u);
  EXPECT_EQ(ColourOctree::FirstLeafUnder(root, 2)->payload, 20u);
  EXPECT_EQ(ColourOctree::FirstLeafUnder(root, 3)->payload, 60u);
  EXPECT_EQ(ColourOctree::FirstLeafUnder(root, 7), nullptr);
  EXPECT_EQ(ColourOctree::FirstLeafUnder(root, 8), nullptr);
  EXPECT_EQ(ColourOctree::LastLeafUnder(root, 7)->payload, 61u);
  EXPECT_EQ(ColourOctree::LastLeafUnder(root, 5)->payload, 20u);
  EXPECT_EQ(ColourOctree::LastLeafUnder(root, 1)->payload, 11u);
  EXPECT_EQ(ColourOctree::LastLeafUnder(root, 0), nullptr);
  EXPECT_EQ(ColourOctree::LastLeafUnder(root, -1), nullptr);
}

TEST(ColourOctree, OnLeafRemovedSeesEveryPayload) {
  struct Logging : ColourOctree {
    explicit Logging(std::vector<OctreePayload>* log) : log(log) {}
    ~Logging() override { RemoveAll(); }
    void OnLeafRemoved(OctreePayload payload) override { log->push_back(payload); }
    std::vector<OctreePayload>* log;
  };
  std::vector<OctreePayload> removed;
  {
    Logging tree(&removed);
    InsertColour(tree, 0x010203, 1);
    InsertColour(tree, 0x040506, 2);
    InsertColour(tree, 0xfffefd, 3);
    tree.Remove(tree.FindExact(4, 5, 6));
    EXPECT_EQ(removed, std::vector<OctreePayload>{2});
    tree.RemoveAll();  // in leaf order
    EXPECT_EQ(removed, (std::vector<OctreePayload>{2, 1, 3}));
    InsertColour(tree, 0x777777, 4);
  }
  EXPECT_EQ(removed, (std::vector<OctreePayload>{2, 1, 3, 4}));  // the destructor's share
}

// For palettes made of the centres of a regular grid of 2^bits cells per channel, the
// nearest search lands in the query's own cell, which is also the Euclidean nearest
// centre (queries on a cell boundary are equidistant and left out).
TEST(ColourOctree, NearestAgreesWithBruteForceOnCellCentres) {
  std::mt19937 rng(5);
  for (int bits = 1; bits <= 3; ++bits) {
    const int cells = 1 << bits, size = 256 / cells;
    ColourOctree tree;
    std::vector<std::uint32_t> palette;
    for (int r = 0; r < cells; ++r)
      for (int g = 0; g < cells; ++g)
        for (int b = 0; b < cells; ++b) {
          const std::uint32_t c = ColourOctree::ColourOf(
              std::uint8_t(r * size + size / 2), std::uint8_t(g * size + size / 2),
              std::uint8_t(b * size + size / 2));
          InsertColour(tree, c, palette.size());
          palette.push_back(c);
        }
    for (int i = 0; i < 3000; ++i) {
      std::uint8_t q[3];
      for (auto& v : q) {
        do v = std::uint8_t(rng()); while (v % size == 0 && v != 0);
      }
      std::uint32_t best = 0;
      long bestDist = 1L << 30;
      for (std::uint32_t c : palette) {
        const long dr = long(c >> 16) - q[0], dg = long((c >> 8) & 255) - q[1],
                   db = long(c & 255) - q[2];
        const long dist = dr * dr + dg * dg + db * db;
        if (dist < bestDist) bestDist = dist, best = c;
      }
      std::uint8_t r = q[0], g = q[1], b = q[2];
      auto* leaf = tree.FindNearest(&r, &g, &b);
      ASSERT_NE(leaf, nullptr);
      EXPECT_EQ(leaf->colour, best) << bits << ": " << int(q[0]) << "," << int(q[1]) << ","
                                    << int(q[2]);
      EXPECT_EQ(ColourOctree::ColourOf(r, g, b), leaf->colour);
    }
  }
}

TEST(ColourOctree, NearestPrefersExtremeBitAfterDeviatingOneLevelOnly) {
  ColourOctree tree;
  // Red 0x80 = 1000 0000 and 0xa0 = 1010 0000, green and blue 0.
  InsertColour(tree, 0x800000, 1);
  InsertColour(tree, 0xa00000, 2);
  // Query red 0x7f = 0111 1111: level 0 must go above (1); level 1 then prefers 0 and
  // takes it; from level 2 on the query's own bits lead again, so 0xa0 wins although
  // 0x80 is nearer.
  std::uint8_t r = 0x7f, g = 0, b = 0;
  EXPECT_EQ(tree.FindNearest(&r, &g, &b)->payload, 2u);
  EXPECT_EQ(r, 0xa0);

  // Red 0xc0 = 1100 0000 and 0xa0 = 1010 0000: after going above at level 0 the search
  // prefers bit 0 at level 1 in red, so 0xa0 is taken over the query's own 0xc0 path.
  ColourOctree second;
  InsertColour(second, 0xc00000, 1);
  InsertColour(second, 0xa00000, 2);
  r = 0x40;  // 0100 0000
  g = b = 0;
  EXPECT_EQ(second.FindNearest(&r, &g, &b)->payload, 2u);
  // Going below in green (wanted 1, took 0) makes the next level prefer 1 in green.
  ColourOctree third;
  InsertColour(third, 0x000000, 1);  // green 0000 0000
  InsertColour(third, 0x004000, 2);  // green 0100 0000
  r = 0, g = 0x80, b = 0;            // green 1000 0000
  EXPECT_EQ(third.FindNearest(&r, &g, &b)->payload, 2u);
}

TEST(ColourOctree, NearestFallbackCountsDifferingBitsAndTiesGoHigh) {
  ColourOctree tree;
  InsertColour(tree, 0x000080, 1);  // root child 1
  InsertColour(tree, 0x008000, 2);  // root child 2
  std::uint8_t r = 0, g = 0, b = 0;  // wants child 0: both differ in one bit
  EXPECT_EQ(tree.FindNearest(&r, &g, &b)->payload, 2u);
  InsertColour(tree, 0x800000, 4);  // child 4, also one bit away: the highest wins
  r = g = b = 0;
  EXPECT_EQ(tree.FindNearest(&r, &g, &b)->payload, 4u);

  ColourOctree fewer;
  InsertColour(fewer, 0x008080, 3);  // child 3
  InsertColour(fewer, 0x800000, 4);  // child 4
  r = g = b = 0xff;                  // wants child 7: 3 differs in one bit, 4 in two
  EXPECT_EQ(fewer.FindNearest(&r, &g, &b)->payload, 3u);
}

TEST(ColourOctree, EqualEntriesGiveOneLeafFoundByEverySearch) {
  ColourOctree tree;
  for (int i = 0; i < 10; ++i) tree.Insert(90, 90, 90, OctreePayload(i));
  EXPECT_EQ(tree.LeafCount(), 1u);
  std::mt19937 rng(1);
  for (int i = 0; i < 200; ++i) {
    std::uint8_t r = std::uint8_t(rng()), g = std::uint8_t(rng()), b = std::uint8_t(rng());
    EXPECT_EQ(tree.FindNearest(&r, &g, &b)->payload, 0u);
  }
}

TEST(ColourOctree, NearestOfPresentColoursIsExact) {
  std::mt19937 rng(9);
  ColourOctree tree;
  std::vector<std::uint32_t> colours;
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t c = RandomColour(rng);
    if (InsertColour(tree, c, c)) colours.push_back(c);
  }
  for (std::uint32_t c : colours) {
    std::uint8_t r = std::uint8_t(c >> 16), g = std::uint8_t(c >> 8), b = std::uint8_t(c);
    EXPECT_EQ(tree.FindNearest(&r, &g, &b)->payload, c);
  }
}
