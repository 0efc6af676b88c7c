// The state of one proof-number search: its limits, its tree store, where its move goes, and
// the figures it reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>

#include "engine/host/clock.h"
#include "engine/host/move_sink.h"
#include "engine/search/node.h"

namespace brenk {

// Tree memory the search may hold unless a front end sets another: with the rest of the process
// it stays below the 350 MiB that Gomocup's manager allows.
inline constexpr size_t kDefaultTreeBudget = size_t{300} << 20;
inline constexpr int64_t kNoIterationCap = -1;

struct SearchLimits {
  int32_t timeAllowanceMs = 3500;         // compared, signed, with clock->Elapsed()
  const Clock* clock = &programClock;     // started when the move's time began to run
  int64_t maxIterations = kNoIterationCap;  // a fixed count makes the result machine-independent
  size_t memoryBudget = kDefaultTreeBudget;
};

struct SearchStats {
  int64_t iterations = 0;
  bool stoppedByMemory = false;
};

struct Search {
  Search(MoveSink& moveSink, const SearchLimits& searchLimits, std::ostream& diagnosticOutput)
      : sink(moveSink), limits(searchLimits), diagnostics(diagnosticOutput) {}

  NodeStore store;
  MoveSink& sink;
  SearchLimits limits;
  std::ostream& diagnostics;  // the one diagnostic line of the search goes here
  SearchStats stats;
};

}  // namespace brenk
