#include "engine/search/pnsearch.h"

#include <ostream>

#include "engine/host/excpt.h"
#include "engine/position/verdict.h"
#include "engine/search/children.h"

namespace brenk {

void SetProofAndDisproofNumbers(Node& node) {
  if (!node.expanded) {
    if (!node.evaluated) {
      node.proof = finite(1.0f);
      node.disproof = finite(1.0f);
    }
    return;
  }
  if (node.childCount < 1 || node.children == nullptr) {
    throw Excpt(3, kUnexpectedError, "Node::SetProofAndDisproofNumbers()");
  }
  P2Node* cell = node.children;
  if (node.position.searcherToMove) {
    node.proof = cell->node->proof;
    node.disproof = finite(0.0f);
    for (int16_t i = 0; i < node.childCount; ++i, cell = cell->next) {
      if (cell == nullptr || cell->node == nullptr) throw "Node::SetProofAndDisproofNumbers()";
      node.proof = min(node.proof, cell->node->proof);
      node.disproof += cell->node->disproof;
    }
  } else {
    node.disproof = cell->node->disproof;
    node.proof = finite(0.0f);
    for (int16_t i = 0; i < node.childCount; ++i, cell = cell->next) {
      if (cell == nullptr || cell->node == nullptr) throw "Node::SetProofAndDisproofNumbers()";
      node.proof += cell->node->proof;
      node.disproof = min(node.disproof, cell->node->disproof);
    }
  }
}

Node* SelectMostProoving(Search& search, Node* node) {
  while (node->expanded) {
    if (node->childCount <= 0) {
      search.diagnostics << node->proof << "," << node->disproof << std::endl;
      throw Excpt(3, kUnexpectedError, "Node::SelectMostProoving()");
    }
    const bool orNode = node->position.searcherToMove;
    Node* next = nullptr;
    P2Node* cell = node->children;
    for (int16_t i = 0; i < node->childCount && cell != nullptr; ++i, cell = cell->next) {
      const bool matches = orNode ? !(cell->node->proof != node->proof) : !(cell->node->disproof != node->disproof);
      if (matches) {
        next = cell->node;
        break;
      }
    }
    if (next == nullptr) throw "Node* Node::SelectMostProoving()";
    node = next;
  }
  return node;
}

Node* UpdateAncestors(Node* node) {
  for (;;) {
    const infFloat oldProof = node->proof;
    const infFloat oldDisproof = node->disproof;
    SetProofAndDisproofNumbers(*node);
    const bool changed = node->proof != oldProof || node->disproof != oldDisproof;
    if (!changed || node->parent == nullptr) return node;
    node = node->parent;
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

void chooseMove(Search& search, Node& root, const Node& lastSelected) {
  const Position& pos = root.position;
  if (root.proof == 0.0f) {
    root.value = kWon;
    // Every proved child is written in list order, so the last one stands.
    P2Node* cell = root.children;
    for (int16_t i = 0; i < root.childCount; ++i, cell = cell->next) {
      if (cell->node->proof == 0.0f) writeCell(search, cell->node->position.firstRow, cell->node->position.firstCol);
    }
  } else if (root.disproof == 0.0f) {
    root.value = kLost;
    writeCell(search, pos.bestOppRow, pos.bestOppCol);
  } else {
    root.value = kOpen;
    if (&lastSelected == &root) {
      // No path below the root was walked: its own best mix cell is the most promising move.
      writeCell(search, pos.bestMixRow, pos.bestMixCol);
    } else {
      writeCell(search, lastSelected.position.firstRow, lastSelected.position.firstCol);
    }
  }
}

}  // namespace

Node* PnSearch(Search& search, Node& root) {
  EvaluateNode(root);
  if (root.value == kWon) {
    writeCell(search, root.position.bestOwnRow, root.position.bestOwnCol);
    return &root;
  }
  if (root.value != kOpen) {
    writeCell(search, root.position.bestOppRow, root.position.bestOppCol);
    return &root;
  }
  SetProofAndDisproofNumbers(root);
  Node* start = &root;
  Node* lastSelected = &root;
  try {
    while (root.proof != 0.0f && root.disproof != 0.0f && withinLimits(search)) {
      lastSelected = SelectMostProoving(search, start);
      DevelopNode(search, *lastSelected);
      start = UpdateAncestors(lastSelected);
      ++search.stats.iterations;
    }
  } catch (const std::bad_alloc&) {
    // The heap ran out before the budget did: end as if the allowance were spent.
    search.stats.stoppedByMemory = true;
  }
  chooseMove(search, root, *lastSelected);
  return lastSelected;
}

}  // namespace brenk
