// Board files as a manager writes them: all 400 cells empty, then stones set by (row, col).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace brenk::testsupport {

struct BoardText {
  std::string cells = std::string(400, '-');  // row by row, no line ends

  BoardText& set(int row, int col, char c) {
    cells[static_cast<size_t>(row * 20 + col)] = c;
    return *this;
  }
  BoardText& setRow(int row, int fromCol, int toCol, char c) {
    for (int col = fromCol; col <= toCol; ++col) set(row, col, c);
    return *this;
  }
  BoardText& place(const std::vector<std::pair<int, int>>& rowCols, char c) {
    for (const auto& [row, col] : rowCols) set(row, col, c);
    return *this;
  }
  // Twenty lines of twenty characters, each ended by LF.
  std::string inRows() const {
    std::string text;
    for (int r = 0; r < 20; ++r) text += cells.substr(static_cast<size_t>(r * 20), 20) + "\n";
    return text;
  }
};

}  // namespace brenk::testsupport
