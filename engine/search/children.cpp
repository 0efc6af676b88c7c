#include "engine/search/children.h"

#include <array>
#include <utility>

#include "engine/host/excpt.h"
#include "engine/position/scoring.h"
#include "engine/position/verdict.h"
#include "engine/search/pnsearch.h"

namespace brenk {

namespace {

// The blocks an evaluation just played, and where it left the side to move and the category.
void recordJudgement(Search& search, NodeId id, const Position& pos) {
  for (const BoardCell& block : search.blocks) search.store.appendMove(id, PathMove{block.row, block.col, true});
  Node& node = search.store.node(id);
  node.movingCategory = pos.movingCategory;
  node.searcherToMove = pos.searcherToMove;
}

}  // namespace

void EvaluateNode(Search& search, NodeId id, Position& pos) {
  Node& node = search.store.node(id);
  search.blocks.clear();
  infFloat proof = node.proof, disproof = node.disproof;
  node.value = evaluatePosition(pos, proof, disproof, &search.blocks);
  node.proof = proof;
  node.disproof = disproof;
  node.evaluated = true;
  recordJudgement(search, id, pos);
}

namespace {

struct CandidateScan {
  std::array<BoardCell, SOB * SOB> cells;
  int count = 0;
  int bigThreats = 0;
};

// Row-major over the whole board, not just the candidate box. `accept(own, opp, bigThreat)` is
// the filter; it is a template argument so that each category gets a loop of its own.
template <typename Filter>
void scanWith(const Position& pos, CandidateScan& scan, Filter accept) {
  const uint32_t(&own)[SOB][SOB] = pos.scores[pos.toMove];
  const uint32_t(&opp)[SOB][SOB] = pos.scores[pos.opponent];
  for (int8_t row = 0; row < SOB; ++row) {
    for (int8_t col = 0; col < SOB; ++col) {
      if (pos.cells[row][col] != kEmpty) continue;
      bool bigThreat = false;
      if (!accept(own[row][col], opp[row][col], bigThreat)) continue;
      scan.cells[scan.count++] = BoardCell{row, col};
      if (bigThreat) ++scan.bigThreats;
    }
  }
}

// The filter of the position's moving category. `general` selects the mix-score rule whatever
// the category.
void scanCandidates(const Position& pos, bool general, CandidateScan& scan) {
  const uint32_t threshold = pos.bestMixScore / 2;  // the omission coefficient 0.5, rounded down
  scan.count = 0;
  scan.bigThreats = 0;
  const int category = general ? 0 : pos.movingCategory;
  switch (category) {
    case 2:
      return scanWith(pos, scan, [](uint32_t own, uint32_t opp, bool& big) {
        big = opp > kBigThreatBound;
        return opp >= kOpponentBound || own >= kOwnBound;
      });
    case 3:
      return scanWith(pos, scan, [](uint32_t own, uint32_t opp, bool& big) {
        big = opp >= kBigThreatBound;
        return opp >= kOpponentBound || own >= kOwnBoundCategory3;
      });
    case 4:
      return scanWith(pos, scan,
                      [](uint32_t own, uint32_t opp, bool&) { return opp >= kOpponentBound || own >= kOwnBound; });
    case 5:
      return scanWith(pos, scan, [](uint32_t own, uint32_t, bool&) { return own >= kOwnBound; });
    case 6:
      return scanWith(pos, scan, [](uint32_t, uint32_t opp, bool&) { return opp >= kOpponentBound; });
    default:
      return scanWith(pos, scan,
                      [threshold](uint32_t own, uint32_t opp, bool&) { return MC * own + opp >= threshold; });
  }
}

// Each child records its move; its position is built when it is judged. Returns the link the
// next child goes into.
CellId* appendChild(Search& search, NodeId id, CellId* tail, const Position& pos, BoardCell at) {
  NodeStore& store = search.store;
  const NodeId child = store.createChild(id);
  const CellId cell = store.createCell(child);
  *tail = cell;
  store.appendMove(child, PathMove{at.row, at.col, false});
  store.node(child).searcherToMove = !pos.searcherToMove;
  ++store.node(id).childCount;
  return &store.cell(cell).next;
}

void appendChildren(Search& search, NodeId id, const Position& pos, const CandidateScan& scan) {
  CellId* tail = &search.store.node(id).children;
  for (int i = 0; i < scan.count; ++i) tail = appendChild(search, id, tail, pos, scan.cells[i]);
}

// With two or more big threats only the moves that meet the opponent's threats stay.
void pruneWeakChildren(Search& search, NodeId id, const Position& pos) {
  NodeStore& store = search.store;
  store.removeChildrenIf(id, [&](CellId cell) {
    const PathMove move = store.firstMove(store.cell(cell).node);
    return pos.scores[pos.opponent][move.row][move.col] < kPruningBound;
  });
}

// Partial bubble passes: pass i starts at cell i and carries the larger mix score forward.
// They do not always sort fully, and the order they leave is the children's order. The passes
// run on a copy of the list (children and their mix scores), which is then written back.
void orderChildren(NodeStore& store, NodeId id, const Position& pos) {
  struct Entry {
    NodeId child;
    uint32_t mix;
  };
  std::array<Entry, SOB * SOB> entries;
  const int n = store.node(id).childCount;
  CellId cell = store.node(id).children;
  for (int i = 0; i < n; ++i, cell = store.cell(cell).next) {
    const NodeId child = store.cell(cell).node;
    const PathMove move = store.firstMove(child);
    entries[i] = Entry{child, mixScore(pos, move.row, move.col)};
  }
  for (int i = 0; i <= n - 2; ++i) {
    for (int j = i; j <= n - 2; ++j) {
      if (entries[j + 1].mix > entries[j].mix) std::swap(entries[j], entries[j + 1]);
    }
  }
  cell = store.node(id).children;
  for (int i = 0; i < n; ++i, cell = store.cell(cell).next) store.cell(cell).node = entries[i].child;
}

// The node takes its only child's place: its position advances by the child's move, the
// re-evaluation may add forced blocks, and its verdict is not kept, so the node stays open.
void collapseIntoOnlyChild(Search& search, NodeId id, Position& pos) {
  NodeStore& store = search.store;
  const CellId only = store.node(id).children;
  const PathMove move = store.firstMove(store.cell(only).node);
  playPathMove(pos, move);
  store.appendMove(id, move);
  Node& node = store.node(id);
  search.blocks.clear();
  infFloat proof = node.proof, disproof = node.disproof;
  evaluatePosition(pos, proof, disproof, &search.blocks);
  node.proof = proof;
  node.disproof = disproof;
  recordJudgement(search, id, pos);
  store.destroyCell(only);
  node.children = kNoCell;
  node.childCount = 0;
}

}  // namespace

void GenerateAllChildren(Search& search, NodeId id) {
  NodeStore& store = search.store;
  Position& pos = search.path.positionAt(store, id);
  CandidateScan scan;
  for (;;) {
    if (store.node(id).value != kOpen) throw "void Node::GenerateAllChildren()";
    scanCandidates(pos, false, scan);
    // A category whose bounds pass no cell (a plain four against a quiet mover, say) falls back
    // to the general rule; otherwise the node would have no children and sink the whole search.
    if (scan.count == 0) scanCandidates(pos, true, scan);
    appendChildren(search, id, pos, scan);
    if (scan.bigThreats >= 2) pruneWeakChildren(search, id, pos);
    const int16_t childCount = store.node(id).childCount;
    if (childCount < 1) throw Excpt(3, kUnexpectedError, "Node::SelectMostProoving()");
    if (childCount > 1) break;
    if (pos.plyCount == 0) {
      search.sink.writeMove(pos.bestMixRow, pos.bestMixCol);
      throw ForcedRootMove{};
    }
    collapseIntoOnlyChild(search, id, pos);
  }
  orderChildren(store, id, pos);
  store.node(id).expanded = true;
}

void DevelopNode(Search& search, NodeId id) {
  GenerateAllChildren(search, id);
  NodeStore& store = search.store;
  const Position& pos = search.path.positionAt(store, id);
  const Node& node = store.node(id);
  CellId cell = node.children;
  for (int16_t i = 0; i < node.childCount; ++i, cell = store.cell(cell).next) {
    const NodeId child = store.cell(cell).node;
    search.scratch = pos;
    playPathMove(search.scratch, store.firstMove(child));
    EvaluateNode(search, child, search.scratch);
    SetProofAndDisproofNumbers(store, child);
  }
}

}  // namespace brenk
