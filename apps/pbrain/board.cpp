// Turns the kept game into the input brenk would read, so both front ends load alike.
#include "apps/pbrain/board.h"

#include <sstream>

#include "engine/host/files.h"

namespace brenk::pbrain {

namespace {

char boardChar(Stone stone) {
  switch (stone) {
    case Stone::Own: return 'x';
    case Stone::Opponent: return 'o';
    case Stone::Special: return '#';
    case Stone::None: break;
  }
  return '-';
}

}  // namespace

std::string renderBoardFile(const GameBoard& board) {
  std::string text;
  text.reserve(SOB * (SOB + 1));
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) text += boardChar(at(board, row, col));
    text += '\n';
  }
  return text;
}

Position loadPosition(const GameBoard& board) {
  Position pos;
  char ch = '-';
  std::istringstream boardFile(renderBoardFile(board));
  readBoard(boardFile, pos, ch);
  std::istringstream moveFile("x");
  readSymbol(moveFile, pos, ch);
  return pos;
}

bool anyEmptyCell(const GameBoard& board, int& row, int& col) {
  const int centre = SOB / 2 - 1;
  for (int ring = 0; ring < SOB; ++ring) {
    for (int r = centre - ring; r <= centre + ring; ++r) {
      for (int c = centre - ring; c <= centre + ring; ++c) {
        if (!onBoard(r, c) || !isEmpty(board, r, c)) continue;
        row = r;
        col = c;
        return true;
      }
    }
  }
  return false;
}

}  // namespace brenk::pbrain
