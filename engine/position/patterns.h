// Line-pattern codes and the two tables indexed by them: the threat score table (how much a stone
// on a cell does for one line) and the threat class table (how many stones the line still lacks).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/position/types.h"

namespace brenk {

// The four lines through a cell, in scoring order; the far side of a line steps by (dRow, dCol),
// the near side by the opposite step.
struct LineDirection {
  int dRow;
  int dCol;
};
inline constexpr std::array<LineDirection, 4> kLines = {{
    {1, 0},   // vertical
    {0, 1},   // horizontal
    {1, -1},  // anti-diagonal (row + col constant)
    {1, 1},   // main diagonal (row - col constant)
}};

// Code of the window through (row, col) along one line for `own` against `other`: a leading 1,
// then one bit per window cell from the farthest near-side cell to the farthest far-side cell.
// The window stops at the board edge, after 4 cells, or before a stone of `other`; the cell
// itself counts as an own stone.
inline uint32_t linePatternCode(const int32_t (&cells)[SOB][SOB], int row, int col, LineDirection dir,
                                int32_t own, int32_t other) {
  uint32_t code = 1;
  uint32_t weight = 2;
  for (int d = 1; d <= 4; ++d) {
    const int r = row - d * dir.dRow;
    const int c = col - d * dir.dCol;
    if (!onBoard(r, c)) break;
    const int32_t v = cells[r][c];
    if (v == own) {
      code += weight;
    } else if (v == other) {
      break;
    }
    weight *= 2;
  }
  code += weight;
  for (int d = 1; d <= 4; ++d) {
    const int r = row + d * dir.dRow;
    const int c = col + d * dir.dCol;
    if (!onBoard(r, c)) break;
    const int32_t v = cells[r][c];
    if (v == own) {
      code = 2 * code + 1;
    } else if (v == other) {
      break;
    } else {
      code = 2 * code;
    }
  }
  return code;
}

// The same codes by lookup, for lines read into bit masks. Take a nine-bit slice of the line
// around a cell (bit 4 the cell; bits 0..3 its far side, nearest first at bit 3, and bits 5..8 its
// near side, nearest first at bit 5) once for the own stones and once for the cells that end a
// window, the other player's stones and cells off the board alike. Each of the eight neighbours
// is then one base-3 digit, 0 empty, 1 own, 2 blocked (bits 0..3 are digits 0..3, bits 5..8 are
// digits 4..7), and the digits index the table of codes.
// sliceDigits[slice]: the digits of a slice's set bits as a base-3 number (bit 4 ignored).
extern const std::array<uint16_t, 512> sliceDigits;
// neighbourCodeTable[index]: the code of the window with these neighbours.
extern const std::array<uint16_t, 6561> neighbourCodeTable;

inline uint32_t neighbourIndex(uint32_t ownSlice, uint32_t blockedSlice) {
  return sliceDigits[ownSlice] + 2u * sliceDigits[blockedSlice];
}

// Window text of a code ("x" own stone, "." empty), in line order; empty for codes 0 and 1.
std::string windowOf(uint32_t code);
// Code of a window text; the inverse of windowOf.
uint32_t codeOf(const std::string& window);
// True when the code describes a window some cell can have: an own stone with at most four
// cells on either side of it.
bool codeCanArise(uint32_t code);

// The slow, readable rules the tables are derived from.
int32_t threatScoreOfWindow(const std::string& window);
uint8_t threatClassOfWindow(const std::string& window);

// Line scores at the table's distinct values.
inline constexpr int32_t kFiveScore = 2333772;
inline constexpr int32_t kOpenFourScore = 111132;
inline constexpr int32_t kFourThreeLineScore = 5796;
inline constexpr int32_t kFourScore = 5795;
inline constexpr int32_t kWideOpenThreeScore = 5294;
inline constexpr int32_t kOpenThreeScore = 5292;

extern const std::array<int32_t, 1024> threatScoreTable;
extern const std::array<uint8_t, 1024> threatClassTable;

}  // namespace brenk
