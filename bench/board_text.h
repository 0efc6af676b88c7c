// Positions for the benchmarks, built the way the loader builds them: from 20 board rows, or
// from stone lists in the solved-position files' "x,y;x,y" form (x the column, y the row).
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "engine/position/position.h"

namespace brenk::bench {

using BoardRows = std::array<const char*, SOB>;
using Cell = std::pair<int, int>;  // row, col

// The engine plays `symbol` ("x" or "o"); scores and best cells are current.
Position positionFromRows(const BoardRows& rows, const char* symbol);
Position positionFromRows(const std::vector<std::string>& rows, const char* symbol);

// "x,y;x,y;..." as (row, col) cells; an empty text gives no cells.
std::vector<Cell> parseCells(const std::string& text);

// x = the stones of the side given as black, o = white.
std::vector<std::string> rowsFromStones(const std::vector<Cell>& black, const std::vector<Cell>& white);

}  // namespace brenk::bench
