#include "engine/play/root_guard.h"

namespace brenk::play {

namespace {

int vcfCell(Cell cell) { return Board::yOf(cell) * SOB + Board::xOf(cell); }

// Whether the opponent keeps a VCF once the mover has played `move`.
bool theyKeepVcf(VcfBoard& board, int move, int mover, VcfTable& table, const VcfLimits& limits) {
  board.place(move, mover);
  int fives[kMaxFiveCellsThrough];
  const bool four = board.fiveCellsThrough(move, mover, fives) == 1;
  if (four) board.place(fives[0], 1 - mover);
  const bool keeps = findVcf(board, 1 - mover, table, limits).outcome != VcfOutcome::NoWin;
  if (four) board.remove(fives[0], 1 - mover);
  board.remove(move, mover);
  return keeps;
}

}  // namespace

std::vector<Cell> movesThatStopTheirVcf(const Position& pos, const std::vector<Cell>& moves, VcfTable& table,
                                        const VcfLimits& limits) {
  std::vector<Cell> stopping;
  VcfBoard board(pos);
  if (findVcf(board, pos.opponent, table, limits).outcome != VcfOutcome::Win) return stopping;
  for (Cell move : moves) {
    if (limits.clock->Elapsed() >= limits.deadlineMs) break;
    if (!theyKeepVcf(board, vcfCell(move), pos.toMove, table, limits)) stopping.push_back(move);
  }
  return stopping;
}

}  // namespace brenk::play
