// The root's guard against the opponent's win by fours: when the opponent has one, only the
// moves after which it has none are searched. The search's own leaves see fours of the side to
// move only, so a win by fours of the side that has just moved would otherwise go unseen there.
#pragma once

#include <vector>

#include "engine/play/board.h"
#include "engine/position/position.h"
#include "engine/threats/vcf.h"

namespace brenk::play {

// Among `moves`, those after which the opponent of the side to move of `pos` has no VCF (a
// plain four of the mover is first answered by its forced block). Empty when the opponent has
// no VCF to begin with, or when no move stops it. Each search keeps to `limits`; all of them
// together stop after `totalNodes` attacker moves, which are added to `nodesUsed`.
std::vector<Cell> movesThatStopTheirVcf(const Position& pos, const std::vector<Cell>& moves, VcfTable& table,
                                        const VcfLimits& limits, uint64_t totalNodes, uint64_t& nodesUsed);

}  // namespace brenk::play
