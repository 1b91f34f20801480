#include "gfx/list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <random>
#include <vector>

namespace {

void* Tag(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

// Walks the list both ways and compares it with the model.
void ExpectSameAs(const List& list, const std::list<ListNode*>& model) {
  ASSERT_EQ(list.Count(), model.size());
  std::vector<ListNode*> forward;
  const ListNode* previous = nullptr;
  for (ListNode* node = list.First(); node; node = node->next) {
    ASSERT_EQ(node->previous, previous);
    forward.push_back(node);
    previous = node;
  }
  EXPECT_EQ(list.Last(), previous);
  EXPECT_EQ(forward, std::vector<ListNode*>(model.begin(), model.end()));
}

TEST(ListTest, EmptyListPopsNullAndRemovingTheOnlyNodeEmptiesIt) {
  List list;
  EXPECT_EQ(list.PopFront(), nullptr);
  ListNode* node = list.PushBack(Tag(7));
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(list.First(), node);
  EXPECT_EQ(list.Last(), node);
  EXPECT_EQ(list.Remove(node), 0u);
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Last(), nullptr);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Remove(nullptr), 0u);
}

TEST(ListTest, PopFrontReturnsDataInOrder) {
  List list;
  list.PushBack(Tag(2));
  list.PushBack(Tag(3));
  list.PushFront(Tag(1));
  EXPECT_EQ(list.PopFront(), Tag(1));
  EXPECT_EQ(list.PopFront(), Tag(2));
  EXPECT_EQ(list.PopFront(), Tag(3));
  EXPECT_EQ(list.PopFront(), nullptr);
}

TEST(ListTest, RandomOperationsKeepLinksConsistent) {
  std::mt19937 random(12345);
  List list;
  std::list<ListNode*> model;
  for (int step = 0; step < 4000; ++step) {
    int op = static_cast<int>(random() % 5);
    void* data = Tag(step + 1);
    if (op == 0) {
      model.push_back(list.PushBack(data));
    } else if (op == 1) {
      model.push_front(list.PushFront(data));
    } else if (op == 2 && !model.empty()) {
      auto it = model.begin();
      std::advance(it, random() % model.size());
      ListNode* node = *it;
      model.erase(it);
      EXPECT_EQ(list.Remove(node), model.size());
    } else if (op == 3) {
      void* expected = model.empty() ? nullptr : model.front()->data;
      if (!model.empty()) model.pop_front();
      EXPECT_EQ(list.PopFront(), expected);
    } else if (random() % 50 == 0) {
      list.Clear();
      model.clear();
    }
    ExpectSameAs(list, model);
  }
}

}  // namespace
