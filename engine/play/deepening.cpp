// The root of the alpha-beta search: iterative deepening, aspiration windows, and when to stop.
#include <algorithm>
#include <numeric>

#include "engine/play/search.h"

namespace brenk::play {

namespace {

inline constexpr int kAspirationFrom = 5;
inline constexpr int kAspirationWindow = 40;
// An iteration costs about this many times the one before it: no iteration starts that would
// then end past the target.
inline constexpr double kIterationGrowth = 1.5;

}  // namespace

int AlphaBeta::rootSearch(int alpha, int beta, int depth) {
  int best = -kInfinity;
  pvLength_[0] = 0;
  for (size_t i = 0; i < rootMoves_.size(); ++i) {
    const Cell cell = rootMoves_[i].cell;
    board_.play(cell);
    int value;
    if (i == 0) {
      value = -search(-beta, -alpha, (depth - 1) * kOnePly, 1, true);
    } else {
      value = -search(-alpha - 1, -alpha, (depth - 1) * kOnePly, 1, false, true);
      if (value > alpha && value < beta) value = -search(-beta, -alpha, (depth - 1) * kOnePly, 1, true);
    }
    board_.undo();
    if (stopped_) break;
    rootValues_[i] = value;
    if (value > best) {
      best = value;
      if (value > alpha) {
        alpha = value;
        iterationBest_ = cell;
        pv_[0][0] = cell;
        for (int next = 1; next < pvLength_[1]; ++next) pv_[0][next] = pv_[1][next];
        pvLength_[0] = std::max(1, pvLength_[1]);
        if (value >= beta) break;
      }
    }
  }
  return best;
}

int AlphaBeta::aspiration(int depth, int previous) {
  if (depth < kAspirationFrom || isWin(previous) || isLoss(previous)) {
    return rootSearch(-kInfinity, kInfinity, depth);
  }
  int delta = kAspirationWindow;
  int alpha = previous - delta, beta = previous + delta;
  for (;;) {
    const int value = rootSearch(alpha, beta, depth);
    if (stopped_) return value;
    if (value <= alpha) {
      alpha = std::max(-kInfinity, value - delta);
    } else if (value >= beta) {
      beta = std::min(kInfinity, value + delta);
    } else {
      return value;
    }
    delta *= 2;
    if (delta > 4 * kAspirationWindow * kAspirationWindow) alpha = -kInfinity, beta = kInfinity;
  }
}

// The move the last iteration chose first, then the rest by the values they had.
void AlphaBeta::sortRootMoves() {
  std::vector<size_t> order(rootMoves_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const bool aBest = rootMoves_[a].cell == iterationBest_, bBest = rootMoves_[b].cell == iterationBest_;
    if (aBest != bBest) return aBest;
    return rootValues_[a] > rootValues_[b];
  });
  std::vector<ScoredMove> moves;
  std::vector<int> values;
  for (size_t i : order) {
    moves.push_back(rootMoves_[i]);
    values.push_back(rootValues_[i]);
  }
  rootMoves_ = std::move(moves);
  rootValues_ = std::move(values);
}

MoveSet AlphaBeta::generateRootMoves() {
  const MoveSet set = generateMoves(board_, rootMoves_);
  // With nothing that stops the threat, the root still has to move: the cells near the stones.
  if (rootMoves_.empty()) {
    board_.forEachCandidate([&](Cell cell) { rootMoves_.push_back(ScoredMove{cell, cellScore(board_, cell)}); });
  }
  std::vector<ScoredMove> kept;
  for (const ScoredMove& move : rootMoves_) {
    if (std::find(allowed_.begin(), allowed_.end(), move.cell) != allowed_.end()) kept.push_back(move);
  }
  if (!kept.empty()) rootMoves_ = std::move(kept);
  orderMoves(rootMoves_, 0, kNoMove);
  for (size_t i = 0; i < rootMoves_.size(); ++i) pickMove(rootMoves_, i);
  return set;
}

std::vector<Cell> AlphaBeta::rootCandidates() {
  std::vector<Cell> cells;
  if (board_.shapeCount(board_.sideToMove(), kFive) > 0) return cells;
  const std::vector<Cell> saved = std::move(allowed_);
  allowed_.clear();
  generateRootMoves();
  allowed_ = saved;
  for (const ScoredMove& move : rootMoves_) cells.push_back(move.cell);
  return cells;
}

PlayResult AlphaBeta::run() {
  PlayResult result;
  const int me = board_.sideToMove();
  if (board_.shapeCount(me, kFive) > 0) {
    result.move = board_.cellsWithShape(me, kFive).front();
    result.score = mateAt(1);
    result.pv = {result.move};
    result.forced = true;
    return result;
  }
  if (generateRootMoves() == MoveSet::StopFour && rootMoves_.empty()) result.score = -mateAt(4);
  if (rootMoves_.empty()) board_.forEachEmpty([&](Cell cell) { rootMoves_.push_back(ScoredMove{cell, 0}); });
  if (rootMoves_.empty()) return result;
  result.move = rootMoves_.front().cell;
  result.pv = {result.move};
  if (rootMoves_.size() == 1) {
    result.forced = true;
    return result;
  }
  rootValues_.assign(rootMoves_.size(), -kInfinity);
  int previous = 0;
  SearchTrend trend;
  for (int depth = 1; depth <= limits_.maxDepth; ++depth) {
    rootDepth_ = depth;
    iterationBest_ = kNoMove;
    const int32_t began = limits_.clock->Elapsed();
    const int value = aspiration(depth, previous);
    if (stopped_) {
      // A move that beat the previous choice with a full window stands, even unfinished.
      if (iterationBest_ != kNoMove && iterationBest_ != result.move && depth > 1) {
        result.move = iterationBest_;
        result.pv.assign(pv_[0], pv_[0] + pvLength_[0]);
        // Stopped in an aspiration re-search, the move comes from the window before, whose line
        // the re-search has already cleared: the variation is then the move alone.
        if (result.pv.empty() || result.pv.front() != result.move) result.pv = {result.move};
      }
      break;
    }
    const Cell best = iterationBest_ != kNoMove ? iterationBest_ : rootMoves_.front().cell;
    trend.bestChanged = depth > 1 && best != result.move;
    trend.stableIterations = trend.bestChanged ? 1 : trend.stableIterations + 1;
    trend.scoreDrop = depth > 1 ? previous - value : 0;
    previous = value;
    result.move = best;
    result.score = value;
    result.depth = depth;
    result.pv.assign(pv_[0], pv_[0] + pvLength_[0]);
    if (result.pv.empty() || result.pv.front() != result.move) result.pv = {result.move};
    sortRootMoves();
    if (isWin(value) || isLoss(value)) break;
    const int32_t now = limits_.clock->Elapsed();
    if (limits_.byClock &&
        !mayStartIteration(now, now - began, kIterationGrowth, adjustedTargetMs(limits_.time, trend))) {
      break;
    }
  }
  result.nodes = nodes_;
  return result;
}

int AlphaBeta::valueAt(int depth) {
  rootDepth_ = depth;
  return search(-kInfinity, kInfinity, depth * kOnePly, 0, true);
}

}  // namespace brenk::play
