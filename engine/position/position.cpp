// makeMove: the only way a position advances.
#include "engine/position/position.h"

namespace brenk {

namespace {

// The box is at least 4 wide, so a move can push at most one of its two bounds.
void widen(int8_t value, int8_t& lo, int8_t& hi) {
  if (value <= lo + 1) {
    lo = static_cast<int8_t>(value - 2 < 0 ? 0 : value - 2);
  } else if (value >= hi - 1) {
    hi = static_cast<int8_t>(value + 2 > SOB - 1 ? SOB - 1 : value + 2);
  }
}

}  // namespace

void makeMove(Position& pos, int8_t row, int8_t col) {
  if (!pos.firstMoveSet) {
    pos.firstRow = row;
    pos.firstCol = col;
    pos.firstMoveSet = true;
  }
  widen(row, pos.minRow, pos.maxRow);
  widen(col, pos.minCol, pos.maxCol);
  pos.lastRow = row;
  pos.lastCol = col;
  pos.scores[0][row][col] = 0;
  pos.scores[1][row][col] = 0;
  pos.cells[row][col] = pos.toMove;
  const int32_t mover = pos.toMove;
  pos.toMove = pos.opponent;
  pos.opponent = mover;
  pos.searcherToMove = !pos.searcherToMove;
  ++pos.plyCount;
  ++pos.stoneCount;
}

}  // namespace brenk
