// The position record: the board, side to move, candidate box, first and last move, threat scores
// and best cells. A flat value that every search node copies whole, so it holds no pointers.
#pragma once

#include <cstdint>

#include "engine/position/types.h"

namespace brenk {

struct BoardCell {
  int8_t row;
  int8_t col;
};

struct Position {
  int32_t cells[SOB][SOB] = {};  // [row][col]: stone value 0, 1 or kEmpty
  // Candidate box. The inverted 10/9 start lets the loader grow it from the stones alone.
  int8_t minCol = 10;
  int8_t maxCol = 9;
  int8_t minRow = 10;
  int8_t maxRow = 9;
  int8_t lastRow = 0;
  int8_t lastCol = 0;
  int16_t stoneCount = 0;
  bool searcherToMove = true;  // true exactly when toMove is the engine's own stone value
  bool firstMoveSet = false;
  int32_t toMove = 0;
  int32_t opponent = 0;
  int16_t plyCount = 0;  // makeMove calls since loading; 0 marks the search root
  int16_t firstRow = 19;
  int16_t firstCol = 19;
  int8_t movingCategory = 1;
  uint32_t scores[2][SOB][SOB] = {};  // [stone value][row][col]; 0 on occupied cells
  int8_t bestOwnRow = 0, bestOwnCol = 0;
  int8_t bestOppRow = 0, bestOppCol = 0;
  int8_t bestMixRow = 0, bestMixCol = 0;
  uint32_t bestOwnScore = 0;
  uint32_t bestOppScore = 0;
  uint32_t bestMixScore = 0;
};

// Plays the side to move on (row, col), which must be an empty board cell. Rescoring is the
// caller's job: rescoreAround(lastRow, lastCol) and findBestCells follow every call.
void makeMove(Position& pos, int8_t row, int8_t col);

}  // namespace brenk
