// Threat-pattern scoring: each empty cell's score for both players, kept current incrementally,
// and the three best cells of the candidate box.
#pragma once

#include <cstdint>

#include "engine/position/position.h"

namespace brenk {

// Adds the four line entries of (row, col) for `own` against `other`; does not reset first.
void scoreCell(Position& pos, int8_t row, int8_t col, int32_t own, int32_t other);
// Both scores of one cell from the board: 1 + four line entries if empty, 0 if occupied.
void rescoreCell(Position& pos, int8_t row, int8_t col);
void rescoreAll(Position& pos);
// After a move at (row, col), whose stone stands there: updates the empty cells whose windows can
// reach it, each by the change of the one line it shares with the move. The scores must have
// matched the board before the move (as rescoreAll leaves them); they then match it again.
void rescoreAround(Position& pos, int8_t row, int8_t col);
// Best own, opponent and mix cells of the candidate box. Ties go to the cell scanned last, so
// the scan order is part of the result; coordinates are left alone when the box has no empty cell.
void findBestCells(Position& pos);

inline uint32_t mixScore(const Position& pos, int row, int col) {
  return MC * pos.scores[pos.toMove][row][col] + pos.scores[pos.opponent][row][col];
}

}  // namespace brenk
