// The VCF search's own board: the stones of each side as bit masks along every line of the four
// directions, so that a five-cell window is tested with one mask and one popcount.
#pragma once

#include <array>
#include <cstdint>

#include "engine/position/position.h"

namespace brenk {

inline constexpr int kBoardCells = SOB * SOB;
inline constexpr int kLinesPerDirection = 2 * SOB - 1;  // the diagonals; rows and columns use SOB
inline constexpr int kNoVcfCell = -1;

// Up to this many distinct cells can complete five through one stone (five windows on each line).
inline constexpr int kMaxFiveCellsThrough = 20;

class VcfBoard {
 public:
  // The stones of `pos`; colour 0 and 1 as the position's stone values.
  explicit VcfBoard(const Position& pos);

  int at(int cell) const { return cells_[cell]; }
  void place(int cell, int colour);
  void remove(int cell, int colour);
  uint64_t hash() const { return hash_; }

  // Distinct empty cells that give `colour` five or more, in windows through `cell`.
  int fiveCellsThrough(int cell, int colour, int (&out)[kMaxFiveCellsThrough]) const;
  // Distinct empty cells that give `colour` five or more anywhere; stops counting at `cap`.
  int fiveCells(int colour, int* out, int cap) const;
  // Distinct empty cells where `colour` makes a four (a window of five with three own stones,
  // two empty cells and none of the other side), most windows first; returns the count.
  int fourMoves(int colour, int16_t* out) const { return windowMoves(colour, 3, out); }
  // Distinct empty cells in windows of five with two own stones and three empty cells: where a
  // three may be made.
  int threeMoves(int colour, int16_t* out) const { return windowMoves(colour, 2, out); }

 private:
  int windowMoves(int colour, int own, int16_t* out) const;

  std::array<int8_t, kBoardCells> cells_;
  uint32_t stones_[2][4][kLinesPerDirection] = {};
  uint64_t hash_ = 0;
};

}  // namespace brenk
