// Draws a board for a person: column numbers above and below, row numbers on both sides, x and o
// stones, and marked cells in brackets. ANSI colour only when asked (standard output a terminal).
#pragma once

#include <iosfwd>
#include <vector>

#include "apps/analysis/game_dir.h"
#include "engine/position/position.h"

namespace brenk::cli {

struct BoardStyle {
  bool colour = false;
  std::vector<Cell> marks;  // drawn as [x]; an empty marked cell shows '*'
};

void drawBoard(std::ostream& out, const Position& pos, const BoardStyle& style);

// "x" or "o" for a stone value.
char stoneChar(int stone);

// Whether standard output is a terminal, so colour can be used.
bool stdoutIsTerminal();

}  // namespace brenk::cli
