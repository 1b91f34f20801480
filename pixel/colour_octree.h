// ColourOctree: maps 24-bit colours to a payload through eight levels, one per bit of the
// colour channels (level 0 is the root, level 8 holds the leaves).
//
// Child index at level k (bit 0x80 >> k of each channel): (R ? 4 : 0) | (G ? 2 : 0) |
// (B ? 1 : 0), so red is the most significant of the three bits.
//
// The palette builds one from its entries (payload = palette index) for nearest-colour
// search and the inverse colour map; the colour quantiser derives from it, keeps a record
// pointer in each payload and merges leaves through the level lists.
//
// Level lists: for each level 0..8, the nodes of that level that have two or more
// children, in the order they first reached two children. Walk one with
// LevelListFirst(level) and node->levelNext.
//
// Nodes are owned by the tree; users read their fields and hand them back to Remove,
// NextLeaf and the leaf walks, never modify them.
#pragma once

#include <cstdint>

// A leaf's payload: a palette index or a pointer owned by a derived class; wide enough
// for a pointer on every build.
using OctreePayload = std::uintptr_t;

class ColourOctree {
 public:
  static constexpr int kLevels = 8;  // leaves are at level 8

  struct Node {
    Node* parent;        // null for the root
    Node* child[8];
    Node* levelPrev;     // level list links, set while listed
    Node* levelNext;
    std::uint32_t colour;   // leaves: R << 16 | G << 8 | B
    OctreePayload payload;  // leaves only
    std::uint8_t index;     // index within the parent, 0..7
    std::uint8_t level;     // 0 root .. 8 leaf
    std::uint8_t childCount;
    bool listed;            // on the level list of its level
  };

  ColourOctree();
  ColourOctree(const ColourOctree&) = delete;
  ColourOctree& operator=(const ColourOctree&) = delete;

  // Called just before a leaf goes (Remove, RemoveAll); does nothing here.
  virtual void OnLeafRemoved(OctreePayload payload);
  // Removes every leaf. The base destructor can only reach the base OnLeafRemoved, so a
  // derived class whose OnLeafRemoved frees something calls RemoveAll in its own
  // destructor.
  virtual ~ColourOctree();

  // Adds colour (r, g, b) with payload and returns its new leaf. Returns null, leaving the
  // tree unchanged, when the colour is already present (its payload is kept) or a node
  // could not be allocated.
  Node* Insert(std::uint8_t r, std::uint8_t g, std::uint8_t b, OctreePayload payload);

  // The leaf of exactly (r, g, b), or null.
  Node* FindExact(std::uint8_t r, std::uint8_t g, std::uint8_t b) const;

  // Nearest-colour search (see colour_octree.cpp for the rule): a leaf whenever the tree
  // has one, and (r, g, b) are overwritten with the leaf's colour; null for an empty tree.
  Node* FindNearest(std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) const;

  // Both searches behind one entry: exact = FindExact, else FindNearest.
  Node* Find(std::uint8_t* r, std::uint8_t* g, std::uint8_t* b, bool exact) const;

  // Removes a leaf (OnLeafRemoved first) and every node left without children above it
  // (the root stays); returns the new leaf count. A null or non-leaf node is ignored and
  // gives 0.
  std::uint32_t Remove(Node* leaf);
  void RemoveAll();

  // Leaves in depth-first, lowest-child-first order; null for an empty tree / after the
  // last one.
  Node* FirstLeaf() const;
  Node* NextLeaf(const Node* leaf) const;

  // The first leaf under node, trying its children fromChild..7 and then always taking
  // the lowest child; null when none of those children exists (or fromChild > 7).
  static Node* FirstLeafUnder(const Node* node, int fromChild);
  // The same from fromChild down to 0, then always the highest child.
  static Node* LastLeafUnder(const Node* node, int fromChild);

  Node* LevelListFirst(int level) const;  // null for an empty list or a level outside 0..8
  std::uint32_t LeafCount() const { return leafCount_; }
  const Node* Root() const { return &root_; }

  static constexpr std::uint32_t ColourOf(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
  }

 private:
  void ListNode(Node* node);
  void UnlistNode(Node* node);
  // Detaches and frees childless nodes from node upwards (never the root).
  void Prune(Node* node);

  Node root_;
  Node* levelFirst_[kLevels + 1];
  Node* levelLast_[kLevels + 1];
  std::uint32_t leafCount_;
};
