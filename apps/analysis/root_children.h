// The root's children as the finished search left them: the cell each one plays and what the
// search knows of it, so a person can see what it thought of every candidate.
#pragma once

#include <cstdint>
#include <vector>

#include "apps/analysis/game_dir.h"
#include "engine/position/verdict.h"
#include "engine/search/search.h"

namespace brenk::cli {

struct RootChild {
  Cell cell;  // the child's own move, row first
  infFloat proof;
  infFloat disproof;
  int32_t value = kOpen;  // from the searcher's side: 1 won, 0 lost, 2 open
};

// In the order of the root's child list, which is the order the search tries them in.
std::vector<RootChild> rootChildren(const SearchTree& tree);

}  // namespace brenk::cli
