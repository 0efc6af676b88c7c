// Positions built the way brenk builds them from its files: the board text and the symbol go
// through the loader, and the scored form adds the cell scores and best cells a search starts from.
#pragma once

#include <sstream>
#include <string>

#include "engine/host/files.h"
#include "engine/position/position.h"
#include "engine/position/scoring.h"

namespace brenk::testsupport {

inline Position loadedPosition(const std::string& boardText, const char* symbol) {
  Position pos;
  char ch = '-';
  std::istringstream boardIn(boardText), symbolIn(symbol);
  readBoard(boardIn, pos, ch);
  readSymbol(symbolIn, pos, ch);
  return pos;
}

inline Position scoredPosition(const std::string& boardText, const char* symbol) {
  Position pos = loadedPosition(boardText, symbol);
  rescoreAll(pos);
  findBestCells(pos);
  return pos;
}

}  // namespace brenk::testsupport
