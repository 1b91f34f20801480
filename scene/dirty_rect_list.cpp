#include "scene/dirty_rect_list.h"

#include <new>

namespace {

// Corner coordinates are computed in 64 bits so that no rectangle, however
// large its numbers, wraps around and appears to contain another.
struct Span {
  std::int64_t left, top, right, bottom;
};

Span SpanOf(const Rect& r) {
  return {r.x, r.y, static_cast<std::int64_t>(r.x) + r.width,
          static_cast<std::int64_t>(r.y) + r.height};
}

bool Inside(std::int64_t x, std::int64_t y, const Span& s) {
  return s.left <= x && x <= s.right && s.top <= y && y <= s.bottom;
}

bool Covers(const Span& outer, const Span& inner) {
  return Inside(inner.left, inner.top, outer) && Inside(inner.right, inner.bottom, outer);
}

}  // namespace

void DirtyRectList::Add(const Rect& r) {
  Span added = SpanOf(r);
  for (Node* e = first_; e;) {
    Span existing = SpanOf(e->rect);
    if (Covers(existing, added)) return;
    e = Covers(added, existing) ? Unlink(e) : e->next;
  }
  Node* node = new (std::nothrow) Node{nullptr, last_, r};
  if (!node) return;
  if (last_)
    last_->next = node;
  else
    first_ = node;
  last_ = node;
  ++count_;
}

Rect DirtyRectList::TakeFirst() {
  if (!first_) return {0, 0, 0, 0};
  Rect r = first_->rect;
  Unlink(first_);
  return r;
}

void DirtyRectList::Clear() {
  while (first_) Unlink(first_);
}

DirtyRectList::Node* DirtyRectList::Unlink(Node* node) {
  Node* next = node->next;
  (node->prev ? node->prev->next : first_) = next;
  (next ? next->prev : last_) = node->prev;
  delete node;
  --count_;
  return next;
}
