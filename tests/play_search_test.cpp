// The alpha-beta search against a plain minimax over the same moves, and forced wins found at
// the depth they need.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/play/search.h"
#include "engine/threats/vcf.h"

namespace brenk::play {
namespace {

// The value of `board` by trying every generated move to `depth`, with the search's own
// quiescence at the leaves: what alpha-beta must return when nothing is pruned by guesswork.
int minimax(Board& board, AlphaBeta& leaves, int depth, int ply) {
  const int me = board.sideToMove(), them = 1 - me;
  if (board.shapeCount(me, kFive) > 0) return mateAt(ply + 1);
  if (board.shapeCount(them, kFive) >= 2) return -mateAt(ply + 2);
  if (board.shapeCount(them, kFive) == 0) {
    if (board.shapeCount(me, kFlexFour) > 0) return mateAt(ply + 3);
    if (board.shapeCountAtLeast(them, kFour) == 0 &&
        board.shapeCount(me, kFourThree) + board.shapeCount(me, kDoubleThree) > 0) {
      return mateAt(ply + 5);
    }
  }
  if (board.isFull()) return 0;
  if (depth == 0) return leaves.quiescence(-kInfinity, kInfinity, ply);
  std::vector<ScoredMove> moves;
  const MoveSet set = generateMoves(board, moves);
  if (moves.empty()) {
    if (set == MoveSet::StopFour) return -mateAt(ply + 4);
    board.forEachEmpty([&](Cell cell) { moves.push_back(ScoredMove{cell, 0}); });
  }
  int best = -kInfinity;
  for (const ScoredMove& move : moves) {
    board.play(move.cell);
    best = std::max(best, -minimax(board, leaves, depth - 1, ply + 1));
    board.undo();
  }
  return best;
}

Board randomSmallBoard(std::mt19937& random, int stones) {
  Board board(9);
  board.play(Board::cellAt(4, 4));
  for (int i = 1; i < stones; ++i) {
    std::vector<Cell> cells;
    board.forEachCandidate([&](Cell c) { cells.push_back(c); });
    board.play(cells[random() % cells.size()]);
  }
  return board;
}

TEST(AlphaBeta, ValueEqualsPlainMinimaxWithAndWithoutTheTable) {
  std::mt19937 random(5);
  for (int game = 0; game < 12; ++game) {
    Board board = randomSmallBoard(random, 6 + game);
    const int depth = game < 4 ? 3 : 2;
    PlayLimits limits;
    limits.selective = false;
    limits.extensions = false;
    limits.time = fixedTurn(INT32_MAX);
    AlphaBeta leaves(board, limits);
    const int expected = minimax(board, leaves, depth, 0);
    for (bool table : {false, true}) {
      limits.useTable = table;
      AlphaBeta search(board, limits);
      EXPECT_EQ(search.valueAt(depth), expected) << "game " << game << (table ? " with" : " without") << " the table";
      ASSERT_TRUE(board.matchesRecount());
    }
  }
}

// Stones given as "x,y" strings, x moving first, then the side to move.
Board boardWith(const std::vector<std::string>& xs, const std::vector<std::string>& os, int toMove) {
  Board board(20);
  auto put = [&board](const std::string& at, int colour) {
    board.setSideToMove(colour);
    board.play(Board::cellAt(std::stoi(at), std::stoi(at.substr(at.find(',') + 1))));
  };
  for (const std::string& at : xs) put(at, 1);
  for (const std::string& at : os) put(at, 0);
  board.setSideToMove(toMove);
  return board;
}

PlayResult searchTo(Board& board, int depth) {
  PlayLimits limits;
  limits.maxDepth = depth;
  limits.byClock = false;
  limits.time = fixedTurn(INT32_MAX);
  AlphaBeta search(board, limits);
  return search.run();
}

TEST(AlphaBeta, FindsWinsAtTheirLengthAndNoSooner) {
  // x: two stones on row 10 (8,10 9,10) and two on column 12 (12,7 12,8): no cell makes two
  // open threes, so no win is forced within three plies and the fours that follow.
  Board apart = boardWith({"8,10", "9,10", "12,7", "12,8"}, {"2,2", "3,17", "17,3", "16,16"}, 1);
  EXPECT_FALSE(isWin(searchTo(apart, 3).score));
  // Rows meet: x on 8,10 9,10 and 10,8 10,9; 10,10 makes two open threes, o has no four, so x
  // wins with its five on the fifth ply (x, o, x open four, o, x five).
  Board cross = boardWith({"8,10", "9,10", "10,8", "10,9"}, {"2,2", "3,17", "17,3", "16,16"}, 1);
  const PlayResult win = searchTo(cross, 2);
  EXPECT_EQ(win.score, mateAt(5));
  EXPECT_EQ(Board::xOf(win.move), 10);
  EXPECT_EQ(Board::yOf(win.move), 10);
  // The same cross, but o has three in a row closed by x on one side: o can answer with a four,
  // so the double three is no longer an outright win; it still wins, only later.
  Board answered = boardWith({"8,10", "9,10", "10,8", "10,9", "1,15"}, {"2,15", "3,15", "4,15", "3,17", "17,3"}, 1);
  const PlayResult delayed = searchTo(answered, 5);
  EXPECT_TRUE(isWin(delayed.score));
  EXPECT_GE(pliesToFive(delayed.score), 5);
}

// The board's stones as the forcing-move solver reads them.
Position positionOf(const Board& board) {
  Position pos;
  for (int y = 0; y < SOB; ++y) {
    for (int x = 0; x < SOB; ++x) {
      const int stone = board.stone(Board::cellAt(x, y));
      pos.cells[y][x] = stone == kEmptyCell ? kEmpty : stone;
    }
  }
  return pos;
}

TEST(AlphaBeta, ShapeWinsAgreeWithTheForcingMoveSolver) {
  // Whenever the shapes alone call a position won (an open-four cell, or a four-three or double
  // three against a side with no four), the solver must find the win by fours and threes.
  std::mt19937 random(13);
  int claimed = 0;
  for (int game = 0; game < 300 && claimed < 60; ++game) {
    Board board(20);
    board.play(Board::cellAt(9, 9));
    for (int move = 0; move < 40; ++move) {
      const int me = board.sideToMove(), them = 1 - me;
      if (board.shapeCount(me, kFive) > 0 || board.shapeCount(them, kFive) > 0) break;
      const bool flexFour = board.shapeCount(me, kFlexFour) > 0;
      const bool fourThree = board.shapeCountAtLeast(them, kFour) == 0 &&
                             board.shapeCount(me, kFourThree) + board.shapeCount(me, kDoubleThree) > 0;
      if (flexFour || fourThree) {
        ++claimed;
        VcfBoard solverBoard(positionOf(board));
        VcfTable table(size_t{1} << 20);
        VcfLimits limits;
        limits.deadlineMs = INT32_MAX;
        limits.threes = true;
        limits.maxDepth = 4;
        EXPECT_EQ(findVcf(solverBoard, me, table, limits).outcome, VcfOutcome::Win) << "game " << game << " move " << move;
        break;
      }
      std::vector<Cell> cells;
      board.forEachCandidate([&](Cell c) { cells.push_back(c); });
      board.play(cells[random() % cells.size()]);
    }
  }
  EXPECT_GE(claimed, 30);
}

std::vector<std::string> split(const std::string& text, char by) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, by);) parts.push_back(part);
  return parts;
}

TEST(AlphaBeta, SampleOfShortSolvedPositionsWonAtDepthSix) {
  std::ifstream file(BRENK_SOURCE_DIR "/../shared/positions/vcf20.tsv");
  if (!file) GTEST_SKIP() << "the solved positions are not there";
  int checked = 0, won = 0;
  for (std::string line; std::getline(file, line) && checked < 40;) {
    const std::vector<std::string> f = split(line, '\t');
    if (f.size() < 6 || f[0] == "id" || std::stoi(f[5]) > 9) continue;
    ++checked;
    Board board = boardWith(split(f[2], ';'), split(f[3], ';'), f[1] == "B" ? 1 : 0);
    const PlayResult result = searchTo(board, 6);
    // A first move off the list may still win by threes, so only the win itself is counted.
    if (isWin(result.score)) ++won;
  }
  EXPECT_EQ(checked, 40);
  EXPECT_GE(won, 36) << "of 40 wins of at most nine plies found at depth 6";
}

}  // namespace
}  // namespace brenk::play
