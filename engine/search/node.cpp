#include "engine/search/node.h"

#include <type_traits>

namespace brenk {

// destroyTree skips destructors, and blocks are reused raw, which is only sound while the
// records have none to run.
static_assert(std::is_trivially_destructible_v<Node> && std::is_trivially_destructible_v<P2Node>);
static_assert(sizeof(Node) == 24 && sizeof(P2Node) == 8, "the tree's memory budget counts on these sizes");

namespace {

Node freshNode(NodeId parent, bool searcherToMove, int8_t movingCategory) {
  Node n;
  n.proof = finite(1.0f);
  n.disproof = finite(1.0f);
  n.children = kNoCell;
  n.parent = parent;
  n.childCount = 0;
  n.moveCount = 0;
  n.value = 2;
  n.movingCategory = movingCategory;
  n.expanded = false;
  n.evaluated = false;
  n.searcherToMove = searcherToMove;
  n.moves = 0;
  return n;
}

}  // namespace

NodeId NodeStore::createRoot(bool searcherToMove, int8_t movingCategory) {
  const NodeId id = nodes_.allocate();
  ++nodesCreated_;
  new (&nodes_[id]) Node(freshNode(kNoNode, searcherToMove, movingCategory));
  return id;
}

NodeId NodeStore::createChild(NodeId parent) {
  const NodeId id = nodes_.allocate();
  ++nodesCreated_;
  const Node& p = nodes_[parent];
  new (&nodes_[id]) Node(freshNode(parent, p.searcherToMove, p.movingCategory));
  return id;
}

CellId NodeStore::createCell(NodeId node) {
  const CellId id = cells_.allocate();
  new (&cells_[id]) P2Node{node, kNoCell};
  return id;
}

void NodeStore::appendMove(NodeId id, PathMove move) {
  Node& n = nodes_[id];
  // Every move fills a board cell, so a node never records more than 400.
  if (n.moveCount == 511) throw "void NodeStore::appendMove()";
  const uint16_t packed = pack(move);
  if (n.moveCount < 2) {
    n.moves |= uint32_t{packed} << (16 * n.moveCount);
    ++n.moveCount;
    return;
  }
  if (n.moveCount == 2) {
    const uint32_t run = runs_.allocate();
    MoveRun& r = runs_[run];
    r.moves[0] = static_cast<uint16_t>(n.moves & 0xffff);
    r.moves[1] = static_cast<uint16_t>(n.moves >> 16);
    r.moves[2] = packed;
    r.next = kNoBlock;
    n.moves = run;
    ++n.moveCount;
    return;
  }
  uint32_t run = n.moves;
  for (int i = n.moveCount / MoveRun::kMoves; i > 0 && runs_[run].next != kNoBlock; --i) run = runs_[run].next;
  const int slot = n.moveCount % MoveRun::kMoves;
  if (slot == 0) {
    const uint32_t added = runs_.allocate();
    runs_[added].next = kNoBlock;
    runs_[run].next = added;
    run = added;
  }
  runs_[run].moves[slot] = packed;
  ++n.moveCount;
}

void NodeStore::releaseRuns(Node& n) {
  if (n.moveCount <= 2) return;
  for (uint32_t run = n.moves; run != kNoBlock;) {
    const uint32_t next = runs_[run].next;
    runs_.release(run);
    run = next;
  }
}

void NodeStore::destroyNode(NodeId id) {
  if (id == kNoNode) return;
  destroyCell(nodes_[id].children);
  releaseRuns(nodes_[id]);
  nodes_.release(id);
}

void NodeStore::destroyCell(CellId id) {
  // Walks the list instead of recursing on `next`, so a long list cannot exhaust the stack.
  while (id != kNoCell) {
    const CellId next = cells_[id].next;
    destroyNode(cells_[id].node);
    cells_.release(id);
    id = next;
  }
}

void NodeStore::destroyTree(NodeId root) {
  if (root == kNoNode) return;
  nodes_.releaseAll();
  cells_.releaseAll();
  runs_.releaseAll();
}

size_t NodeStore::growthBytes() {
  return decltype(nodes_)::chunkBytes() + decltype(cells_)::chunkBytes() + decltype(runs_)::chunkBytes();
}

size_t NodeStore::treeBytes() const {
  return nodes_.liveBlocks() * sizeof(Node) + cells_.liveBlocks() * sizeof(P2Node) +
         runs_.liveBlocks() * sizeof(MoveRun);
}

}  // namespace brenk
