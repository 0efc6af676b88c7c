#include "apps/analysis/principal_line.h"

namespace brenk::cli {

namespace {

// The child SelectMostProoving would take: at an OR node the first whose proof is not unequal
// to the node's, at an AND node the same with disproofs.
NodeId mostProvingChild(const NodeStore& store, const Node& node) {
  const bool orNode = node.searcherToMove;
  CellId cell = node.children;
  for (int i = 0; i < node.childCount && cell != kNoCell; ++i, cell = store.cell(cell).next) {
    const Node& child = store.node(store.cell(cell).node);
    const bool matches = orNode ? !(child.proof != node.proof) : !(child.disproof != node.disproof);
    if (matches) return store.cell(cell).node;
  }
  return kNoNode;
}

LineStep stepBetween(const Position& from, const Position& to) {
  std::vector<LineStone> mover, other;
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) {
      if (from.cells[row][col] != kEmpty || to.cells[row][col] == kEmpty) continue;
      const int stone = to.cells[row][col];
      (stone == from.toMove ? mover : other).push_back(LineStone{row, col, stone});
    }
  }
  LineStep step;
  for (size_t i = 0; i < mover.size() || i < other.size(); ++i) {
    if (i < mover.size()) step.stones.push_back(mover[i]);
    if (i < other.size()) step.stones.push_back(other[i]);
  }
  return step;
}

}  // namespace

std::vector<LineStep> principalLine(const SearchTree& tree) {
  std::vector<LineStep> line;
  NodeId id = tree.root;
  Position pos = positionOf(tree.store, tree.rootBase, id);
  while (tree.store.node(id).expanded && tree.store.node(id).childCount > 0) {
    const NodeId child = mostProvingChild(tree.store, tree.store.node(id));
    if (child == kNoNode) break;
    Position next = pos;
    replayNode(next, tree.store, child);
    line.push_back(stepBetween(pos, next));
    pos = next;
    id = child;
  }
  return line;
}

}  // namespace brenk::cli
