// A game's clock as a tournament manager states it, for the front ends to hand to the engine:
// the turn's limit and, when the game has one, the time the engine has left in it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

namespace brenk {

struct GameTime {
  int64_t turnMs = 0;               // the longest one move may take, before any safety margin
  std::optional<int64_t> leftMs;    // the game's time still left to the engine; none: unlimited
};

// What answering takes beyond the search: after it stops, the move is chosen, memory goes back
// to the heap and the answer is written. 50 ms plus 5 % of the time at stake covers that with room
// for a loaded machine (the slowest answers measured: 905 ms of 1,000, 4,708 of 5,000).
inline constexpr int64_t kAnswerFixedMarginMs = 50;
inline constexpr int64_t kAnswerMarginShareDivisor = 20;
inline int64_t answerMarginMs(int64_t ceilingMs) {
  return kAnswerFixedMarginMs + std::max<int64_t>(ceilingMs, 0) / kAnswerMarginShareDivisor;
}

}  // namespace brenk
