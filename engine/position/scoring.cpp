#include "engine/position/scoring.h"

#include <algorithm>

#include "engine/position/patterns.h"

namespace brenk {

void scoreCell(Position& pos, int8_t row, int8_t col, int32_t own, int32_t other) {
  uint32_t sum = 0;
  for (const LineDirection& dir : kLines) {
    sum += static_cast<uint32_t>(threatScoreTable[linePatternCode(pos.cells, row, col, dir, own, other)]);
  }
  pos.scores[own][row][col] += sum;
}

void rescoreCell(Position& pos, int8_t row, int8_t col) {
  if (pos.cells[row][col] == kEmpty) {
    pos.scores[0][row][col] = 1;
    pos.scores[1][row][col] = 1;
    scoreCell(pos, row, col, pos.toMove, pos.opponent);
    scoreCell(pos, row, col, pos.opponent, pos.toMove);
  } else {
    pos.scores[0][row][col] = 0;
    pos.scores[1][row][col] = 0;
  }
}

void rescoreAll(Position& pos) {
  for (int8_t row = 0; row < SOB; ++row) {
    for (int8_t col = 0; col < SOB; ++col) rescoreCell(pos, row, col);
  }
}

namespace {

void rescoreIfEmpty(Position& pos, int row, int col) {
  if (pos.cells[row][col] == kEmpty) rescoreCell(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
}

}  // namespace

void rescoreAround(Position& pos, int8_t row, int8_t col) {
  for (int r = std::max(0, row - 4); r <= std::min(SOB - 1, row + 4); ++r) rescoreIfEmpty(pos, r, col);
  for (int c = std::max(0, col - 4); c <= std::min(SOB - 1, col + 4); ++c) rescoreIfEmpty(pos, row, c);
  const int back = std::min({4, static_cast<int>(row), static_cast<int>(col)});
  const int ahead = std::min({4, SOB - 1 - row, SOB - 1 - col});
  for (int d = -back; d <= ahead; ++d) rescoreIfEmpty(pos, row + d, col + d);
  for (int d = -4; d <= 4; ++d) {
    if (onBoard(row - d, col + d)) rescoreIfEmpty(pos, row - d, col + d);
  }
}

void findBestCells(Position& pos) {
  pos.bestOwnScore = 0;
  pos.bestOppScore = 0;
  pos.bestMixScore = 0;
  for (int8_t row = pos.minRow; row <= pos.maxRow; ++row) {
    for (int8_t col = pos.minCol; col <= pos.maxCol; ++col) {
      if (pos.cells[row][col] != kEmpty) continue;
      const uint32_t own = pos.scores[pos.toMove][row][col];
      const uint32_t opp = pos.scores[pos.opponent][row][col];
      const uint32_t mix = MC * own + opp;
      if (own >= pos.bestOwnScore) {
        pos.bestOwnScore = own;
        pos.bestOwnRow = row;
        pos.bestOwnCol = col;
      }
      if (opp >= pos.bestOppScore) {
        pos.bestOppScore = opp;
        pos.bestOppRow = row;
        pos.bestOppCol = col;
      }
      if (mix >= pos.bestMixScore) {
        pos.bestMixScore = mix;
        pos.bestMixRow = row;
        pos.bestMixCol = col;
      }
    }
  }
}

}  // namespace brenk
