// A game's clock as a tournament manager states it, for the front ends to hand to the engine:
// the turn's limit and, when the game has one, the time the engine has left in it.
#pragma once

#include <cstdint>
#include <optional>

namespace brenk {

struct GameTime {
  int64_t turnMs = 0;               // the longest one move may take, before any safety margin
  std::optional<int64_t> leftMs;    // the game's time still left to the engine; none: unlimited
};

}  // namespace brenk
