#include "engine/search/children.h"

#include <array>

#include "engine/host/excpt.h"
#include "engine/position/scoring.h"
#include "engine/position/verdict.h"
#include "engine/search/pnsearch.h"

namespace brenk {

void EvaluateNode(Node& node) {
  node.value = evaluatePosition(node.position, node.proof, node.disproof);
  node.evaluated = true;
}

namespace {

struct Candidate {
  int8_t row;
  int8_t col;
};

struct CandidateScan {
  std::array<Candidate, SOB * SOB> cells;
  int count = 0;
  int bigThreats = 0;
};

// The filter of a moving category. `general` selects the mix-score rule whatever the category.
bool isCandidate(int category, uint32_t own, uint32_t opp, uint32_t mix, uint32_t threshold, bool general,
                 bool& bigThreat) {
  bigThreat = false;
  if (general) return mix >= threshold;
  switch (category) {
    case 2:
      bigThreat = opp > kBigThreatBound;
      return opp >= kOpponentBound || own >= kOwnBound;
    case 3:
      bigThreat = opp >= kBigThreatBound;
      return opp >= kOpponentBound || own >= kOwnBoundCategory3;
    case 4:
      return opp >= kOpponentBound || own >= kOwnBound;
    case 5:
      return own >= kOwnBound;
    case 6:
      return opp >= kOpponentBound;
    default:
      return mix >= threshold;
  }
}

// Row-major over the whole board, not just the candidate box.
void scanCandidates(const Position& pos, bool general, CandidateScan& scan) {
  const uint32_t threshold = pos.bestMixScore / 2;  // the omission coefficient 0.5, rounded down
  scan.count = 0;
  scan.bigThreats = 0;
  for (int8_t row = 0; row < SOB; ++row) {
    for (int8_t col = 0; col < SOB; ++col) {
      if (pos.cells[row][col] != kEmpty) continue;
      const uint32_t own = pos.scores[pos.toMove][row][col];
      const uint32_t opp = pos.scores[pos.opponent][row][col];
      bool bigThreat = false;
      if (!isCandidate(pos.movingCategory, own, opp, MC * own + opp, threshold, general, bigThreat)) continue;
      scan.cells[scan.count++] = Candidate{row, col};
      if (bigThreat) ++scan.bigThreats;
    }
  }
}

void appendChildren(Search& search, Node& node, const CandidateScan& scan) {
  P2Node** tail = &node.children;
  for (int i = 0; i < scan.count; ++i) {
    Node* child = search.store.createChild(&node);
    P2Node* cell = search.store.createCell(child);
    *tail = cell;
    tail = &cell->next;
    makeMove(child->position, scan.cells[i].row, scan.cells[i].col);
    rescoreAround(child->position, child->position.lastRow, child->position.lastCol);
    findBestCells(child->position);
    ++node.childCount;
  }
}

// With two or more big threats only the moves that meet the opponent's threats stay.
void pruneWeakChildren(Search& search, Node& node) {
  const Position& pos = node.position;
  P2Node** link = &node.children;
  while (*link != nullptr) {
    P2Node* cell = *link;
    const Position& child = cell->node->position;
    if (pos.scores[pos.opponent][child.lastRow][child.lastCol] < kPruningBound) {
      *link = cell->next;
      cell->next = nullptr;
      search.store.destroyCell(cell);
      --node.childCount;
    } else {
      link = &cell->next;
    }
  }
}

uint32_t mixAtMove(const Position& pos, const Node& child) {
  return mixScore(pos, child.position.lastRow, child.position.lastCol);
}

// Partial bubble passes: pass i starts at cell i and carries the larger mix score forward.
// They do not always sort fully, and the order they leave is the children's order.
void orderChildren(Node& node) {
  const int n = node.childCount;
  P2Node* start = node.children;
  for (int i = 0; i <= n - 2; ++i) {
    P2Node* cell = start;
    for (int j = i; j <= n - 2; ++j) {
      if (mixAtMove(node.position, *cell->next->node) > mixAtMove(node.position, *cell->node)) {
        Node* swap = cell->node;
        cell->node = cell->next->node;
        cell->next->node = swap;
      }
      cell = cell->next;
    }
    start = start->next;
  }
}

// The node takes its only child's place; the re-evaluation may add forced blocks, and its
// verdict is not kept, so the node stays open.
void collapseIntoOnlyChild(Search& search, Node& node) {
  node.position = node.children->node->position;
  evaluatePosition(node.position, node.proof, node.disproof);
  search.store.destroyCell(node.children);
  node.children = nullptr;
  node.childCount = 0;
}

}  // namespace

void GenerateAllChildren(Search& search, Node& node) {
  CandidateScan scan;
  for (;;) {
    if (node.value != kOpen) throw "void Node::GenerateAllChildren()";
    scanCandidates(node.position, false, scan);
    // A category whose bounds pass no cell (a plain four against a quiet mover, say) falls back
    // to the general rule; otherwise the node would have no children and sink the whole search.
    if (scan.count == 0) scanCandidates(node.position, true, scan);
    appendChildren(search, node, scan);
    if (scan.bigThreats >= 2) pruneWeakChildren(search, node);
    if (node.childCount < 1) throw Excpt(3, kUnexpectedError, "Node::SelectMostProoving()");
    if (node.childCount > 1) break;
    if (node.position.plyCount == 0) {
      search.sink.writeMove(node.position.bestMixRow, node.position.bestMixCol);
      throw ForcedRootMove{};
    }
    collapseIntoOnlyChild(search, node);
  }
  orderChildren(node);
  node.expanded = true;
}

void DevelopNode(Search& search, Node& node) {
  GenerateAllChildren(search, node);
  P2Node* cell = node.children;
  for (int16_t i = 0; i < node.childCount; ++i, cell = cell->next) {
    EvaluateNode(*cell->node);
    SetProofAndDisproofNumbers(*cell->node);
  }
}

}  // namespace brenk
