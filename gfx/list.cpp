#include "gfx/list.h"

#include <new>

void List::Init() {
  first_ = nullptr;
  last_ = nullptr;
  count_ = 0;
}

ListNode* List::PushBack(void* data) {
  ListNode* node = new (std::nothrow) ListNode{nullptr, last_, data};
  if (!node) return nullptr;
  if (last_) {
    last_->next = node;
  } else {
    first_ = node;
  }
  last_ = node;
  ++count_;
  return node;
}

ListNode* List::PushFront(void* data) {
  ListNode* node = new (std::nothrow) ListNode{first_, nullptr, data};
  if (!node) return nullptr;
  if (first_) {
    first_->previous = node;
  } else {
    last_ = node;
  }
  first_ = node;
  ++count_;
  return node;
}

std::uint32_t List::Remove(ListNode* node) {
  if (!node || count_ == 0) return count_;
  if (node->previous) {
    node->previous->next = node->next;
  } else {
    first_ = node->next;
  }
  if (node->next) {
    node->next->previous = node->previous;
  } else {
    last_ = node->previous;
  }
  delete node;
  return --count_;
}

void* List::PopFront() {
  if (!first_) return nullptr;
  void* data = first_->data;
  Remove(first_);
  return data;
}

void List::Clear() {
  while (first_) PopFront();
}
