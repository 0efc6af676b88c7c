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
    {0, -6, -3, 5, 37, 37, 21, 95, 120, 300},
    {0, 0, 212, -64, -53, 39, -76, -50, -12, -42, 18, -15, 0},
    {
     0, -1, -2, -4, -6, -18, 20, -8, 0, 0,
     6, 0, -4, -3, -15, 12, -20, 0, 0,
     -3, -2, -10, -12, 15, 8, 0, 0,
     -7, -5, -12, 24, 32, 0, 0,
     -11, -11, 40, 126, 0, 0,
     5, 75, 95, 0, 0,
     -89, 53, 0, 0,
     0, 0, 0,
     0, 0,
     0,
    },
};
inline constexpr RoleWeights kTheirValue = {
    {0, -19, -10, 5, 26, 46, 12, 70, 49, 200},
    {0, 88, 237, -7, -22, 134, 71, 95, 21, 10, 25, 14, 0},
    {
     0, 5, 0, -4, -12, -24, -32, 3, -10, 0,
     11, 7, -1, -4, -17, -40, -11, -21, 0,
     2, 0, -13, -17, -25, 17, -3, 0,
     -6, -10, -20, -23, 31, 55, 0,
     -16, -19, -7, 66, 110, 0,
     -14, 20, 76, 165, 0,
     -22, 96, 91, 0,
     10, -88, 0,
     -76, 0,
     0,
    },
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
