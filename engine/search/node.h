// Search tree nodes and child-list cells. Every node carries a private copy of its position;
// a node owns its child list, and a cell owns its child and the cells after it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/position/inffloat.h"
#include "engine/position/position.h"
#include "engine/search/node_pool.h"

namespace brenk {

struct P2Node;

struct Node {
  bool expanded;    // child generation has run; never cleared again
  bool evaluated;   // value, proof and disproof come from the verdict evaluator
  int16_t childCount;  // cells in the list; wide enough for every empty cell of the board
  P2Node* children;    // owned; null until expanded, and never null once expanded with children
  Node* parent;        // not owned; null only at the root
  int32_t value;       // verdict from the searcher's side: 1 won, 0 lost, 2 open
  Position position;
  infFloat proof;
  infFloat disproof;

  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

 private:
  friend class NodeStore;
  Node(Node* parentNode, const Position& pos);
};

struct P2Node {
  Node* node;    // owned
  P2Node* next;  // owned; null at the end of the list
};

// Where a search's nodes and cells live; counts what is created and what the tree holds.
class NodeStore {
 public:
  NodeStore();

  Node* createRoot(const Position& pos);
  // A child of `parent` holding an exact copy of its position; the caller links it and plays the move.
  Node* createChild(Node* parent);
  P2Node* createCell(Node* node);

  // Destroys the node's list, then the node. Does not touch the parent's list.
  void destroyNode(Node* node);
  // Destroys the cell's node and every cell after it; unlink and clear `next` to remove one child.
  void destroyCell(P2Node* cell);
  // Destroys the whole tree of `root` at once. Every live block belongs to that tree (removed
  // children went back block by block), and nodes need no destructor work, so the arena is simply
  // released instead of walking hundreds of thousands of nodes while the manager waits.
  void destroyTree(Node* root);

  // Every node constructed so far, removed ones included.
  uint64_t nodesCreated() const { return nodesCreated_; }
  size_t liveNodes() const { return nodes_.liveBlocks(); }
  // Memory the tree holds right now (blocks in use, nodes and cells).
  size_t treeBytes() const;
  // Memory taken from the heap, reused blocks included.
  size_t reservedBytes() const { return nodes_.reservedBytes() + cells_.reservedBytes(); }
  // The most the heap use can grow by in one development (at most one new chunk of each kind,
  // since a development adds at most one child per board cell).
  static size_t growthBytes();

 private:
  // About 4 MiB of nodes a chunk: heap calls stay rare and a small budget is not overshot by much.
  static constexpr size_t kNodesPerChunk = (size_t{4} << 20) / sizeof(Node);
  static constexpr size_t kCellsPerChunk = size_t{1} << 14;

  BlockPool<Node> nodes_;
  BlockPool<P2Node> cells_;
  uint64_t nodesCreated_ = 0;
};

}  // namespace brenk
