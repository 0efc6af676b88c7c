// Reads a training position (tools/tune/dataset.py's 400 cells, row by row) onto a board, with
// the side to move set as the game had it: the side with fewer stones, x when equal.
#pragma once

#include <string>

#include "engine/play/board.h"

namespace brenk::tune {

inline constexpr int kSize = 20;

inline bool loadBoard(const std::string& cells, play::Board& board) {
  if (cells.size() != kSize * kSize) return false;
  int stones[2] = {0, 0};
  for (int i = 0; i < kSize * kSize; ++i) {
    const char c = cells[i];
    if (c == '.') continue;
    if (c != 'x' && c != 'o') return false;
    const int colour = c == 'x' ? 1 : 0;
    ++stones[colour];
    board.setSideToMove(colour);
    board.play(play::Board::cellAt(i % kSize, i / kSize));
  }
  board.setSideToMove(stones[1] > stones[0] ? 0 : 1);
  return true;
}

}  // namespace brenk::tune
