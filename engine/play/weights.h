// Every weight of the alpha-beta mode's evaluation and move ordering, in one place so that they
// can be tuned. A cell's value for a side is the sum of its four line classes' weights, of the
// weights of the six pairs of classes among its lines, and of the bonus of the shape they make
// together. "Own" weights count the side to move, "their" weights
// the side that has just moved: the side to move plays first, so its threats are worth more.
#pragma once

#include <cstdint>

#include "engine/play/line_patterns.h"
#include "engine/play/shape.h"

namespace brenk::play {

// Unordered pairs of line classes (a <= b), row by row: (dead, dead), (dead, B1), ... (dead, F5),
// (B1, B1), ... (F5, F5).
inline constexpr int kClassPairs = kLineClasses * (kLineClasses + 1) / 2;
inline constexpr int classPair(int a, int b) {
  return a <= b ? a * kLineClasses - a * (a - 1) / 2 + (b - a) : classPair(b, a);
}

struct RoleWeights {
  int16_t lineClass[kLineClasses];  // dead, B1, F1, B2, F2, B3, F3, B4, F4, F5
  int16_t shape[kShapes];           // five, flex-four, four-three, four-plus, four, double-three,
                                    // three-plus, three, block-three-plus, double-two, block-three,
                                    // two, none
  int16_t pair[kClassPairs];        // by classPair; none given: all 0
};

// Evaluation, summed over the empty cells that a stone can still reach.
// Fitted by tools/tune/tune.py to 96704 positions of scripts/training-data.sh labelled by
//   scripts/teacher-data.sh (see docs/decisions.md), by scripts/tune-eval.sh
inline constexpr RoleWeights kOwnValue = {
    {0, -9, 0, 0, 33, 30, 11, 75, 120, 300},
    {0, 0, 59, 4, 12, -13, 5, -3, -13, 4, -7, 1, 0},
    {
     0, 0, -1, -1, -12, -9, 7, -23, 0, 0,
     2, 2, -1, -5, -4, 8, -37, 0, 0,
     -2, 0, -14, -2, 10, 8, 0, 0,
     -3, -6, -4, 8, 11, 0, 0,
     -18, 9, 30, 136, 0, 0,
     4, 41, 34, 0, 0,
     -82, 97, 0, 0,
     0, 0, 0,
     0, 0,
     0,
    },
};
inline constexpr RoleWeights kTheirValue = {
    {0, -18, -8, 5, 30, 54, 42, 100, 13, 219},
    {0, 257, 270, -27, -48, 178, 47, 42, 34, 25, 24, 17, 0},
    {
     0, 4, 2, -3, -16, -28, -23, -1, -1, 437,
     10, 8, 2, -9, -20, -26, -9, -24, 219,
     3, 0, -16, -21, -17, 19, -5, 0,
     -8, -13, -25, -18, 33, 63, 0,
     -22, -20, -6, 75, 145, 0,
     -16, 9, 92, 230, 0,
     -81, 142, 229, 0,
     -48, 48, 0,
     -323, 0,
     0,
    },
};

// Corrections for whole combinations of a cell's four line classes (in ascending order, in any
// order on the board), added to the cell's value for the side to move (own) and for the side
// that has just moved (their): the weights above add up a cell's classes and their pairs, and no
// such sum tells every combination apart.
struct ClassCombination {
  LineClass classes[4];
  int16_t own;
  int16_t their;
};
inline constexpr ClassCombination kCombinations[] = {
    {{kDead, kDead, kDead, kDead}, 0, 0},
};

// Move ordering: what a move does for the mover (attack) plus what it takes from the other side
// (defence, the other side's value of the same cell).
inline constexpr RoleWeights kAttackOrder = {
    {0, 1, 2, 3, 6, 6, 14, 16, 60, 1000},
    {10000, 3000, 1500, 300, 0, 600, 100, 0, 30, 30, 0, 0, 0},
    {},
};
inline constexpr RoleWeights kDefenceOrder = {
    {0, 1, 1, 2, 5, 5, 12, 12, 50, 800},
    {8000, 2000, 1000, 200, 0, 400, 80, 0, 20, 20, 0, 0, 0},
    {},
};

// The evaluation stays well inside the scores that mean a forced win.
inline constexpr int kEvalLimit = 10000;

}  // namespace brenk::play
