// Positions of the search tree, rebuilt from the moves its nodes record. The search keeps the
// positions of one path, from the root to the node it works on; the next path reuses the part
// it shares with the last one, so most iterations rebuild only the few nodes below where the
// last update stopped.
#pragma once

#include <deque>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/node.h"

namespace brenk {

// Plays one recorded move the way the search first played it: makeMove, the forced block's
// firstMoveSet kept, then rescoring and the best cells.
void playPathMove(Position& pos, PathMove move);
// The node's own moves and moving category, on top of its parent's position.
void replayNode(Position& pos, const NodeStore& store, NodeId id);
// The position of any node of the tree whose root stands on `rootBase`, rebuilt from scratch.
Position positionOf(const NodeStore& store, const Position& rootBase, NodeId id);

class PathPositions {
 public:
  // Starts a new tree: the root's position is `rootBase` with the root's own moves on top.
  void reset(const Position& rootBase, NodeId root);
  // Makes the path end at `id` and returns its position, which the caller may advance in step
  // with the node's record (an evaluation's forced blocks, a collapse).
  Position& positionAt(const NodeStore& store, NodeId id);
  const Position& rootBase() const { return base_; }

 private:
  Position base_;
  std::vector<NodeId> nodes_;          // nodes_[k] is the node of positions_[k]; nodes_[0] the root
  std::deque<Position> positions_;  // grows to the deepest path (references stay valid); entries past depth_ are stale
  size_t depth_ = 0;                   // entries in use
  std::vector<NodeId> chain_;          // scratch for the ancestors of the node asked for
};

}  // namespace brenk
