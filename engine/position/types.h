// Vocabulary shared by every layer of the engine: board size, stone values, fixed weights.
#pragma once

#include <cstdint>

namespace brenk {

// Board size (the banner prints it as SOB).
inline constexpr int SOB = 20;

// Stone values: 0 is the player of "o", 1 the player of "x"; 0 and 1 also index the score tables.
inline constexpr int32_t kStoneO = 0;
inline constexpr int32_t kStoneX = 1;
inline constexpr int32_t kEmpty = 2;

// Weight of the mover's own score in the mix score MC * own + opponent.
inline constexpr uint32_t MC = 5;

// Share of the best mix score a cell must reach to be tried by the general candidate rule.
inline constexpr double COV = 0.5;

// Version number of the threat-score table, shown by the banner.
inline constexpr int kScoringVersion = 200;

inline constexpr bool onBoard(int row, int col) {
  return row >= 0 && row < SOB && col >= 0 && col < SOB;
}

}  // namespace brenk
