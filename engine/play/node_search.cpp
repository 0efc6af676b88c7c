// One node of the principal-variation search.
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/play/search.h"

namespace brenk::play {

namespace {

inline constexpr int kFutilityMargin = 90;
inline constexpr int kMaxDepthOfFutility = 3;
inline constexpr int kMaxDepthOfMoveCount = 5;

int moveCountLimit(int depth) {
  static constexpr int kLimits[kMaxDepthOfMoveCount + 1] = {0, 4, 6, 8, 11, 14};
  return kLimits[depth];
}

int lateMoveReduction(int depth, int moveIndex) {
  // About ln(depth) * ln(moveIndex) / 2, the usual shape: more for later moves at deeper nodes.
  static const auto table = [] {
    std::array<std::array<int8_t, 64>, kMaxDepth + 1> r{};
    for (int d = 1; d <= kMaxDepth; ++d) {
      for (int m = 1; m < 64; ++m) r[d][m] = static_cast<int8_t>(std::log(d) * std::log(m) / 2.0);
    }
    return r;
  }();
  return table[std::min(depth, kMaxDepth)][std::min(moveIndex, 63)];
}

}  // namespace

int AlphaBeta::search(int alpha, int beta, int depth, int ply, bool pvNode) {
  pvLength_[ply] = ply;
  ++nodes_;
  if (outOfTime()) return 0;
  if (const int proved = staticResult(ply)) return proved;
  if (board_.isFull()) return 0;
  if (ply >= kMaxPly) return evaluate();
  // No line from here can end sooner than the next five or later than losing to the one after.
  alpha = std::max(alpha, -mateAt(ply + 2));
  beta = std::min(beta, mateAt(ply + 1));
  if (alpha >= beta) return alpha;
  if (depth <= 0) return quiesce(alpha, beta, ply, 0);

  const uint64_t key = board_.hash();
  Cell tableMove = kNoMove;
  if (limits_.useTable) {
    if (const TableEntry* entry = table_.probe(key)) {
      tableMove = entry->move;
      const int stored = scoreFromTable(entry->score, ply);
      if (!pvNode && entry->depth >= depth &&
          (entry->bound == Bound::Exact || (entry->bound == Bound::Lower && stored >= beta) ||
           (entry->bound == Bound::Upper && stored <= alpha))) {
        return stored;
      }
    }
  }

  std::vector<ScoredMove>& moves = moveLists_[ply];
  const MoveSet set = generateMoves(board_, moves);
  if (moves.empty()) {
    // Nothing stops the open four to come: it is played next, then the five.
    if (set == MoveSet::StopFour) return -mateAt(ply + 4);
    board_.forEachEmpty([&](Cell cell) { moves.push_back(ScoredMove{cell, 0}); });
  }
  orderMoves(moves, ply, tableMove);

  const bool quietNode = set == MoveSet::All && !pvNode && limits_.selective;
  int staticEval = 0;
  if (quietNode && depth <= kMaxDepthOfFutility) {
    staticEval = evaluate();
    if (staticEval - kFutilityMargin * depth >= beta && !isWin(beta)) return staticEval;
  }

  const int originalAlpha = alpha;
  int best = -kInfinity;
  Cell bestMove = kNoMove;
  const bool forcedReply = limits_.extensions && (set == MoveSet::BlockFive || moves.size() == 1) &&
                           ply < 2 * rootDepth_ + 8;
  const int newDepth = forcedReply ? depth : depth - 1;
  for (size_t i = 0; i < moveLists_[ply].size(); ++i) {
    pickMove(moveLists_[ply], i);
    const Cell cell = moveLists_[ply][i].cell;
    if (quietNode && depth <= kMaxDepthOfMoveCount && static_cast<int>(i) >= moveCountLimit(depth) && !isLoss(best)) {
      break;
    }
    board_.play(cell);
    int value;
    if (i == 0) {
      value = -search(-beta, -alpha, newDepth, ply + 1, pvNode);
    } else {
      int r = 0;
      if (limits_.selective && set == MoveSet::All && depth >= 3 && cell != killers_[ply][0] &&
          cell != killers_[ply][1]) {
        r = std::max(0, lateMoveReduction(depth, static_cast<int>(i)) - (pvNode ? 1 : 0));
        r = std::min(r, newDepth - 1);
      }
      value = -search(-alpha - 1, -alpha, newDepth - r, ply + 1, false);
      if (value > alpha && r > 0) value = -search(-alpha - 1, -alpha, newDepth, ply + 1, false);
      if (value > alpha && value < beta && pvNode) value = -search(-beta, -alpha, newDepth, ply + 1, true);
    }
    board_.undo();
    if (stopped_) return 0;
    if (value > best) {
      best = value;
      bestMove = cell;
      if (value > alpha) {
        alpha = value;
        pv_[ply][ply] = cell;
        for (int next = ply + 1; next < pvLength_[ply + 1]; ++next) pv_[ply][next] = pv_[ply + 1][next];
        pvLength_[ply] = std::max(ply + 1, pvLength_[ply + 1]);
        if (value >= beta) {
          if (set == MoveSet::All) noteCutoff(cell, ply, depth);
          break;
        }
      }
    }
  }
  if (limits_.useTable) {
    const Bound bound = best >= beta ? Bound::Lower : best > originalAlpha ? Bound::Exact : Bound::Upper;
    table_.store(key, scoreToTable(best, ply), bound, depth, bestMove);
  }
  return best;
}

}  // namespace brenk::play
