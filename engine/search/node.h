// Search tree nodes and child-list cells. A node does not carry its position: it records the
// moves that lead from its parent's position to its own, and the position is rebuilt from them
// where the search works (path.h). A node owns its child list, and a cell owns its child and the
// cells after it. Nodes, cells and move runs live in a NodeStore and link to each other by id.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "engine/position/inffloat.h"
#include "engine/search/node_pool.h"

namespace brenk {

using NodeId = uint32_t;
using CellId = uint32_t;
inline constexpr NodeId kNoNode = kNoBlock;
inline constexpr CellId kNoCell = kNoBlock;

// One move on the way from a node's parent to the node: the child's own move, a forced block of
// an evaluation (which leaves firstMoveSet as it found it), or a move folded in by a collapse.
struct PathMove {
  int8_t row;
  int8_t col;
  bool block;
};

// A proof or disproof number in four bytes. An infinite number is kept as the float's own
// infinity: no operation reads the value of an infinite infFloat, and no finite sum of proof
// numbers comes anywhere near the float's range, so nothing the search sees changes.
class ProofNumber {
 public:
  ProofNumber() = default;
  ProofNumber(infFloat x) : bits_(x.inf ? std::numeric_limits<float>::infinity() : x.value) {}
  operator infFloat() const { return std::isinf(bits_) ? infinite() : finite(bits_); }
  ProofNumber& operator+=(infFloat y) {
    infFloat sum = *this;
    sum += y;
    return *this = sum;
  }

 private:
  float bits_;
};

// 24 bytes: the counts, the verdict, the category and the flags share one word. A node has at
// most one child and one recorded move per board cell, so ten and nine bits hold them.
struct Node {
  ProofNumber proof;
  ProofNumber disproof;
  CellId children;  // owned; none until expanded, and never none once expanded with children
  NodeId parent;    // not owned; none only at the root
  // Up to two moves packed in place (the first in the low half), or the first of the move runs.
  uint32_t moves;
  int32_t childCount : 10;         // cells in the list; room for every empty cell of the board
  uint32_t moveCount : 9;          // moves from the parent's position to this one
  int32_t value : 3;               // verdict from the searcher's side: 1 won, 0 lost, 2 open
  int32_t movingCategory : 7;      // of the node's position, as its evaluation left it
  uint32_t expanded : 1;           // child generation has run; never cleared again
  uint32_t evaluated : 1;          // value, proof and disproof come from the verdict evaluator
  uint32_t searcherToMove : 1;     // an OR node: the searching side chooses
};

struct P2Node {
  NodeId node;  // owned
  CellId next;  // owned; none at the end of the list
};

// Where a search's nodes, cells and move lists live; counts what is created and what the tree holds.
class NodeStore {
 public:
  // A root that stands for the search's starting position itself (no moves of its own).
  NodeId createRoot(bool searcherToMove, int8_t movingCategory);
  // A child of `parent` standing for the parent's position; the caller links it and adds its move.
  NodeId createChild(NodeId parent);
  CellId createCell(NodeId node);

  Node& node(NodeId id) { return nodes_[id]; }
  const Node& node(NodeId id) const { return nodes_[id]; }
  P2Node& cell(CellId id) { return cells_[id]; }
  const P2Node& cell(CellId id) const { return cells_[id]; }

  void appendMove(NodeId id, PathMove move);
  PathMove firstMove(NodeId id) const {
    const Node& n = nodes_[id];
    return unpack(n.moveCount <= 2 ? static_cast<uint16_t>(n.moves & 0xffff) : runs_[n.moves].moves[0]);
  }
  // Calls f(PathMove) for the node's moves in the order they were played.
  template <typename F>
  void forEachMove(NodeId id, F&& f) const;

  // Destroys the node's list and moves, then the node. Does not touch the parent's list.
  void destroyNode(NodeId id);
  // Destroys the cell's node and every cell after it; unlink and clear `next` to remove one child.
  void destroyCell(CellId id);
  // Unlinks and destroys the children of `id` whose cell `drop(cell)` names, asked once per
  // child in list order; the others keep their order.
  template <typename Drop>
  void removeChildrenIf(NodeId id, Drop&& drop);
  // Destroys the whole tree of `root` at once. Every live block belongs to that tree (removed
  // children went back block by block), and nodes need no destructor work, so the arena is simply
  // released instead of walking millions of nodes while the manager waits.
  void destroyTree(NodeId root);

  // Every node constructed so far, removed ones included.
  uint64_t nodesCreated() const { return nodesCreated_; }
  size_t liveNodes() const { return nodes_.liveBlocks(); }
  size_t liveCells() const { return cells_.liveBlocks(); }
  // Memory the tree holds right now (blocks in use: nodes, cells and move runs).
  size_t treeBytes() const;
  // Memory taken from the heap, reused blocks included.
  size_t reservedBytes() const {
    return nodes_.reservedBytes() + cells_.reservedBytes() + runs_.reservedBytes();
  }
  // The most the heap use can grow by in one development (at most one new chunk of each kind,
  // since a development adds at most one child per board cell).
  static size_t growthBytes();

 private:
  // Moves beyond the two a node holds in place, chained.
  struct MoveRun {
    static constexpr int kMoves = 6;
    uint16_t moves[kMoves];
    uint32_t next;
  };

  static uint16_t pack(PathMove move) {
    return static_cast<uint16_t>((move.block ? 0x8000 : 0) | (move.row * 32 + move.col));
  }
  static PathMove unpack(uint16_t packed) {
    return PathMove{static_cast<int8_t>((packed & 0x3ff) / 32), static_cast<int8_t>(packed & 31),
                    (packed & 0x8000) != 0};
  }
  void releaseRuns(Node& node);

  BlockPool<Node, 16> nodes_;
  BlockPool<P2Node, 16> cells_;
  BlockPool<MoveRun, 12> runs_;
  uint64_t nodesCreated_ = 0;
};

template <typename F>
void NodeStore::forEachMove(NodeId id, F&& f) const {
  const Node& n = nodes_[id];
  if (n.moveCount <= 2) {
    for (int i = 0; i < n.moveCount; ++i) f(unpack(static_cast<uint16_t>(n.moves >> (16 * i))));
    return;
  }
  int left = n.moveCount;
  for (uint32_t run = n.moves; left > 0; run = runs_[run].next) {
    const MoveRun& r = runs_[run];
    for (int i = 0; i < MoveRun::kMoves && left > 0; ++i, --left) f(unpack(r.moves[i]));
  }
}

template <typename Drop>
void NodeStore::removeChildrenIf(NodeId id, Drop&& drop) {
  Node& node = nodes_[id];
  CellId* link = &node.children;
  while (*link != kNoCell) {
    const CellId cell = *link;
    if (drop(cell)) {
      *link = cells_[cell].next;
      cells_[cell].next = kNoCell;
      destroyCell(cell);
      --node.childCount;
    } else {
      link = &cells_[cell].next;
    }
  }
}

}  // namespace brenk
