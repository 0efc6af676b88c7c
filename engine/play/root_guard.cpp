#include "engine/play/root_guard.h"

namespace brenk::play {

namespace {

int vcfCell(Cell cell) { return Board::yOf(cell) * SOB + Board::xOf(cell); }

// Whether the opponent keeps a VCF once the mover has played `move`.
bool theyKeepVcf(VcfBoard& board, int move, int mover, VcfTable& table, const VcfLimits& limits, uint64_t& nodes) {
  board.place(move, mover);
  int fives[kMaxFiveCellsThrough];
  const bool four = board.fiveCellsThrough(move, mover, fives) == 1;
  if (four) board.place(fives[0], 1 - mover);
  const VcfResult result = findVcf(board, 1 - mover, table, limits);
  nodes += result.nodes;
  const bool keeps = result.outcome != VcfOutcome::NoWin;
  if (four) board.remove(fives[0], 1 - mover);
  board.remove(move, mover);
  return keeps;
}

}  // namespace

std::vector<Cell> movesThatStopTheirVcf(const Position& pos, const std::vector<Cell>& moves, VcfTable& table,
                                        const VcfLimits& limits, uint64_t totalNodes, uint64_t& nodesUsed) {
  std::vector<Cell> stopping;
  VcfBoard board(pos);
  uint64_t nodes = 0;
  const VcfResult theirs = findVcf(board, pos.opponent, table, limits);
  nodes += theirs.nodes;
  if (theirs.outcome == VcfOutcome::Win) {
    for (Cell move : moves) {
      if (limits.clock->Elapsed() >= limits.deadlineMs || nodes >= totalNodes) break;
      if (!theyKeepVcf(board, vcfCell(move), pos.toMove, table, limits, nodes)) stopping.push_back(move);
    }
  }
  nodesUsed += nodes;
  return stopping;
}

}  // namespace brenk::play
