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
// Fitted by tools/tune/tune.py to 453556 positions of scripts/training-data.sh (see
//   docs/decisions.md), by scripts/tune-eval.sh
inline constexpr RoleWeights kOwnValue = {
    {0, -12, -5, 2, 38, 35, 5, 76, 120, 300},
    {0, 0, 115, -32, -7, 6, -53, 8, -31, -57, 3, -23, 0},
    {
     0, 2, 0, -4, -2, -13, 4, -12, 0, 0,
     15, 2, -3, 0, -9, -5, -40, 0, 0,
     -3, -2, -8, -7, 3, 3, 0, 0,
     -8, -2, -7, 10, 21, 0, 0,
     -10, -10, 41, 126, 0, 0,
     5, 75, 66, 0, 0,
     -89, 65, 0, 0,
     0, 0, 0,
     0, 0,
     0,
    },
};
inline constexpr RoleWeights kTheirValue = {
    {0, 13, -12, 3, 31, 61, 38, 90, 60, 219},
    {0, 138, 201, -45, -37, 44, 3, 43, 4, -9, 15, 4, 0},
    {
     0, -8, -1, -2, -11, -25, -24, 0, -32, 437,
     -15, -4, -10, -11, -26, -40, -14, -45, 219,
     3, 2, -10, -15, -14, 19, -27, 0,
     -3, -7, -18, -11, 36, 30, 0,
     -14, -21, 6, 85, 93, 0,
     -15, 36, 110, 176, 0,
     -34, 54, 172, 0,
     33, -82, 0,
     -53, 0,
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
