// One turn of pbrain-brenk: brenk's decision on the kept board, within the manager's limits.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "apps/pbrain/board.h"
#include "engine/host/clock.h"
#include "engine/host/game_time.h"
#include "engine/search/search.h"

namespace brenk::pbrain {

struct TurnMove {
  bool found = false;  // false only on a full board
  int row = 0;
  int col = 0;
  std::vector<std::string> notes;  // diagnostics for DEBUG lines, never bare output
  std::string message;             // for the MESSAGE line; empty only when no move was found
};

struct TurnOptions {
  SearchLimits limits;
  bool threats = false;  // the engine's threat-space mode
  std::optional<GameTime> gameTime;  // the manager's clock, by which the threat-space mode plans
};

// Decides the engine's move on `board` (the engine to move) exactly as brenk would, with the
// given limits (and mode). Never throws: a failed decision still yields an empty cell when there
// is one.
TurnMove playTurn(const GameBoard& board, const TurnOptions& turn);

}  // namespace brenk::pbrain
