#include "engine/play/search.h"

#include <algorithm>

#include "engine/play/board_threats.h"
#include "engine/play/weights.h"

namespace brenk::play {

namespace {

inline constexpr int kQuiescenceFours = 12;
inline constexpr int kTableMoveBonus = 1 << 28;
inline constexpr int kKillerBonus = 1 << 20;

}  // namespace

AlphaBeta::AlphaBeta(Board& board, const PlayLimits& limits)
    : board_(board), limits_(limits), table_(limits.useTable ? limits.tableBytes : 0) {
  moveLists_.resize(kMaxPly + 1);
  fourLists_.resize(kMaxPly + 1);
}

bool AlphaBeta::outOfTime() {
  if (stopped_) return true;
  if (nodes_ >= limits_.maxNodes) stopped_ = true;
  if ((nodes_ & 1023) == 0 && limits_.clock->Elapsed() >= limits_.time.limitMs) stopped_ = true;
  return stopped_;
}

int AlphaBeta::evaluate() const {
  const int me = board_.sideToMove();
  const int value = board_.valueSum(kOwnRole, me) - board_.valueSum(kTheirRole, 1 - me) + kTempo +
                    threatSetValue(threatFlags(board_)) + shapeCountValue(board_);
  return std::clamp(value, -kEvalLimit, kEvalLimit);
}

// Wins and losses that the shapes alone prove, or 0 when they prove nothing.
int AlphaBeta::staticResult(int ply) const {
  const int me = board_.sideToMove();
  const int them = 1 - me;
  if (board_.shapeCount(me, kFive) > 0) return mateAt(ply + 1);
  const int theirFives = board_.shapeCount(them, kFive);
  if (theirFives >= 2) return -mateAt(ply + 2);
  if (theirFives > 0) return 0;
  if (board_.shapeCount(me, kFlexFour) > 0) return mateAt(ply + 3);
  // With no four to answer with, the other side cannot stop a four-three (the forced block
  // leaves the three to become an open four) nor a double three (one block leaves the other).
  if (board_.shapeCountAtLeast(them, kFour) == 0 &&
      board_.shapeCount(me, kFourThree) + board_.shapeCount(me, kDoubleThree) > 0) {
    return mateAt(ply + 5);
  }
  return 0;
}

// The cell that stops the other side's only five: on a line through its last move.
Cell AlphaBeta::blockOfFive() const {
  const int them = 1 - board_.sideToMove();
  const Cell last = board_.lastMove();
  if (last != kNoMove) {
    for (int direction = 0; direction < kDirections; ++direction) {
      for (int offset = -kHalfLine; offset <= kHalfLine; ++offset) {
        const Cell cell = static_cast<Cell>(last + offset * kDirectionStep[direction]);
        if (board_.isEmpty(cell) && board_.shape(them, cell) == kFive) return cell;
      }
    }
  }
  const std::vector<Cell> fives = board_.cellsWithShape(them, kFive);
  return fives.empty() ? kNoMove : fives.front();
}

// The side to move's fours worth trying in quiescence: all of them first, then only those on
// the lines or in the square around its previous four, so that a sequence stays connected.
void AlphaBeta::collectQuiescenceFours(std::vector<Cell>& out, int fours) const {
  out.clear();
  const int me = board_.sideToMove();
  if (board_.shapeCountAtLeast(me, kFour) == 0) return;
  const Cell previous = board_.lastMove(1);
  if (fours == 0 || previous == kNoMove) {
    board_.forEachCandidate([&](Cell cell) {
      if (makesFour(board_.shape(me, cell))) out.push_back(cell);
    });
    return;
  }
  auto consider = [&](Cell cell) {
    if (board_.isEmpty(cell) && makesFour(board_.shape(me, cell)) &&
        std::find(out.begin(), out.end(), cell) == out.end()) {
      out.push_back(cell);
    }
  };
  for (int direction = 0; direction < kDirections; ++direction) {
    for (int offset = -kHalfLine; offset <= kHalfLine; ++offset) {
      if (offset != 0) consider(static_cast<Cell>(previous + offset * kDirectionStep[direction]));
    }
  }
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) consider(static_cast<Cell>(previous + dy * kWidth + dx));
  }
}

int AlphaBeta::quiesce(int alpha, int beta, int ply, int fours) {
  ++nodes_;
  if (outOfTime()) return 0;
  if (const int proved = staticResult(ply)) return proved;
  if (board_.isFull()) return 0;
  if (ply >= kMaxPly) return evaluate();
  if (board_.shapeCount(1 - board_.sideToMove(), kFive) == 1) {
    const Cell block = blockOfFive();
    board_.play(block);
    const int value = -quiesce(-beta, -alpha, ply + 1, fours);
    board_.undo();
    return value;
  }
  const int standPat = evaluate();
  if (standPat >= beta || fours >= kQuiescenceFours) return standPat;
  alpha = std::max(alpha, standPat);
  int best = standPat;
  std::vector<Cell>& candidates = fourLists_[ply];
  collectQuiescenceFours(candidates, fours);
  for (size_t i = 0; i < candidates.size(); ++i) {
    const Cell cell = fourLists_[ply][i];
    board_.play(cell);
    const int value = -quiesce(-beta, -alpha, ply + 1, fours + 1);
    board_.undo();
    if (stopped_) return 0;
    if (value > best) {
      best = value;
      if (value > alpha) alpha = value;
      if (value >= beta) break;
    }
  }
  return best;
}

void AlphaBeta::orderMoves(std::vector<ScoredMove>& moves, int ply, Cell tableMove) const {
  const int me = board_.sideToMove();
  for (ScoredMove& move : moves) {
    if (move.cell == tableMove) {
      move.score += kTableMoveBonus;
    } else if (move.cell == killers_[ply][0] || move.cell == killers_[ply][1]) {
      move.score += kKillerBonus;
    }
    move.score += history_[me][move.cell] / 64;
  }
}

// Moves the best of moves[next..] to `next`: most nodes stop after a move or two, so sorting
// the whole list would be wasted. Ties go to the lower cell, so the order never depends on how
// the list was filled.
void pickMove(std::vector<ScoredMove>& moves, size_t next) {
  size_t best = next;
  for (size_t i = next + 1; i < moves.size(); ++i) {
    const ScoredMove& a = moves[i];
    const ScoredMove& b = moves[best];
    if (a.score > b.score || (a.score == b.score && a.cell < b.cell)) best = i;
  }
  std::swap(moves[next], moves[best]);
}

void AlphaBeta::noteCutoff(Cell move, int ply, int depth) {
  if (killers_[ply][0] != move) {
    killers_[ply][1] = killers_[ply][0];
    killers_[ply][0] = move;
  }
  int32_t& score = history_[board_.sideToMove()][move];
  score = std::min(score + depth * depth, 1 << 24);
}

}  // namespace brenk::play
