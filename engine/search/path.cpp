#include "engine/search/path.h"

#include "engine/position/scoring.h"

namespace brenk {

void playPathMove(Position& pos, PathMove move) {
  const bool firstMoveWasSet = pos.firstMoveSet;
  makeMove(pos, move.row, move.col);
  if (move.block) pos.firstMoveSet = firstMoveWasSet;
  rescoreAround(pos, pos.lastRow, pos.lastCol);
  findBestCells(pos);
}

void replayNode(Position& pos, const NodeStore& store, NodeId id) {
  store.forEachMove(id, [&pos](PathMove move) { playPathMove(pos, move); });
  pos.movingCategory = store.node(id).movingCategory;
}

Position positionOf(const NodeStore& store, const Position& rootBase, NodeId id) {
  std::vector<NodeId> chain;
  for (NodeId n = id; n != kNoNode; n = store.node(n).parent) chain.push_back(n);
  Position pos = rootBase;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) replayNode(pos, store, *it);
  return pos;
}

void PathPositions::reset(const Position& rootBase, NodeId root) {
  base_ = rootBase;
  nodes_.assign(1, root);
  if (positions_.empty()) positions_.resize(1);
  positions_[0] = rootBase;
  depth_ = 1;
}

Position& PathPositions::positionAt(const NodeStore& store, NodeId id) {
  // The ancestors of `id` down from the deepest one the path already holds.
  chain_.clear();
  NodeId n = id;
  for (;;) {
    size_t k = depth_;
    while (k > 0 && nodes_[k - 1] != n) --k;
    if (k > 0) {
      depth_ = k;
      break;
    }
    chain_.push_back(n);
    n = store.node(n).parent;
    if (n == kNoNode) throw "Position& PathPositions::positionAt()";  // not a node of this tree
  }
  for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) {
    if (positions_.size() <= depth_) positions_.resize(depth_ + 1);
    if (nodes_.size() <= depth_) nodes_.resize(depth_ + 1);
    positions_[depth_] = positions_[depth_ - 1];
    replayNode(positions_[depth_], store, *it);
    nodes_[depth_] = *it;
    ++depth_;
  }
  return positions_[depth_ - 1];
}

}  // namespace brenk
