// The set of threats on the whole board, for the evaluation's term of threats taken together.
#pragma once

#include "engine/play/board.h"

namespace brenk::play {

// The ThreatFlag set of the position: which shapes each side could make with one more stone.
int threatFlags(const Board& board);
// The evaluation's value of a set of threats, for the side to move (0 for sets never fitted).
int threatSetValue(int flags);

}  // namespace brenk::play
