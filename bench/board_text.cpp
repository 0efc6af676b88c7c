#include "bench/board_text.h"

#include <sstream>

#include "engine/host/files.h"
#include "engine/position/scoring.h"

namespace brenk::bench {

Position positionFromRows(const std::vector<std::string>& rows, const char* symbol) {
  std::string board;
  for (const std::string& row : rows) {
    board += row;
    board += '\n';
  }
  Position pos;
  char ch = '-';
  std::istringstream boardIn(board), symbolIn(symbol);
  readBoard(boardIn, pos, ch);
  readSymbol(symbolIn, pos, ch);
  rescoreAll(pos);
  findBestCells(pos);
  return pos;
}

Position positionFromRows(const BoardRows& rows, const char* symbol) {
  return positionFromRows(std::vector<std::string>(rows.begin(), rows.end()), symbol);
}

std::vector<Cell> parseCells(const std::string& text) {
  std::vector<Cell> cells;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ';')) {
    const size_t comma = item.find(',');
    if (comma == std::string::npos) continue;
    const int x = std::stoi(item.substr(0, comma));
    const int y = std::stoi(item.substr(comma + 1));
    cells.emplace_back(y, x);
  }
  return cells;
}

std::vector<std::string> rowsFromStones(const std::vector<Cell>& black, const std::vector<Cell>& white) {
  std::vector<std::string> rows(SOB, std::string(SOB, '-'));
  for (auto [row, col] : black) rows[row][col] = 'x';
  for (auto [row, col] : white) rows[row][col] = 'o';
  return rows;
}

}  // namespace brenk::bench
