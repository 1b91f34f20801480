#include "scene/dirty_rect_list.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<Rect> Drain(DirtyRectList& list) {
  std::vector<Rect> out;
  while (list.Count() != 0) out.push_back(list.TakeFirst());
  return out;
}

bool Same(const Rect& a, const Rect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// Closed-range containment written out corner by corner, in 64 bits.
bool Holds(const Rect& outer, long long px, long long py) {
  return outer.x <= px && px <= (long long)outer.x + outer.width && outer.y <= py &&
         py <= (long long)outer.y + outer.height;
}
bool Contains(const Rect& outer, const Rect& inner) {
  return Holds(outer, inner.x, inner.y) &&
         Holds(outer, (long long)inner.x + inner.width, (long long)inner.y + inner.height);
}

void ExpectList(DirtyRectList& list, std::vector<Rect> expected) {
  std::vector<Rect> got = Drain(list);
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i)
    EXPECT_TRUE(Same(got[i], expected[i])) << "element " << i << ": " << got[i].x << ","
                                           << got[i].y << "," << got[i].width << ","
                                           << got[i].height;
}

}  // namespace

TEST(DirtyRectList, ContainmentCases) {
  DirtyRectList list;
  list.Add({0, 0, 10, 10});
  list.Add({0, 0, 10, 10});
  ExpectList(list, {{0, 0, 10, 10}});

  list.Add({5, 5, 10, 10});
  list.Add({50, 50, 10, 10});
  list.Add({0, 0, 100, 100});
  ExpectList(list, {{0, 0, 100, 100}});

  list.Add({0, 0, 100, 100});
  list.Add({5, 5, 10, 10});
  ExpectList(list, {{0, 0, 100, 100}});

  list.Add({5, 5, 10, 10});
  list.Add({0, 0, 10, 10});
  ExpectList(list, {{5, 5, 10, 10}, {0, 0, 10, 10}});

  // Bounds are inclusive: (10, 10) lies inside (0, 0, 10, 10).
  list.Add({0, 0, 10, 10});
  list.Add({0, 0, 11, 11});
  ExpectList(list, {{0, 0, 11, 11}});
  list.Add({0, 0, 10, 10});
  list.Add({10, 10, 0, 0});
  ExpectList(list, {{0, 0, 10, 10}});
}

TEST(DirtyRectList, RemovalKeepsTheOrderOfTheRest) {
  DirtyRectList list;
  list.Add({0, 0, 5, 5});
  list.Add({100, 100, 5, 5});
  list.Add({2, 2, 1, 1});  // covered by the first: not added
  list.Add({200, 0, 5, 5});
  list.Add({99, 99, 10, 10});  // covers the second only
  ExpectList(list, {{0, 0, 5, 5}, {200, 0, 5, 5}, {99, 99, 10, 10}});
}

TEST(DirtyRectList, TakeFirstIsFirstInFirstOut) {
  DirtyRectList list;
  for (int i = 0; i < 5; ++i) list.Add({i * 20, 0, 10, 10});
  EXPECT_EQ(list.Count(), 5u);
  EXPECT_EQ(list.TakeFirst().x, 0);
  list.Add({200, 0, 10, 10});
  EXPECT_EQ(list.Count(), 5u);
  std::vector<Rect> rest = Drain(list);
  ASSERT_EQ(rest.size(), 5u);
  EXPECT_EQ(rest[0].x, 20);
  EXPECT_EQ(rest[4].x, 200);
  EXPECT_EQ(list.TakeFirst().width, 0);  // empty: an empty rectangle, no crash
  list.Add({1, 1, 1, 1});
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
}

TEST(DirtyRectList, HugeNumbersDoNotWrap) {
  DirtyRectList list;
  list.Add({INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX});
  // Wrapped arithmetic would put this one's far corner at (INT32_MAX, INT32_MAX)
  list.Add({INT32_MIN, INT32_MIN, -1, -1});
  // and make it cover everything, this one included.
  list.Add({0, 0, 1, 1});
  EXPECT_EQ(list.Count(), 3u);
}

TEST(DirtyRectList, MatchesTheContainmentModelOnRandomInput) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> pos(0, 12), size(-2, 8), count(1, 40);
  for (int round = 0; round < 2000; ++round) {
    DirtyRectList list;
    std::vector<Rect> model, added;
    int n = count(rng);
    for (int i = 0; i < n; ++i) {
      Rect r{pos(rng), pos(rng), size(rng), size(rng)};
      added.push_back(r);
      list.Add(r);
      bool covered = false;
      for (const Rect& e : model) covered = covered || Contains(e, r);
      if (covered) continue;
      std::vector<Rect> kept;
      for (const Rect& e : model)
        if (!Contains(r, e)) kept.push_back(e);
      kept.push_back(r);
      model = kept;
    }
    ASSERT_EQ(list.Count(), model.size());
    std::vector<Rect> got = Drain(list);
    for (size_t i = 0; i < got.size(); ++i) ASSERT_TRUE(Same(got[i], model[i]));
    // Whatever was added is still covered by something in the list (a
    // rectangle of negative size covers nothing, not even itself), and no
    // element covers another.
    for (const Rect& r : added) {
      if (r.width < 0 || r.height < 0) continue;
      bool covered = false;
      for (const Rect& e : got) covered = covered || Contains(e, r);
      ASSERT_TRUE(covered);
    }
    for (size_t i = 0; i < got.size(); ++i) {
      for (size_t j = 0; j < got.size(); ++j) {
        if (i != j) {
          ASSERT_FALSE(Contains(got[i], got[j]));
        }
      }
    }
  }
}
