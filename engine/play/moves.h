// The moves the alpha-beta search tries at a node, by what threatens: under a five only its
// block; under an open three (or a cell that makes two fours) only the cells that stop it and
// the mover's own fours; otherwise every candidate near the stones, scored by what it makes for
// the mover and what it takes from the other side.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/play/board.h"

namespace brenk::play {

struct ScoredMove {
  Cell cell;
  int32_t score;
};

enum class MoveSet {
  BlockFive,   // the other side has one cell to five: only that cell
  StopFour,    // it has a cell that makes an open four: the defences and own fours
  All,         // nothing forces the mover
};

// Fills `moves` for the side to move (who has no five of its own to take) and says which set it
// is. Under a threat the list may come back empty: nothing stops it.
MoveSet generateMoves(Board& board, std::vector<ScoredMove>& moves);

// Ordering score of a move for the side to move, from the cell's shapes alone.
int32_t cellScore(const Board& board, Cell cell);

}  // namespace brenk::play
