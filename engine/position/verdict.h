// The position verdict evaluator: recognises won and lost positions without search, plays forced
// blocks, and seeds an open position's proof numbers and moving category.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/position/inffloat.h"
#include "engine/position/position.h"

namespace brenk {

// Verdicts, always from the searcher's side (the side the engine plays).
inline constexpr int32_t kLost = 0;
inline constexpr int32_t kWon = 1;
inline constexpr int32_t kOpen = 2;

// Best-cell score thresholds (a cell scores 1 plus its four line scores).
inline constexpr uint32_t kFiveThreshold = 2333772;
inline constexpr uint32_t kOpenFourThreshold = 111132;
inline constexpr uint32_t kFourThreeThreshold = 11087;
inline constexpr uint32_t kDoubleThreeThreshold = 10584;
inline constexpr uint32_t kOpenThreeThreshold = 5292;

struct CellClasses {
  int8_t best;    // smallest line class through the cell
  int8_t second;  // second smallest (equal to best when two lines share it)
};

// Line classes of a cell for `own` playing it against `other`; never reads the cell itself.
CellClasses cellClasses(const int32_t (&cells)[SOB][SOB], int8_t row, int8_t col, int32_t own, int32_t other);

// Judges the position. The mover's number (proof when the searcher moves, disproof otherwise) is
// written before the defender's, so one scratch record may serve for both. Plays forced blocks
// on `pos` when the opponent threatens five, and appends their cells to `blocks` when given one;
// always writes movingCategory.
int32_t evaluatePosition(Position& pos, infFloat& proof, infFloat& disproof, std::vector<BoardCell>* blocks = nullptr);

}  // namespace brenk
