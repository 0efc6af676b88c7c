// How long the threat-space mode thinks about one move under a tournament clock. A base time
// shares the game's time left over the moves a game is still expected to last; between the
// search's iterations it grows when the best move changes or the score falls, and shrinks when
// the best move has stood for several iterations. It never passes the turn's limit nor a safe
// share of the time left, each less the margin that answering takes on a loaded machine.
// Without a game limit every turn may use its whole limit, and the trend changes nothing.
#pragma once

#include <cstdint>

#include "engine/host/game_time.h"

namespace brenk::play {

struct TurnTime {
  int32_t targetMs = 0;   // when to stop deepening: no iteration starts that would end past it
  int32_t limitMs = 0;    // the search stops here whatever it is doing
  bool flexible = false;  // a game limit applies, so time saved now is time for later moves
};

// What the deepening has seen so far, after its latest iteration.
struct SearchTrend {
  bool bestChanged = false;  // the latest iteration chose a different move from the one before
  int stableIterations = 0;  // iterations in a row (counting the latest) that kept the best move
  int scoreDrop = 0;         // how far the latest iteration's score fell below the one before
};

// The turn's plan from the manager's clock and the stones already on the board.
TurnTime planTurn(const GameTime& time, int stonesOnBoard);

// A plan with no game limit: the whole allowance, decided by the front end.
TurnTime fixedTurn(int32_t allowanceMs);

// The target after an iteration, by the trend.
int32_t adjustedTargetMs(const TurnTime& plan, const SearchTrend& trend);

// Whether the next iteration, about `growth` times as long as the last, may start.
bool mayStartIteration(int32_t elapsedMs, int32_t lastIterationMs, double growth, int32_t targetMs);

}  // namespace brenk::play
