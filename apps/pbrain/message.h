// The MESSAGE line of a move, for the person watching in a manager: what decided it and, for a
// searched move, the root's state, its proof numbers, the effort and the principal line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apps/analysis/principal_line.h"
#include "engine/host/driver.h"

namespace brenk::pbrain {

// Stones of the principal line shown; a longer line ends in "...".
inline constexpr size_t kLineStonesShown = 10;

struct MoveFacts {
  DriverReport report;
  std::vector<cli::LineStep> line;  // empty unless the search ran
  int32_t turnMs = 0;               // from the turn's command to the decision
  int x = 0;                        // the move played
  int y = 0;
  bool fallback = false;  // no legal move was decided, so an empty cell stands in
};

// The text after "MESSAGE ", one line.
std::string moveMessage(const MoveFacts& facts);

}  // namespace brenk::pbrain
