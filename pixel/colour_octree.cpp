#include "pixel/colour_octree.h"

#include <cassert>
#include <new>

static int ChildIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b, int level) {
  const unsigned bit = 0x80u >> level;
  return (r & bit ? 4 : 0) | (g & bit ? 2 : 0) | (b & bit ? 1 : 0);
}

ColourOctree::ColourOctree() : root_{}, levelFirst_{}, levelLast_{}, leafCount_(0) {}

ColourOctree::~ColourOctree() { RemoveAll(); }

void ColourOctree::OnLeafRemoved(OctreePayload) {}

void ColourOctree::ListNode(Node* node) {
  const int level = node->level;
  node->levelPrev = levelLast_[level];
  node->levelNext = nullptr;
  if (levelLast_[level]) {
    levelLast_[level]->levelNext = node;
  } else {
    levelFirst_[level] = node;
  }
  levelLast_[level] = node;
  node->listed = true;
}

void ColourOctree::UnlistNode(Node* node) {
  const int level = node->level;
  if (node->levelPrev) {
    node->levelPrev->levelNext = node->levelNext;
  } else {
    levelFirst_[level] = node->levelNext;
  }
  if (node->levelNext) {
    node->levelNext->levelPrev = node->levelPrev;
  } else {
    levelLast_[level] = node->levelPrev;
  }
  node->levelPrev = node->levelNext = nullptr;
  node->listed = false;
}

void ColourOctree::Prune(Node* node) {
  while (node != &root_ && node->childCount == 0) {
    Node* parent = node->parent;
    parent->child[node->index] = nullptr;
    --parent->childCount;
    if (parent->childCount < 2 && parent->listed) UnlistNode(parent);
    if (node->listed) UnlistNode(node);
    delete node;
    node = parent;
  }
}

ColourOctree::Node* ColourOctree::Insert(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                         OctreePayload payload) {
  Node* node = &root_;
  Node* firstCreated = nullptr;
  for (int level = 0; level < kLevels; ++level) {
    const int index = ChildIndex(r, g, b, level);
    Node* next = node->child[index];
    if (!next) {
      next = new (std::nothrow) Node{};
      if (!next) {
        // Undo the partial path so that every inner node keeps a leaf below it.
        if (firstCreated) Prune(node);
        return nullptr;
      }
      next->parent = node;
      next->index = std::uint8_t(index);
      next->level = std::uint8_t(level + 1);
      node->child[index] = next;
      ++node->childCount;
      if (node->childCount >= 2 && !node->listed) ListNode(node);
      if (!firstCreated) firstCreated = next;
    }
    node = next;
  }
  if (!firstCreated) return nullptr;
  node->colour = ColourOf(r, g, b);
  node->payload = payload;
  ++leafCount_;
  return node;
}

ColourOctree::Node* ColourOctree::FindExact(std::uint8_t r, std::uint8_t g,
                                            std::uint8_t b) const {
  const Node* node = &root_;
  for (int level = 0; level < kLevels && node; ++level) {
    node = node->child[ChildIndex(r, g, b, level)];
  }
  return const_cast<Node*>(node);
}

// Nearest search. Per channel the bit wanted and the bit taken at the previous level are
// kept (both 0 before the first level). The wanted bit at this level is the colour's own
// bit when the two agreed, else the previously wanted bit again: after the path went above
// the colour in a channel the next level prefers 0 there, after it went below, 1. The rule
// looks back one level only. When the wanted child is missing, the existing child with the
// fewest bits different from the wanted index is taken, scanning 7 down to 0 so that ties
// go to the higher index.
ColourOctree::Node* ColourOctree::FindNearest(std::uint8_t* r, std::uint8_t* g,
                                              std::uint8_t* b) const {
  static const std::uint8_t kBitsSet[8] = {0, 1, 1, 2, 1, 2, 2, 3};
  if (leafCount_ == 0) return nullptr;
  const Node* node = &root_;
  int prevWanted = 0;  // three channel bits, R in bit 2
  int prevTaken = 0;
  for (int level = 0; level < kLevels; ++level) {
    const int own = ChildIndex(*r, *g, *b, level);
    const int agreed = ~(prevWanted ^ prevTaken) & 7;
    const int wanted = (own & agreed) | (prevWanted & ~agreed & 7);
    int taken = wanted;
    if (!node->child[wanted]) {
      int best = 4;
      for (int i = 7; i >= 0; --i) {
        if (!node->child[i]) continue;
        const int cost = kBitsSet[i ^ wanted];
        if (cost < best) {
          best = cost;
          taken = i;
        }
      }
    }
    assert(node->child[taken]);
    node = node->child[taken];
    prevWanted = wanted;
    prevTaken = taken;
  }
  *r = std::uint8_t(node->colour >> 16);
  *g = std::uint8_t(node->colour >> 8);
  *b = std::uint8_t(node->colour);
  return const_cast<Node*>(node);
}

ColourOctree::Node* ColourOctree::Find(std::uint8_t* r, std::uint8_t* g, std::uint8_t* b,
                                       bool exact) const {
  return exact ? FindExact(*r, *g, *b) : FindNearest(r, g, b);
}

std::uint32_t ColourOctree::Remove(Node* leaf) {
  if (!leaf || leaf->level != kLevels) return 0;
  OnLeafRemoved(leaf->payload);
  Prune(leaf);
  --leafCount_;
  return leafCount_;
}

void ColourOctree::RemoveAll() {
  while (Node* leaf = FirstLeaf()) Remove(leaf);
}

ColourOctree::Node* ColourOctree::FirstLeafUnder(const Node* node, int fromChild) {
  if (!node || fromChild < 0) return nullptr;
  const Node* next = nullptr;
  for (int i = fromChild; i < 8 && !next; ++i) next = node->child[i];
  if (!next) return nullptr;
  while (next->level < kLevels) {
    const Node* lower = nullptr;
    for (int i = 0; i < 8 && !lower; ++i) lower = next->child[i];
    assert(lower);  // every inner node has a leaf below it
    if (!lower) return nullptr;
    next = lower;
  }
  return const_cast<Node*>(next);
}

ColourOctree::Node* ColourOctree::LastLeafUnder(const Node* node, int fromChild) {
  if (!node || fromChild > 7) return nullptr;
  const Node* next = nullptr;
  for (int i = fromChild; i >= 0 && !next; --i) next = node->child[i];
  if (!next) return nullptr;
  while (next->level < kLevels) {
    const Node* higher = nullptr;
    for (int i = 7; i >= 0 && !higher; --i) higher = next->child[i];
    assert(higher);
    if (!higher) return nullptr;
    next = higher;
  }
  return const_cast<Node*>(next);
}

ColourOctree::Node* ColourOctree::FirstLeaf() const { return FirstLeafUnder(&root_, 0); }

ColourOctree::Node* ColourOctree::NextLeaf(const Node* leaf) const {
  for (const Node* node = leaf; node && node->parent; node = node->parent) {
    if (Node* found = FirstLeafUnder(node->parent, node->index + 1)) return found;
  }
  return nullptr;
}

ColourOctree::Node* ColourOctree::LevelListFirst(int level) const {
  return level >= 0 && level <= kLevels ? levelFirst_[level] : nullptr;
}
