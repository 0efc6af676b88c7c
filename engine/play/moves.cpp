#include "engine/play/moves.h"

#include <algorithm>

#include "engine/play/cell_values.h"

namespace brenk::play {

int32_t cellScore(const Board& board, Cell cell) {
  const CellValues& values = board.values();
  const int me = board.sideToMove();
  return values.attack[board.classQuadAt(me, cell)] + values.defence[board.classQuadAt(1 - me, cell)];
}

namespace {

// The cells on the lines through `threat` (out to four cells) that are empty, with `threat`.
void cellsOnThreatLines(const Board& board, Cell threat, int attacker, std::vector<Cell>& out) {
  out.push_back(threat);
  for (int direction = 0; direction < kDirections; ++direction) {
    // Only a line that holds a four or an open-four threat has cells that can stop it.
    if (board.lineClassAt(attacker, threat, direction) < kB4) continue;
    const int step = kDirectionStep[direction];
    for (int offset = -kHalfLine; offset <= kHalfLine; ++offset) {
      const Cell cell = static_cast<Cell>(threat + offset * step);
      if (offset != 0 && board.isEmpty(cell)) out.push_back(cell);
    }
  }
}

void addOwnFours(const Board& board, std::vector<ScoredMove>& moves) {
  const int me = board.sideToMove();
  board.forEachCandidate([&](Cell cell) {
    if (makesFour(board.shape(me, cell))) moves.push_back(ScoredMove{cell, cellScore(board, cell)});
  });
}

bool listed(const std::vector<ScoredMove>& moves, Cell cell) {
  return std::any_of(moves.begin(), moves.end(), [cell](const ScoredMove& m) { return m.cell == cell; });
}

// The cells after which the other side has no cell left that makes an open four, and the
// mover's own fours, which must be answered first.
void addDefences(Board& board, std::vector<ScoredMove>& moves) {
  const int me = board.sideToMove();
  const int them = 1 - me;
  addOwnFours(board, moves);
  std::vector<Cell> tried;
  for (Cell threat : board.cellsWithShape(them, kFlexFour)) cellsOnThreatLines(board, threat, them, tried);
  std::sort(tried.begin(), tried.end());
  tried.erase(std::unique(tried.begin(), tried.end()), tried.end());
  for (Cell cell : tried) {
    if (listed(moves, cell)) continue;
    board.play(cell);
    const bool stops = board.shapeCountAtLeast(them, kFlexFour) == 0;
    board.undo();
    if (stops) moves.push_back(ScoredMove{cell, cellScore(board, cell)});
  }
}

}  // namespace

MoveSet generateMoves(Board& board, std::vector<ScoredMove>& moves) {
  moves.clear();
  const int them = 1 - board.sideToMove();
  if (board.shapeCount(them, kFive) > 0) {
    for (Cell cell : board.cellsWithShape(them, kFive)) moves.push_back(ScoredMove{cell, cellScore(board, cell)});
    return MoveSet::BlockFive;
  }
  if (board.shapeCount(them, kFlexFour) > 0) {
    addDefences(board, moves);
    return MoveSet::StopFour;
  }
  board.forEachCandidate([&](Cell cell) { moves.push_back(ScoredMove{cell, cellScore(board, cell)}); });
  return MoveSet::All;
}

}  // namespace brenk::play
