// The evaluation's terms for the threats of the whole board, on top of the cells' values: which
// sets of threats each side has, and how many cells make each shape.
#pragma once

#include "engine/play/board.h"

namespace brenk::play {

// The ThreatFlag set of the position: which shapes each side could make with one more stone.
int threatFlags(const Board& board);
// The evaluation's value of a set of threats, for the side to move (0 for sets never fitted).
int threatSetValue(int flags);
// The evaluation's value of how many empty cells make each shape for either side, for the side
// to move.
int shapeCountValue(const Board& board);

}  // namespace brenk::play
