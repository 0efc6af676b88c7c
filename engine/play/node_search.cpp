// One node of the principal-variation search.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "engine/play/search.h"

namespace brenk::play {

namespace {

inline constexpr int kFutilityMargin = 90;
inline constexpr int kFailHighMargin = 20;
inline constexpr int kMaxDepthOfFutility = 3;
inline constexpr int kMaxDepthOfMoveCount = 5;

int moveCountLimit(int depth) {
  static constexpr int kLimits[kMaxDepthOfMoveCount + 1] = {0, 4, 6, 8, 11, 14};
  return kLimits[depth];
}

int lateMoveReduction(int depth, int moveIndex) {
  // About ln(depth) * ln(moveIndex) / 1.5: more for later moves at deeper nodes. The usual
  // divisor of 2 that chess engines use measured weaker here.
  static const auto table = [] {
    std::array<std::array<int8_t, 64>, kMaxDepth + 1> r{};
    for (int d = 1; d <= kMaxDepth; ++d) {
      for (int m = 1; m < 64; ++m) r[d][m] = static_cast<int8_t>(std::log(d) * std::log(m) / 1.5);
    }
    return r;
  }();
  return table[std::min(depth, kMaxDepth)][std::min(moveIndex, 63)];
}

// More reduction for a move whose ordering score is far below the best one's: the ordering
// measures about 0.0089 logits a unit against a strong player's choices, so every 150 units
// past the first 100 (odds of 2.4 to 1) make it nearly four times less likely.
int scoreReduction(int32_t below) { return std::clamp((below - 100) / 150, 0, 3); }

}  // namespace

// A stored result that settles the node (not at a PV node, where the line is wanted); the
// stored move is handed back for ordering either way.
bool AlphaBeta::probeTable(uint64_t key, int alpha, int beta, int depth, int ply, bool pvNode, Cell& move,
                           int& value) const {
  if (!limits_.useTable) return false;
  const TableEntry* entry = table_.probe(key);
  if (entry == nullptr) return false;
  move = entry->move;
  value = scoreFromTable(entry->score, ply);
  return !pvNode && entry->depth >= depth &&
         (entry->bound == Bound::Exact || (entry->bound == Bound::Lower && value >= beta) ||
          (entry->bound == Bound::Upper && value <= alpha));
}

// The value of the move just played: the first with the full window, the others with a null
// window (reduced first, if asked) and searched again when they beat alpha. Expected cut and
// all nodes alternate down the first moves; a reduced search is expected to fail high.
int AlphaBeta::searchChild(int alpha, int beta, int depth, int reduction, int ply, bool pvNode, bool cutNode,
                           bool first) {
  if (first) return -search(-beta, -alpha, depth, ply + 1, pvNode, !pvNode && !cutNode);
  int value = -search(-alpha - 1, -alpha, depth - reduction, ply + 1, false, reduction > 0 || !cutNode);
  if (value > alpha && reduction > 0) value = -search(-alpha - 1, -alpha, depth, ply + 1, false, !cutNode);
  if (value > alpha && value < beta && pvNode) value = -search(-beta, -alpha, depth, ply + 1, true, false);
  return value;
}

int AlphaBeta::search(int alpha, int beta, int depth, int ply, bool pvNode, bool cutNode) {
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
  int stored = 0;
  if (probeTable(key, alpha, beta, depth, ply, pvNode, tableMove, stored)) return stored;

  std::vector<ScoredMove>& moves = moveLists_[ply];
  const MoveSet set = generateMoves(board_, moves);
  if (moves.empty()) {
    // Nothing stops the open four to come: it is played next, then the five.
    if (set == MoveSet::StopFour) return -mateAt(ply + 4);
    board_.forEachEmpty([&](Cell cell) { moves.push_back(ScoredMove{cell, 0}); });
  }
  // The best cell's own score, before the table move, the killers and the history add theirs: a
  // move far below it is one a strong player would rarely choose, and is reduced more.
  int32_t topScore = INT32_MIN;
  for (const ScoredMove& move : moves) topScore = std::max(topScore, move.score);
  orderMoves(moves, ply, tableMove);

  const bool quietNode = set == MoveSet::All && !pvNode && limits_.selective;
  const int staticEval = quietNode ? evaluate() : 0;
  if (quietNode && depth <= kMaxDepthOfFutility * kOnePly) {
    if (staticEval - kFutilityMargin * depth / kOnePly >= beta && !isWin(beta)) return staticEval;
  }
  // Far above beta, any move is expected to hold it: all but the fours are searched a ply
  // shallower, and a quiet move that does fail high is not searched again deeper.
  const bool likelyFailHigh = quietNode && staticEval >= beta + kFailHighMargin * depth / kOnePly && !isWin(beta);

  const int originalAlpha = alpha;
  int best = -kInfinity;
  Cell bestMove = kNoMove;
  // Answers to a five or an open three cost no depth, nor does a single reply: the threat that
  // forced them was the attacker's whole move, and lines of threats are where games are decided.
  const bool forcedReply = limits_.extensions && (set != MoveSet::All || moves.size() == 1) &&
                           ply < 2 * rootDepth_ + 8;
  const int newDepth = forcedReply ? depth : depth - kOnePly;
  for (size_t i = 0; i < moveLists_[ply].size(); ++i) {
    pickMove(moveLists_[ply], i);
    const Cell cell = moveLists_[ply][i].cell;
    if (quietNode && depth <= kMaxDepthOfMoveCount * kOnePly &&
        static_cast<int>(i) >= moveCountLimit((depth + kOnePly - 1) / kOnePly) && !isLoss(best)) {
      break;
    }
    int reduction = 0;
    if (i > 0 && limits_.selective && set == MoveSet::All && depth >= 3 * kOnePly && cell != killers_[ply][0] &&
        cell != killers_[ply][1]) {
      // At a node expected to fail high, a move that has not refuted here before rarely will.
      const int plies = lateMoveReduction(depth / kOnePly, static_cast<int>(i)) - (pvNode ? 1 : 0) + (cutNode ? 2 : 0);
      reduction = (std::max(0, plies) + scoreReduction(topScore - cellScore(board_, cell))) * kOnePly;
    }
    int moveDepth = newDepth;
    if (likelyFailHigh && !makesFour(board_.shape(board_.sideToMove(), cell))) moveDepth -= kOnePly;
    // A reduced search still looks at least a ply ahead.
    reduction = std::min(reduction, std::max(0, moveDepth - kOnePly));
    board_.play(cell);
    // A four that leaves the other side's open three standing only delays the answer to it: it
    // costs a ply, or a defender could chain such fours for free.
    if (set == MoveSet::StopFour && moveDepth == depth &&
        board_.shapeCountAtLeast(board_.sideToMove(), kFlexFour) > 0) {
      moveDepth -= kOnePly;
    }
    const int value = searchChild(alpha, beta, moveDepth, reduction, ply, pvNode, cutNode, i == 0);
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
          if (set == MoveSet::All) noteCutoff(cell, ply, depth / kOnePly);
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
