// The game as the manager has told it: the only state pbrain-brenk keeps between turns.
#pragma once

#include <string>

#include "engine/position/position.h"

namespace brenk::pbrain {

// Who holds a cell. Special is the third kind of stone of a continuous game (BOARD field 3).
enum class Stone : char { None, Own, Opponent, Special };

struct GameBoard {
  Stone cells[SOB][SOB] = {};  // [row][col]
};

inline Stone at(const GameBoard& board, int row, int col) { return board.cells[row][col]; }
inline void put(GameBoard& board, int row, int col, Stone stone) { board.cells[row][col] = stone; }
inline bool isEmpty(const GameBoard& board, int row, int col) { return at(board, row, col) == Stone::None; }

// The board as brenk's board file would hold it, with the engine playing "x": own stones "x",
// the opponent's "o", special stones "#" (which the loader, like brenk's, takes as "o" stones:
// a cell nobody may play and that no line of ours runs through).
std::string renderBoardFile(const GameBoard& board);

// A fresh Position loaded from that board file and the symbol "x", by brenk's own loader.
Position loadPosition(const GameBoard& board);

// The empty cell closest to the centre, for a turn whose decision went wrong; false when full.
bool anyEmptyCell(const GameBoard& board, int& row, int& col);

}  // namespace brenk::pbrain
