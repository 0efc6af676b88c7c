// brenk-cli match: a tournament manager that plays engines against each other.
#pragma once

#include "apps/match/options.h"

namespace brenk::match {

// Returns the process exit status: 0 when no engine made a fault, 1 when one did, 2 when the
// openings file cannot be used.
int runMatch(const MatchOptions& options);

}  // namespace brenk::match
