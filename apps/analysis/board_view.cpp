#include "apps/analysis/board_view.h"

#include "engine/host/platform.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace brenk::cli {

namespace {

constexpr const char* kReset = "\x1b[0m";
constexpr const char* kColourX = "\x1b[1;31m";
constexpr const char* kColourO = "\x1b[1;34m";
constexpr const char* kColourEmpty = "\x1b[2m";
constexpr const char* kColourMark = "\x1b[1;32m";

bool isMarked(const BoardStyle& style, int row, int col) {
  for (const Cell& mark : style.marks) {
    if (mark.row == row && mark.col == col) return true;
  }
  return false;
}

std::string paint(const BoardStyle& style, const char* colour, const std::string& text) {
  return style.colour ? colour + text + kReset : text;
}

// Each label sits over its cell's symbol; two-digit labels lean one place left.
void drawColumnNumbers(std::ostream& out) {
  std::string line = "   ";
  for (int col = 0; col < SOB; ++col) {
    char label[8];
    std::snprintf(label, sizeof label, col < 10 ? " %d " : "%d ", col);
    line += label;
  }
  while (line.back() == ' ') line.pop_back();
  out << line << '\n';
}

std::string cellText(const Position& pos, const BoardStyle& style, int row, int col) {
  const int stone = pos.cells[row][col];
  const bool marked = isMarked(style, row, col);
  const char symbol = stone == kEmpty ? (marked ? '*' : '.') : stoneChar(stone);
  const char* colour = stone == kStoneX ? kColourX : stone == kStoneO ? kColourO : marked ? kColourMark : kColourEmpty;
  const std::string body = paint(style, colour, std::string(1, symbol));
  if (!marked) return " " + body + " ";
  return paint(style, kColourMark, "[") + body + paint(style, kColourMark, "]");
}

}  // namespace

char stoneChar(int stone) { return stone == kStoneX ? 'x' : stone == kStoneO ? 'o' : '-'; }

bool stdoutIsTerminal() { return platform::stdoutShowsColour(); }

void drawBoard(std::ostream& out, const Position& pos, const BoardStyle& style) {
  drawColumnNumbers(out);
  for (int row = 0; row < SOB; ++row) {
    char label[8];
    std::snprintf(label, sizeof label, "%2d ", row);
    out << label;
    for (int col = 0; col < SOB; ++col) out << cellText(pos, style, row, col);
    out << ' ' << row << '\n';
  }
  drawColumnNumbers(out);
}

}  // namespace brenk::cli
