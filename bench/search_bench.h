// Speed and memory of one timed search: how fast the tree grows, how much it holds, and how long
// freeing it takes compared with the search itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/position/position.h"

namespace brenk::bench {

// A middle game from engine self-play (10 plies, x to move) that stays open for seconds.
Position middleGamePosition();

// threats: the search runs in the threat-space mode; depth (> 0): its alpha-beta search to exactly
// that depth, whatever the allowance.
void runSearchBench(const Position& pos, int32_t allowanceMs, size_t memoryBudget, bool threats = false,
                    int depth = 0);

}  // namespace brenk::bench
