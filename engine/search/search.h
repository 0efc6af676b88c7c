// The state of one proof-number search: its limits, its tree store, the positions of the path it
// works on, where its move goes, and the figures it reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

#include "engine/host/clock.h"
#include "engine/host/move_sink.h"
#include "engine/position/position.h"
#include "engine/search/node.h"
#include "engine/search/path.h"

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
  PathPositions path;
  Position scratch;              // a new child's position while it is judged
  std::vector<BoardCell> blocks;  // forced blocks played by the evaluation at hand
  MoveSink& sink;
  SearchLimits limits;
  std::ostream& diagnostics;  // the one diagnostic line of the search goes here
  SearchStats stats;
};

// Builds the root of a new tree standing on `pos` and puts it at the start of the path.
NodeId startTree(Search& search, const Position& pos);

// The finished tree, as the front ends may inspect it before it is freed.
struct SearchTree {
  const NodeStore& store;
  const Position& rootBase;  // the position the root stands on, before its own moves
  NodeId root;
  NodeId lastSelected;  // the root itself when no iteration ran
};

}  // namespace brenk
