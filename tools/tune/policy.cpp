// brenk-policy: what the move ordering of the threat-space mode sees at each candidate of a
// position where a strong player chose a move, for the ordering's fit (tools/tune/policy.py).
//
//   brenk-policy < moves.txt > candidates.txt
//
// Reads tools/tune/dataset.py --moves lines (400 cells, the played move's x and y). Positions
// where nothing forces the mover (the search tries every candidate there, in this order) and
// the played move is a candidate get one line per candidate: the position's number, 1 for the
// played move and 0 otherwise, the ordering score the engine gives it now, then the cell's four
// line classes and shape for the mover ("attack") and the same for the other side ("defence").
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/play/board.h"
#include "engine/play/moves.h"
#include "tools/tune/load_board.h"

namespace {

using namespace brenk::play;

void printSide(const Board& board, int colour, Cell cell) {
  for (int direction = 0; direction < kDirections; ++direction) {
    std::printf(" %d", board.lineClassAt(colour, cell, direction));
  }
  std::printf(" %d", board.shape(colour, cell));
}

}  // namespace

int main(int argc, char**) {
  if (argc != 1) {
    std::fprintf(stderr, "usage: brenk-policy < moves > candidates\n");
    return 2;
  }
  std::ios::sync_with_stdio(false);
  long read = 0, written = 0, forced = 0, outside = 0, bad = 0;
  std::string line;
  std::vector<ScoredMove> moves;
  while (std::getline(std::cin, line)) {
    ++read;
    std::istringstream fields(line);
    std::string cells;
    int x = -1, y = -1;
    Board board(brenk::tune::kSize);
    if (!(fields >> cells >> x >> y) || x < 0 || y < 0 || x >= brenk::tune::kSize || y >= brenk::tune::kSize ||
        !brenk::tune::loadBoard(cells, board) || !board.isEmpty(Board::cellAt(x, y))) {
      ++bad;
      continue;
    }
    const int me = board.sideToMove();
    // An own five is taken before any search, and a forced set is not ordered by these scores.
    if (board.shapeCount(me, kFive) > 0 || generateMoves(board, moves) != MoveSet::All) {
      ++forced;
      continue;
    }
    const Cell played = Board::cellAt(x, y);
    bool found = false;
    for (const ScoredMove& move : moves) found = found || move.cell == played;
    if (!found) {
      ++outside;
      continue;
    }
    for (const ScoredMove& move : moves) {
      std::printf("%ld %d %d", written, move.cell == played ? 1 : 0, move.score);
      printSide(board, me, move.cell);
      printSide(board, 1 - me, move.cell);
      std::printf("\n");
    }
    ++written;
  }
  std::fprintf(stderr, "brenk-policy: %ld positions read, %ld written, %ld forced, %ld played off the candidates, "
               "%ld malformed\n", read, written, forced, outside, bad);
  return 0;
}
