#include "apps/analysis/root_children.h"

namespace brenk::cli {

std::vector<RootChild> rootChildren(const SearchTree& tree) {
  std::vector<RootChild> children;
  const Node& root = tree.store.node(tree.root);
  if (!root.expanded) return children;
  CellId cell = root.children;
  for (int i = 0; i < root.childCount && cell != kNoCell; ++i, cell = tree.store.cell(cell).next) {
    const NodeId id = tree.store.cell(cell).node;
    const Node& child = tree.store.node(id);
    const PathMove move = tree.store.firstMove(id);
    children.push_back(RootChild{Cell{move.row, move.col}, child.proof, child.disproof, child.value});
  }
  return children;
}

}  // namespace brenk::cli
