#include "engine/search/pnsearch.h"

#include <ostream>

#include "engine/host/excpt.h"
#include "engine/position/verdict.h"
#include "engine/search/children.h"

namespace brenk {

void SetProofAndDisproofNumbers(NodeStore& store, NodeId id) {
  Node& node = store.node(id);
  if (!node.expanded) {
    if (!node.evaluated) {
      node.proof = finite(1.0f);
      node.disproof = finite(1.0f);
    }
    return;
  }
  if (node.childCount < 1 || node.children == kNoCell) {
    throw Excpt(3, kUnexpectedError, "Node::SetProofAndDisproofNumbers()");
  }
  CellId cell = node.children;
  if (node.searcherToMove) {
    node.proof = store.node(store.cell(cell).node).proof;
    node.disproof = finite(0.0f);
    for (int16_t i = 0; i < node.childCount; ++i, cell = store.cell(cell).next) {
      if (cell == kNoCell || store.cell(cell).node == kNoNode) throw "Node::SetProofAndDisproofNumbers()";
      const Node& child = store.node(store.cell(cell).node);
      node.proof = min(node.proof, child.proof);
      node.disproof += child.disproof;
    }
  } else {
    node.disproof = store.node(store.cell(cell).node).disproof;
    node.proof = finite(0.0f);
    for (int16_t i = 0; i < node.childCount; ++i, cell = store.cell(cell).next) {
      if (cell == kNoCell || store.cell(cell).node == kNoNode) throw "Node::SetProofAndDisproofNumbers()";
      const Node& child = store.node(store.cell(cell).node);
      node.proof += child.proof;
      node.disproof = min(node.disproof, child.disproof);
    }
  }
}

NodeId SelectMostProoving(Search& search, NodeId id) {
  const NodeStore& store = search.store;
  while (store.node(id).expanded) {
    const Node& node = store.node(id);
    if (node.childCount <= 0) {
      search.diagnostics << node.proof << "," << node.disproof << std::endl;
      throw Excpt(3, kUnexpectedError, "Node::SelectMostProoving()");
    }
    const bool orNode = node.searcherToMove;
    NodeId next = kNoNode;
    CellId cell = node.children;
    for (int16_t i = 0; i < node.childCount && cell != kNoCell; ++i, cell = store.cell(cell).next) {
      const Node& child = store.node(store.cell(cell).node);
      const bool matches = orNode ? !(child.proof != node.proof) : !(child.disproof != node.disproof);
      if (matches) {
        next = store.cell(cell).node;
        break;
      }
    }
    if (next == kNoNode) throw "Node* Node::SelectMostProoving()";
    id = next;
  }
  return id;
}

NodeId UpdateAncestors(NodeStore& store, NodeId id) {
  for (;;) {
    Node& node = store.node(id);
    const infFloat oldProof = node.proof;
    const infFloat oldDisproof = node.disproof;
    SetProofAndDisproofNumbers(store, id);
    const bool changed = node.proof != oldProof || node.disproof != oldDisproof;
    if (!changed || node.parent == kNoNode) return id;
    id = node.parent;
  }
}

bool withinLimits(Search& search) {
  const SearchLimits& limits = search.limits;
  if (limits.clock->Elapsed() >= limits.timeAllowanceMs) return false;
  if (limits.maxIterations != kNoIterationCap && search.stats.iterations >= limits.maxIterations) return false;
  if (search.store.reservedBytes() + NodeStore::growthBytes() > limits.memoryBudget) {
    search.stats.stoppedByMemory = true;
    return false;
  }
  return true;
}

namespace {

void writeCell(Search& search, int row, int col) { search.sink.writeMove(row, col); }

void chooseMove(Search& search, NodeId rootId, NodeId lastSelected) {
  NodeStore& store = search.store;
  Node& root = store.node(rootId);
  if (root.proof == 0.0f) {
    root.value = kWon;
    // Every proved child is written in list order, so the last one stands.
    CellId cell = root.children;
    for (int16_t i = 0; i < root.childCount; ++i, cell = store.cell(cell).next) {
      const NodeId child = store.cell(cell).node;
      if (store.node(child).proof != 0.0f) continue;
      const Position& pos = search.path.positionAt(store, child);
      writeCell(search, pos.firstRow, pos.firstCol);
    }
  } else if (root.disproof == 0.0f) {
    root.value = kLost;
    const Position& pos = search.path.positionAt(store, rootId);
    writeCell(search, pos.bestOppRow, pos.bestOppCol);
  } else {
    root.value = kOpen;
    const Position& pos = search.path.positionAt(store, lastSelected);
    if (lastSelected == rootId) {
      // No path below the root was walked: its own best mix cell is the most promising move.
      writeCell(search, pos.bestMixRow, pos.bestMixCol);
    } else {
      writeCell(search, pos.firstRow, pos.firstCol);
    }
  }
}

}  // namespace

NodeId PnSearch(Search& search, NodeId root) {
  NodeStore& store = search.store;
  {
    Position& pos = search.path.positionAt(store, root);
    EvaluateNode(search, root, pos);
    if (store.node(root).value == kWon) {
      writeCell(search, pos.bestOwnRow, pos.bestOwnCol);
      return root;
    }
    if (store.node(root).value != kOpen) {
      writeCell(search, pos.bestOppRow, pos.bestOppCol);
      return root;
    }
  }
  SetProofAndDisproofNumbers(store, root);
  NodeId start = root;
  NodeId lastSelected = root;
  const Node& rootNode = store.node(root);
  try {
    while (rootNode.proof != 0.0f && rootNode.disproof != 0.0f && withinLimits(search)) {
      lastSelected = SelectMostProoving(search, start);
      DevelopNode(search, lastSelected);
      start = UpdateAncestors(store, lastSelected);
      ++search.stats.iterations;
    }
  } catch (const std::bad_alloc&) {
    // The heap ran out before the budget did: end as if the allowance were spent.
    search.stats.stoppedByMemory = true;
  }
  chooseMove(search, root, lastSelected);
  return lastSelected;
}

NodeId startTree(Search& search, const Position& pos) {
  const NodeId root = search.store.createRoot(pos.searcherToMove, pos.movingCategory);
  search.path.reset(pos, root);
  return root;
}

}  // namespace brenk
