// Threat scores of cells, the best-cell scan and the incremental rescoring after a move. Expected
// scores are sums of line entries worked out by hand from the window rules.
#include "engine/position/scoring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "engine/position/patterns.h"

namespace brenk {
namespace {

// An empty board as the loader leaves it: box 8..11 both ways, x to move.
Position emptyPosition(int32_t toMove = kStoneX) {
  Position pos;
  for (auto& row : pos.cells) std::fill(std::begin(row), std::end(row), kEmpty);
  pos.minRow = pos.minCol = 8;
  pos.maxRow = pos.maxCol = 11;
  pos.toMove = toMove;
  pos.opponent = 1 - toMove;
  pos.stoneCount = 0;
  return pos;
}

void place(Position& pos, int row, int col, int32_t stone) {
  pos.cells[row][col] = stone;
  ++pos.stoneCount;
}

TEST(CellScores, EmptyBoardCornerAndCentre) {
  Position pos = emptyPosition();
  rescoreAll(pos);
  for (int p : {0, 1}) {
    // (0, 0): x.... three times (2 each) and the lone cell on the anti-diagonal (0).
    EXPECT_EQ(pos.scores[p][0][0], 1u + 2 + 2 + 0 + 2);
    EXPECT_EQ(pos.scores[p][19][19], 7u);
    EXPECT_EQ(pos.scores[p][0][19], 7u);
    // Four cells from every edge: ....x.... (6) in all four lines.
    EXPECT_EQ(pos.scores[p][10][10], 25u);
    EXPECT_EQ(pos.scores[p][4][4], 25u);
    EXPECT_EQ(pos.scores[p][15][15], 25u);
    // (0, 10): column x.... (2), row ....x.... (6), both diagonals ....x (2).
    EXPECT_EQ(pos.scores[p][0][10], 1u + 2 + 6 + 2 + 2);
    // (3, 10): column ...x.... (4), row 6, diagonals ...x.... (4) each.
    EXPECT_EQ(pos.scores[p][3][10], 1u + 4 + 6 + 4 + 4);
  }
}

TEST(CellScores, OccupiedCellsScoreZeroEmptyOnesAtLeastOne) {
  Position pos = emptyPosition();
  place(pos, 10, 10, kStoneX);
  place(pos, 0, 0, kStoneO);
  // Wall a corner cell in: (19, 19) with the other side on all three neighbours.
  for (auto [r, c] : {std::pair{18, 19}, {19, 18}, {18, 18}}) place(pos, r, c, kStoneO);
  rescoreAll(pos);
  EXPECT_EQ(pos.scores[0][10][10], 0u);
  EXPECT_EQ(pos.scores[1][10][10], 0u);
  EXPECT_EQ(pos.scores[0][0][0], 0u);
  EXPECT_EQ(pos.scores[1][0][0], 0u);
  EXPECT_EQ(pos.scores[kStoneX][19][19], 1u);  // no line through it has room for five
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      if (pos.cells[r][c] == kEmpty) {
        EXPECT_GE(pos.scores[kStoneX][r][c], 1u);
        EXPECT_GE(pos.scores[kStoneO][r][c], 1u);
      }
    }
  }
}

TEST(CellScores, FourBesideTheCellScoreFiveEvenWhenBlocked) {
  Position pos = emptyPosition();
  for (int c = 11; c <= 14; ++c) place(pos, 10, c, kStoneX);
  place(pos, 10, 15, kStoneO);
  rescoreAll(pos);
  // x: ....xxxxx (five) plus three empty lines (6 each).
  EXPECT_EQ(pos.scores[kStoneX][10][10], 1u + 2333772 + 6 + 6 + 6);
  // o: the row stops at x's first stone, ....x, a single stone within five (2).
  EXPECT_EQ(pos.scores[kStoneO][10][10], 1u + 2 + 6 + 6 + 6);
}

TEST(CellScores, OpposingStonesOnBothSidesLeaveTheCellAlone) {
  Position pos = emptyPosition();
  place(pos, 10, 9, kStoneO);
  place(pos, 10, 11, kStoneO);
  rescoreAll(pos);
  // x's row through (10, 10) is code 3 (entry 0); the other three lines stay ....x.... (6).
  EXPECT_EQ(pos.scores[kStoneX][10][10], 1u + 0 + 6 + 6 + 6);
  // For o the same stones make ...xxx...: an open three with room on both sides (5294).
  EXPECT_EQ(pos.scores[kStoneO][10][10], 1u + 5294 + 6 + 6 + 6);
}

TEST(CellScores, StoneFiveCellsAwayHasNoInfluence) {
  Position pos = emptyPosition();
  place(pos, 10, 15, kStoneX);
  place(pos, 15, 10, kStoneX);
  place(pos, 5, 5, kStoneX);
  place(pos, 5, 15, kStoneX);
  rescoreAll(pos);
  EXPECT_EQ(pos.scores[kStoneX][10][10], 25u);
  EXPECT_EQ(pos.scores[kStoneO][10][10], 25u);
  // Four cells away it counts: ....x...x holds two stones within five (12).
  EXPECT_EQ(pos.scores[kStoneX][10][11], 1u + 12 + 6 + 6 + 6);
}

// ---- best cells ----

TEST(BestCells, EmptyBoardTieGoesToTheLastCell) {
  Position pos = emptyPosition();
  rescoreAll(pos);
  findBestCells(pos);
  EXPECT_EQ(pos.bestOwnRow, 11);
  EXPECT_EQ(pos.bestOwnCol, 11);
  EXPECT_EQ(pos.bestOppRow, 11);
  EXPECT_EQ(pos.bestOppCol, 11);
  EXPECT_EQ(pos.bestMixRow, 11);
  EXPECT_EQ(pos.bestMixCol, 11);
  EXPECT_EQ(pos.bestOwnScore, 25u);
  EXPECT_EQ(pos.bestOppScore, 25u);
  EXPECT_EQ(pos.bestMixScore, 150u);
}

// Every empty cell scores 1 for both; the tests below raise a few.
Position flatScores(int32_t toMove) {
  Position pos = emptyPosition(toMove);
  for (auto& side : pos.scores) {
    for (auto& row : side) std::fill(std::begin(row), std::end(row), 1u);
  }
  return pos;
}

TEST(BestCells, RowMajorScanLaterCellWinsTies) {
  Position pos = flatScores(kStoneX);
  pos.scores[kStoneX][8][11] = 100;  // scanned first though its column is larger
  pos.scores[kStoneX][9][8] = 100;
  pos.scores[kStoneX][9][9] = 99;
  findBestCells(pos);
  EXPECT_EQ(pos.bestOwnRow, 9);
  EXPECT_EQ(pos.bestOwnCol, 8);
  EXPECT_EQ(pos.bestOwnScore, 100u);
}

TEST(BestCells, ThreeIndependentScansFromTheSideToMove) {
  // o to move, so scores[0] is own. Own best A, opponent best B, mix best C:
  // A (8, 8): own 10, opp 1, mix 51; B (9, 9): own 2, opp 40, mix 50; C (10, 10): own 9, opp 10, mix 55.
  Position pos = flatScores(kStoneO);
  pos.scores[kStoneO][8][8] = 10;
  pos.scores[kStoneO][9][9] = 2;
  pos.scores[kStoneX][9][9] = 40;
  pos.scores[kStoneO][10][10] = 9;
  pos.scores[kStoneX][10][10] = 10;
  findBestCells(pos);
  EXPECT_EQ(pos.bestOwnRow, 8);
  EXPECT_EQ(pos.bestOwnCol, 8);
  EXPECT_EQ(pos.bestOppRow, 9);
  EXPECT_EQ(pos.bestOppCol, 9);
  EXPECT_EQ(pos.bestMixRow, 10);
  EXPECT_EQ(pos.bestMixCol, 10);
  EXPECT_EQ(pos.bestOwnScore, 10u);
  EXPECT_EQ(pos.bestOppScore, 40u);
  EXPECT_EQ(pos.bestMixScore, 55u);
}

TEST(BestCells, ScoresCompareUnsignedAndOnlyInsideTheBoxOnEmptyCells) {
  Position pos = flatScores(kStoneX);
  pos.scores[kStoneX][9][10] = 0x80000000u;  // negative if read as signed
  pos.scores[kStoneX][10][9] = 500;
  pos.scores[kStoneX][12][12] = 900000;  // outside the box
  pos.cells[11][11] = kStoneO;           // occupied: its stale score must not count
  pos.scores[kStoneX][11][11] = 0xF0000000u;
  findBestCells(pos);
  EXPECT_EQ(pos.bestOwnRow, 9);
  EXPECT_EQ(pos.bestOwnCol, 10);
  EXPECT_EQ(pos.bestOwnScore, 0x80000000u);
  EXPECT_EQ(pos.bestOppRow, 11);
  EXPECT_EQ(pos.bestOppCol, 10);  // last empty cell of the box, all tied at 1
}

TEST(BestCells, FullBoxKeepsCoordinatesAndZeroesScores) {
  Position pos = emptyPosition();
  for (int r = 8; r <= 11; ++r) {
    for (int c = 8; c <= 11; ++c) place(pos, r, c, (r + c) % 2 ? kStoneX : kStoneO);
  }
  rescoreAll(pos);
  pos.bestOwnRow = 3, pos.bestOwnCol = 4;
  pos.bestOppRow = 5, pos.bestOppCol = 6;
  pos.bestMixRow = 7, pos.bestMixCol = 2;
  pos.bestOwnScore = pos.bestOppScore = pos.bestMixScore = 77;
  findBestCells(pos);
  EXPECT_EQ(pos.bestOwnScore, 0u);
  EXPECT_EQ(pos.bestOppScore, 0u);
  EXPECT_EQ(pos.bestMixScore, 0u);
  EXPECT_EQ(pos.bestOwnRow, 3);
  EXPECT_EQ(pos.bestOwnCol, 4);
  EXPECT_EQ(pos.bestOppRow, 5);
  EXPECT_EQ(pos.bestOppCol, 6);
  EXPECT_EQ(pos.bestMixRow, 7);
  EXPECT_EQ(pos.bestMixCol, 2);
}

// ---- rescoreAround ----

// Cells whose windows can hold (row, col): on one of its four lines, at most four cells away.
std::set<std::pair<int, int>> reachOf(int row, int col) {
  std::set<std::pair<int, int>> reach;
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      const int dr = r - row, dc = c - col;
      const bool inLine = dr == 0 || dc == 0 || dr == dc || dr == -dc;
      const int distance = std::max(std::abs(dr), std::abs(dc));
      if (inLine && distance >= 1 && distance <= 4) reach.insert({r, c});
    }
  }
  return reach;
}

// Plays (row, col) on an empty board whose scores are all poisoned, then reports which cells
// rescoreAround gave fresh scores; it also fails the test if anything else in the record moved.
std::set<std::pair<int, int>> rescoredAfterMoveAt(int row, int col) {
  constexpr uint32_t kPoison = 0xDEADBEEF;
  Position pos = emptyPosition();
  for (auto& side : pos.scores) {
    for (auto& r : side) std::fill(std::begin(r), std::end(r), kPoison);
  }
  makeMove(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
  Position before;
  std::memcpy(&before, &pos, sizeof pos);
  rescoreAround(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
  std::set<std::pair<int, int>> rescored;
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      if (pos.scores[0][r][c] != before.scores[0][r][c] || pos.scores[1][r][c] != before.scores[1][r][c]) {
        rescored.insert({r, c});
        pos.scores[0][r][c] = before.scores[0][r][c];
        pos.scores[1][r][c] = before.scores[1][r][c];
      }
    }
  }
  EXPECT_EQ(std::memcmp(&before, &pos, sizeof pos), 0) << "rescoreAround wrote outside the scores";
  return rescored;
}

TEST(RescoreAround, TopEdgeDiagonalStaysOnTheBoard) {
  const auto rescored = rescoredAfterMoveAt(1, 12);
  EXPECT_EQ(rescored, reachOf(1, 12));
  std::set<std::pair<int, int>> mainDiagonal;
  for (const auto& cell : rescored) {
    if (cell.first - cell.second == 1 - 12) mainDiagonal.insert(cell);
  }
  const std::set<std::pair<int, int>> expected = {{0, 11}, {2, 13}, {3, 14}, {4, 15}, {5, 16}};
  EXPECT_EQ(mainDiagonal, expected);
}

TEST(RescoreAround, VisitsExactlyTheCellsInReachOfEveryMove) {
  size_t most = 0;
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) {
      const auto rescored = rescoredAfterMoveAt(row, col);
      ASSERT_EQ(rescored, reachOf(row, col)) << "move at " << row << "," << col;
      most = std::max(most, rescored.size());
    }
  }
  EXPECT_EQ(most, 32u);
}

// ---- incremental rescoring equals rescoring from scratch ----

void expectSameScoring(const Position& incremental, const Position& scratch) {
  ASSERT_EQ(std::memcmp(incremental.scores, scratch.scores, sizeof scratch.scores), 0);
  ASSERT_EQ(incremental.bestOwnScore, scratch.bestOwnScore);
  ASSERT_EQ(incremental.bestOppScore, scratch.bestOppScore);
  ASSERT_EQ(incremental.bestMixScore, scratch.bestMixScore);
  ASSERT_EQ(incremental.bestOwnRow, scratch.bestOwnRow);
  ASSERT_EQ(incremental.bestOwnCol, scratch.bestOwnCol);
  ASSERT_EQ(incremental.bestOppRow, scratch.bestOppRow);
  ASSERT_EQ(incremental.bestOppCol, scratch.bestOppCol);
  ASSERT_EQ(incremental.bestMixRow, scratch.bestMixRow);
  ASSERT_EQ(incremental.bestMixCol, scratch.bestMixCol);
}

// Mostly the best cells (so threats build up and get blocked), sometimes any empty cell of the
// box, now and then any empty cell on the board (edges and corners).
std::pair<int, int> pickMove(const Position& pos, std::mt19937& rng) {
  const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
  std::pair<int, int> best = {pos.bestMixRow, pos.bestMixCol};
  if (kind == 4) best = {pos.bestOwnRow, pos.bestOwnCol};
  if (kind == 5) best = {pos.bestOppRow, pos.bestOppCol};
  // A full box leaves the best cells stale, possibly on stones.
  if (kind < 6 && pos.cells[best.first][best.second] == kEmpty) return best;
  const bool anywhere = kind >= 9 || kind < 6;
  std::vector<std::pair<int, int>> empty;
  for (int r = anywhere ? 0 : pos.minRow; r <= (anywhere ? SOB - 1 : pos.maxRow); ++r) {
    for (int c = anywhere ? 0 : pos.minCol; c <= (anywhere ? SOB - 1 : pos.maxCol); ++c) {
      if (pos.cells[r][c] == kEmpty) empty.push_back({r, c});
    }
  }
  return empty[std::uniform_int_distribution<size_t>(0, empty.size() - 1)(rng)];
}

TEST(IncrementalScoring, RandomGamesMatchFullRescoring) {
  std::mt19937 rng(7331);
  int positions = 0;
  for (int game = 0; game < 40; ++game) {
    Position pos = emptyPosition(game % 2 ? kStoneX : kStoneO);
    rescoreAll(pos);
    findBestCells(pos);
    const int length = std::uniform_int_distribution<int>(60, 200)(rng);
    for (int ply = 0; ply < length; ++ply) {
      const auto [row, col] = pickMove(pos, rng);
      ASSERT_EQ(pos.cells[row][col], kEmpty);
      makeMove(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
      rescoreAround(pos, pos.lastRow, pos.lastCol);
      findBestCells(pos);
      Position scratch = pos;
      rescoreAll(scratch);
      findBestCells(scratch);
      expectSameScoring(pos, scratch);
      ++positions;
    }
  }
  EXPECT_GT(positions, 4000);
}

}  // namespace
}  // namespace brenk
