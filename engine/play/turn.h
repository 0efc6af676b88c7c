// The threat-space mode's whole turn, handed over by the driver in one place: the centre on an
// empty board, an own win by fours (then by fours and threes) from the forcing-move solver, and
// otherwise the alpha-beta search over the pattern board.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/host/driver.h"
#include "engine/host/move_sink.h"
#include "engine/play/board.h"
#include "engine/position/position.h"

namespace brenk::play {

// With a fixed iteration count, each iteration stands for this many alpha-beta nodes, so that
// the front ends' iteration limits give the mode a deterministic effort of a similar size.
inline constexpr uint64_t kNodesPerIteration = 100;

// The stones of `pos` on a board of the engine's size, `pos.toMove` to move.
Board boardOf(const Position& pos);

// Decides the move in the threat-space mode and reports how.
DriverReport decideInThreatMode(Position& pos, MoveSink& sink, const DriverOptions& options);

}  // namespace brenk::play
