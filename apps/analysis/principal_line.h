// The principal line: the most-proving path from the root, followed the way SelectMostProoving
// descends, but stopping quietly where that would throw.
#pragma once

#include <vector>

#include "engine/search/search.h"

namespace brenk::cli {

struct LineStone {
  int row = 0;
  int col = 0;
  int stone = 0;
};

// One step is the move into a child plus any forced blocks folded into it, so it can hold several
// stones: they alternate sides starting with the side that chose the move, each side's stones in
// row-major order (a stable order that does not depend on how the tree records them).
struct LineStep {
  std::vector<LineStone> stones;
};

std::vector<LineStep> principalLine(const SearchTree& tree);

}  // namespace brenk::cli
