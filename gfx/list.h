// List: a doubly linked list of data pointers. The list allocates and frees
// only its nodes; what the data pointers point to belongs to the caller.
#pragma once

#include <cstdint>

struct ListNode {
  ListNode* next;
  ListNode* previous;
  void* data;
};

class List {
 public:
  List() { Init(); }
  ~List() { Clear(); }
  List(const List&) = delete;
  List& operator=(const List&) = delete;

  // Forgets every node without freeing it: only for a list that was never
  // used or whose nodes were handed elsewhere.
  void Init();
  // Each returns the new node, or null when no node could be allocated.
  ListNode* PushBack(void* data);
  ListNode* PushFront(void* data);
  // Unlinks and frees a node of this list; returns the new count.
  std::uint32_t Remove(ListNode* node);
  // The first node's data (its node is freed), or null when the list is empty.
  void* PopFront();
  void Clear();

  ListNode* First() const { return first_; }
  ListNode* Last() const { return last_; }
  std::uint32_t Count() const { return count_; }

 private:
  ListNode* first_;
  ListNode* last_;
  std::uint32_t count_;
};
