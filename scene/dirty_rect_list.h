#pragma once
// The scene's lists of changed rectangles. A tick copies the background back
// under last frame's rectangles and presents this frame's; a rectangle that an
// element already covers is not added again, and elements that a new
// rectangle covers are dropped.

#include <cstdint>

#include "scene/rect.h"

class DirtyRectList {
 public:
  DirtyRectList() = default;
  DirtyRectList(const DirtyRectList&) = delete;
  DirtyRectList& operator=(const DirtyRectList&) = delete;
  ~DirtyRectList() { Clear(); }

  // Walks the list from the front: stops when an element holds both corners
  // of r; removes every element whose two corners r holds; appends a copy of
  // r when the walk reaches the end. No merging, no clipping. Should memory
  // run out the rectangle is dropped.
  void Add(const Rect& r);
  // Removes the first element and returns its rectangle; only while Count()
  // is non-zero (an empty list yields an empty rectangle).
  Rect TakeFirst();
  void Clear();
  std::uint32_t Count() const { return count_; }

 private:
  struct Node {
    Node* next;
    Node* prev;
    Rect rect;
  };
  Node* Unlink(Node* node);  // frees node, returns its successor

  Node* first_ = nullptr;
  Node* last_ = nullptr;
  std::uint32_t count_ = 0;
};
