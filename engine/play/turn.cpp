#include "engine/play/turn.h"

#include <algorithm>
#include <chrono>

#include "engine/play/root_guard.h"
#include "engine/play/search.h"
#include "engine/position/scoring.h"
#include "engine/position/verdict.h"
#include "engine/threats/vcf.h"

namespace brenk::play {

namespace {

// The forcing-move solver's share of the time left: most turns it settles in microseconds, and
// a win it finds is worth more than any search.
inline constexpr int kVcfShareDivisor = 4;
inline constexpr int kVctShareDivisor = 16;
inline constexpr int kGuardShareDivisor = 4;
inline constexpr int kVctDepth = 10;
// Its node caps when the turn must repeat on every machine.
inline constexpr uint64_t kFixedVcfNodes = 50000;
inline constexpr uint64_t kFixedVctNodes = 20000;
inline constexpr uint64_t kFixedGuardNodes = 2000;
// All of the guard's searches together, with a fixed effort: without it a crowded board with
// a hundred candidates would take seconds.
inline constexpr uint64_t kFixedGuardTotalNodes = 20000;
inline constexpr size_t kVcfTableBytes = size_t{8} << 20;
inline constexpr size_t kLargestSearchTable = size_t{64} << 20;

bool fixedEffort(const DriverOptions& options) {
  return options.limits.maxIterations != kNoIterationCap || options.playDepth > 0;
}

VcfLimits solverLimits(const DriverOptions& options, int divisor, uint64_t fixedNodes, bool threes) {
  VcfLimits limits;
  limits.clock = options.limits.clock;
  const int64_t elapsed = limits.clock->Elapsed();
  const int64_t left = std::max<int64_t>(0, int64_t{options.limits.timeAllowanceMs} - elapsed);
  limits.deadlineMs = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, elapsed + left / divisor));
  if (fixedEffort(options)) {
    limits.deadlineMs = INT32_MAX;
    limits.maxNodes = fixedNodes;
  }
  if (threes) {
    limits.threes = true;
    limits.maxDepth = kVctDepth;
  }
  return limits;
}

// Plays the first move of an own win by fours, then by fours and threes, when the solver finds one.
Decision playOwnForcedWin(const Position& pos, MoveSink& sink, const DriverOptions& options, DriverReport& report) {
  VcfBoard board(pos);
  VcfTable table(std::min(kVcfTableBytes, options.limits.memoryBudget / 4));
  const auto began = std::chrono::steady_clock::now();
  Decision decision = Decision::None;
  VcfResult result = findVcf(board, pos.toMove, table, solverLimits(options, kVcfShareDivisor, kFixedVcfNodes, false));
  report.vcfNodes += result.nodes;
  if (result.outcome == VcfOutcome::Win) {
    decision = Decision::Vcf;
  } else {
    result = findVcf(board, pos.toMove, table, solverLimits(options, kVctShareDivisor, kFixedVctNodes, true));
    report.vcfNodes += result.nodes;
    if (result.outcome == VcfOutcome::Win) decision = Decision::Vct;
  }
  report.vcfMicros +=
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began).count();
  if (decision != Decision::None) sink.writeMove(result.firstMoves.front().row, result.firstMoves.front().col);
  return decision;
}

PlayLimits searchLimits(const DriverOptions& options, const TurnTime& time) {
  PlayLimits limits;
  limits.clock = options.limits.clock;
  limits.time = time;
  limits.tableBytes = std::min(kLargestSearchTable, options.limits.memoryBudget / 2);
  if (fixedEffort(options)) {
    limits.byClock = false;
    limits.time = fixedTurn(INT32_MAX);
    if (options.playDepth > 0) limits.maxDepth = std::min(options.playDepth, kMaxDepth);
    if (options.limits.maxIterations != kNoIterationCap) {
      limits.maxNodes = std::max<uint64_t>(1, static_cast<uint64_t>(options.limits.maxIterations) * kNodesPerIteration);
    }
  }
  return limits;
}

}  // namespace

Board boardOf(const Position& pos) {
  Board board(SOB);
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) {
      const int32_t stone = pos.cells[row][col];
      if (stone != kStoneO && stone != kStoneX) continue;
      board.setSideToMove(stone);
      board.play(Board::cellAt(col, row));
    }
  }
  board.setSideToMove(pos.toMove);
  return board;
}

namespace {

// The centre on an empty board; a five to complete, or the opponent's to block.
Decision quickDecision(Position& pos, MoveSink& sink) {
  if (pos.stoneCount == 0) {
    sink.writeMove(SOB / 2 - 1, SOB / 2 - 1);
    return Decision::Opening;
  }
  rescoreAll(pos);
  findBestCells(pos);
  if (pos.bestOwnScore >= kFiveThreshold) {
    sink.writeMove(pos.bestOwnRow, pos.bestOwnCol);
    return Decision::OwnFive;
  }
  if (pos.bestOppScore >= kFiveThreshold) {
    sink.writeMove(pos.bestOppRow, pos.bestOppCol);
    return Decision::BlockFive;
  }
  return Decision::None;
}

void guardRoot(const Position& pos, AlphaBeta& search, const DriverOptions& options, DriverReport& report) {
  VcfTable table(std::min(kVcfTableBytes, options.limits.memoryBudget / 4));
  const auto began = std::chrono::steady_clock::now();
  const uint64_t total = fixedEffort(options) ? kFixedGuardTotalNodes : UINT64_MAX;
  search.restrictRoot(movesThatStopTheirVcf(pos, search.rootCandidates(), table,
                                            solverLimits(options, kGuardShareDivisor, kFixedGuardNodes, false), total,
                                            report.vcfNodes));
  report.vcfMicros +=
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began).count();
}

}  // namespace

DriverReport decideInThreatMode(Position& pos, MoveSink& sink, const DriverOptions& givenOptions) {
  // Under a game clock the solvers take their shares of the turn's target, not of its limit.
  const TurnTime time = givenOptions.gameTime ? planTurn(*givenOptions.gameTime, pos.stoneCount)
                                              : fixedTurn(givenOptions.limits.timeAllowanceMs);
  DriverOptions options = givenOptions;
  options.limits.timeAllowanceMs = time.targetMs;
  DriverReport report;
  report.decision = quickDecision(pos, sink);
  if (report.decision != Decision::None) return report;
  report.decision = playOwnForcedWin(pos, sink, options, report);
  if (report.decision != Decision::None) return report;
  Board board = boardOf(pos);
  AlphaBeta search(board, searchLimits(options, time));
  guardRoot(pos, search, options, report);
  const PlayResult result = search.run();
  report.decision = Decision::AlphaBeta;
  AlphaBetaSummary& summary = report.alphaBeta;
  summary.ran = true;
  summary.depth = result.depth;
  summary.score = result.score;
  summary.nodes = result.nodes;
  summary.forced = result.forced;
  for (Cell cell : result.pv)
    summary.pv.push_back(BoardCell{static_cast<int8_t>(Board::yOf(cell)), static_cast<int8_t>(Board::xOf(cell))});
  if (result.move != kNoMove) {
    sink.writeMove(Board::yOf(result.move), Board::xOf(result.move));
  } else {
    report.decision = Decision::SearchError;
  }
  return report;
}

}  // namespace brenk::play
