#include "apps/cli/principal_line.h"

namespace brenk::cli {

namespace {

// The child SelectMostProoving would take: at an OR node the first whose proof is not unequal
// to the node's, at an AND node the same with disproofs.
const Node* mostProvingChild(const Node& node) {
  const bool orNode = node.position.searcherToMove;
  const P2Node* cell = node.children;
  for (int i = 0; i < node.childCount && cell != nullptr; ++i, cell = cell->next) {
    const Node& child = *cell->node;
    const bool matches = orNode ? !(child.proof != node.proof) : !(child.disproof != node.disproof);
    if (matches) return &child;
  }
  return nullptr;
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

std::vector<LineStep> principalLine(const Node& root) {
  std::vector<LineStep> line;
  const Node* node = &root;
  while (node->expanded && node->childCount > 0) {
    const Node* child = mostProvingChild(*node);
    if (child == nullptr) break;
    line.push_back(stepBetween(node->position, child->position));
    node = child;
  }
  return line;
}

}  // namespace brenk::cli
