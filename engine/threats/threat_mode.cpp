#include "engine/threats/threat_mode.h"

#include <algorithm>
#include <chrono>

#include "engine/position/scoring.h"
#include "engine/position/verdict.h"
#include "engine/search/children.h"

namespace brenk {

ThreatMode::ThreatMode(const SearchLimits& searchLimits)
    : limits(searchLimits), table(searchLimits.memoryBudget / kVcfTableShareDivisor) {
  limits.memoryBudget -= std::min(limits.memoryBudget, table.bytes());
}

namespace {

// A share of the time left, or of the nodes the iteration cap stands for.
VcfLimits shareOfTurn(const SearchLimits& limits, int numerator, int denominator) {
  VcfLimits vcf;
  vcf.clock = limits.clock;
  const int64_t elapsed = limits.clock->Elapsed();
  const int64_t left = std::max<int64_t>(0, int64_t{limits.timeAllowanceMs} - elapsed);
  vcf.deadlineMs = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, elapsed + left * numerator / denominator));
  if (limits.maxIterations != kNoIterationCap) {
    vcf.maxNodes = static_cast<uint64_t>(limits.maxIterations) * kRootVcfNodesPerIteration * numerator / denominator;
  }
  return vcf;
}

// The same limits, searching threes as well as fours.
VcfLimits withThrees(VcfLimits limits) {
  limits.threes = true;
  limits.maxDepth = kVctDepth;
  return limits;
}

VcfResult timedVcf(ThreatMode& mode, VcfBoard& board, int attacker, const VcfLimits& limits) {
  const auto begin = std::chrono::steady_clock::now();
  VcfResult result = findVcf(board, attacker, mode.table, limits);
  mode.vcfMicros +=
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begin).count();
  mode.vcfNodes += result.nodes;
  return result;
}

// Whether the opponent of `mover`, who has just played `move` on `board`, has a VCF. A plain
// four only delays it: the opponent's forced block is played and the question asked again.
VcfOutcome opponentKeepsVcf(ThreatMode& mode, VcfBoard& board, int move, int mover, const VcfLimits& limits) {
  int fives[kMaxFiveCellsThrough];
  if (board.fiveCellsThrough(move, mover, fives) != 1) return timedVcf(mode, board, 1 - mover, limits).outcome;
  board.place(fives[0], 1 - mover);
  const VcfOutcome outcome = timedVcf(mode, board, 1 - mover, limits).outcome;
  board.remove(fives[0], 1 - mover);
  return outcome;
}

}  // namespace

Decision playOwnThreats(Position& pos, MoveSink& sink, ThreatMode& mode) {
  VcfBoard board(pos);
  // Half the time left looks for the own VCF, a quarter of the rest for the own VCT; what they
  // do not use goes on to the next steps.
  const VcfResult own = timedVcf(mode, board, pos.toMove, shareOfTurn(mode.limits, 1, 2));
  if (own.outcome == VcfOutcome::Win) {
    sink.writeMove(own.firstMoves.front().row, own.firstMoves.front().col);
    return Decision::Vcf;
  }
  const VcfResult ownVct = timedVcf(mode, board, pos.toMove, withThrees(shareOfTurn(mode.limits, 1, 4)));
  if (ownVct.outcome == VcfOutcome::Win) {
    sink.writeMove(ownVct.firstMoves.front().row, ownVct.firstMoves.front().col);
    return Decision::Vct;
  }
  const VcfResult theirs = timedVcf(mode, board, pos.opponent, shareOfTurn(mode.limits, 1, 4));
  mode.restrictRoot = theirs.outcome == VcfOutcome::Win;
  if (!mode.restrictRoot) {
    const VcfResult theirVct = timedVcf(mode, board, pos.opponent, withThrees(shareOfTurn(mode.limits, 1, 4)));
    mode.restrictRoot = mode.guardThrees = theirVct.outcome == VcfOutcome::Win;
  }
  return Decision::None;
}

void judgeLeafByVcf(Search& search, NodeId id, const Position& pos) {
  Node& node = search.store.node(id);
  if (node.value != kOpen) return;
  ThreatMode& mode = *search.threats;
  VcfBoard board(pos);
  VcfLimits limits;
  limits.clock = mode.limits.clock;
  limits.deadlineMs = mode.limits.timeAllowanceMs;
  limits.maxNodes = kLeafVcfNodes;
  const VcfResult result = findVcf(board, pos.toMove, mode.table, limits);
  mode.leafVcfNodes += result.nodes;
  if (result.outcome != VcfOutcome::Win) return;
  ++mode.leafWins;
  const bool searcherWins = pos.searcherToMove;
  node.value = searcherWins ? kWon : kLost;
  node.proof = searcherWins ? finite(0.0f) : infinite();
  node.disproof = searcherWins ? infinite() : finite(0.0f);
}

namespace {

// What is left of the opponent's threat once the mover has played `at`.
VcfOutcome threatAfter(ThreatMode& mode, VcfBoard& board, int at, int mover, const VcfLimits& limits) {
  board.place(at, mover);
  const VcfOutcome outcome = opponentKeepsVcf(mode, board, at, mover, limits);
  board.remove(at, mover);
  return outcome;
}

// The empty cells within two of a stone, best mix score first: every four and every block of a
// four or three is among them.
std::vector<BoardCell> cellsNearStones(const Position& pos) {
  std::vector<BoardCell> cells;
  for (int8_t row = 0; row < SOB; ++row) {
    for (int8_t col = 0; col < SOB; ++col) {
      if (pos.cells[row][col] != kEmpty) continue;
      bool near = false;
      for (int r = std::max(0, row - 2); r <= std::min(SOB - 1, row + 2) && !near; ++r) {
        for (int c = std::max(0, col - 2); c <= std::min(SOB - 1, col + 2) && !near; ++c) {
          near = pos.cells[r][c] != kEmpty;
        }
      }
      if (near) cells.push_back(BoardCell{row, col});
    }
  }
  std::stable_sort(cells.begin(), cells.end(), [&pos](BoardCell a, BoardCell b) {
    return mixScore(pos, a.row, a.col) > mixScore(pos, b.row, b.col);
  });
  return cells;
}

}  // namespace

void restrictRootChildren(Search& search, NodeId root, const Position& pos) {
  ThreatMode& mode = *search.threats;
  if (!mode.restrictRoot) return;
  NodeStore& store = search.store;
  VcfBoard board(pos);
  // The checks share a quarter of the time left; a check that runs out keeps its move.
  const VcfLimits quarter = shareOfTurn(mode.limits, 1, 4);
  const VcfLimits limits = mode.guardThrees ? withThrees(quarter) : quarter;
  std::vector<CellId> stopping;
  for (CellId cell = store.node(root).children; cell != kNoCell; cell = store.cell(cell).next) {
    const PathMove move = store.firstMove(store.cell(cell).node);
    if (threatAfter(mode, board, move.row * SOB + move.col, pos.toMove, limits) != VcfOutcome::Win) {
      stopping.push_back(cell);
    }
  }
  if (stopping.empty()) {
    widenRootGuard(search, root, pos, board);
    return;
  }
  if (static_cast<int>(stopping.size()) == store.node(root).childCount) return;
  // `stopping` is in list order, so the next kept cell is always the next one it names.
  size_t next = 0;
  store.removeChildrenIf(root, [&](CellId cell) {
    if (next < stopping.size() && stopping[next] == cell) {
      ++next;
      return false;
    }
    return true;
  });
  mode.rootRestricted = true;
}

void widenRootGuard(Search& search, NodeId root, const Position& pos, VcfBoard& board) {
  ThreatMode& mode = *search.threats;
  NodeStore& store = search.store;
  std::vector<BoardCell> children;
  for (CellId cell = store.node(root).children; cell != kNoCell; cell = store.cell(cell).next) {
    const PathMove move = store.firstMove(store.cell(cell).node);
    children.push_back(BoardCell{move.row, move.col});
  }
  // Nothing else is left to try, so this may take half of the time left.
  const VcfLimits half = shareOfTurn(mode.limits, 1, 2);
  const VcfLimits limits = mode.guardThrees ? withThrees(half) : half;
  // Cells whose check ran out are taken only when none is proved to stop the threat.
  std::vector<BoardCell> stoppers, unsettled;
  for (const BoardCell at : cellsNearStones(pos)) {
    if (stoppers.size() == kWidenedGuardCells || limits.clock->Elapsed() >= limits.deadlineMs) break;
    const bool isChild = std::any_of(children.begin(), children.end(),
                                     [at](BoardCell c) { return c.row == at.row && c.col == at.col; });
    if (isChild) continue;
    const VcfOutcome outcome = threatAfter(mode, board, at.row * SOB + at.col, pos.toMove, limits);
    if (outcome == VcfOutcome::NoWin) stoppers.push_back(at);
    if (outcome == VcfOutcome::Unknown && unsettled.size() < kWidenedGuardCells) unsettled.push_back(at);
  }
  if (stoppers.empty()) stoppers = unsettled;
  if (stoppers.empty()) return;
  store.removeChildrenIf(root, [](CellId) { return true; });
  appendChildMoves(search, root, pos, stoppers);
  mode.rootRestricted = true;
}

}  // namespace brenk
