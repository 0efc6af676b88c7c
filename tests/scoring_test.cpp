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

// Plays (row, col) on an empty board whose scores are right inside the reach of the move and
// poisoned everywhere else, and reports the cells rescoreAround changed. Every cell of the reach
// must end with the score full rescoring gives, every other cell keep its poison, and nothing
// else in the record may move.
std::set<std::pair<int, int>> rescoredAfterMoveAt(int row, int col) {
  constexpr uint32_t kPoison = 0xDEADBEEF;
  const std::set<std::pair<int, int>> reach = reachOf(row, col);
  Position pos = emptyPosition();
  rescoreAll(pos);
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      if (reach.count({r, c}) == 0) pos.scores[0][r][c] = pos.scores[1][r][c] = kPoison;
    }
  }
  makeMove(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
  Position before;
  std::memcpy(&before, &pos, sizeof pos);
  Position full = pos;
  rescoreAll(full);
  rescoreAround(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
  std::set<std::pair<int, int>> rescored;
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      if (reach.count({r, c}) != 0) {
        EXPECT_EQ(pos.scores[0][r][c], full.scores[0][r][c]) << r << "," << c;
        EXPECT_EQ(pos.scores[1][r][c], full.scores[1][r][c]) << r << "," << c;
      }
      if (pos.scores[0][r][c] != before.scores[0][r][c] || pos.scores[1][r][c] != before.scores[1][r][c]) {
        rescored.insert({r, c});
        pos.scores[0][r][c] = before.scores[0][r][c];
        pos.scores[1][r][c] = before.scores[1][r][c];
      }
    }
  }
  EXPECT_EQ(std::memcmp(&before, &pos, sizeof pos), 0) << "rescoreAround wrote outside the reach of the move";
  return rescored;
}

TEST(RescoreAround, TopEdgeDiagonalStaysOnTheBoard) {
  const auto rescored = rescoredAfterMoveAt(1, 12);
  for (const auto& cell : rescored) EXPECT_EQ(reachOf(1, 12).count(cell), 1u);
  std::set<std::pair<int, int>> mainDiagonal;
  for (const auto& cell : reachOf(1, 12)) {
    if (cell.first - cell.second == 1 - 12) mainDiagonal.insert(cell);
  }
  const std::set<std::pair<int, int>> expected = {{0, 11}, {2, 13}, {3, 14}, {4, 15}, {5, 16}};
  EXPECT_EQ(mainDiagonal, expected);
}

TEST(RescoreAround, RescoresTheReachOfEveryMoveAndNothingElse) {
  size_t most = 0;
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) {
      SCOPED_TRACE(testing::Message() << "move at " << row << "," << col);
      for (const auto& cell : rescoredAfterMoveAt(row, col)) ASSERT_EQ(reachOf(row, col).count(cell), 1u);
      most = std::max(most, reachOf(row, col).size());
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

// ---- the code lookup by neighbours and scores against the line rule ----

// The lookup's index for a cell's window, read plainly: the neighbour j steps along the line is
// digit 4 - j on the far side (j > 0) and 3 - j on the near side, 0 empty, 1 own, 2 for a stone of
// the other player or a cell off the board.
uint32_t neighbourIndexOf(const Position& pos, int row, int col, LineDirection dir, int32_t own) {
  const uint32_t powers[8] = {1, 3, 9, 27, 81, 243, 729, 2187};
  uint32_t index = 0, ownSlice = 0, blockedSlice = 0;
  for (int j = -4; j <= 4; ++j) {
    if (j == 0) continue;
    const int r = row + j * dir.dRow, c = col + j * dir.dCol;
    const uint32_t digit = !onBoard(r, c) || pos.cells[r][c] == 1 - own ? 2 : pos.cells[r][c] == own ? 1 : 0;
    index += digit * powers[j > 0 ? 4 - j : 3 - j];
    // The slices: bit 4 - j, as the engine's masks have it.
    if (digit == 1) ownSlice |= 1u << (4 - j);
    if (digit == 2) blockedSlice |= 1u << (4 - j);
  }
  EXPECT_EQ(neighbourIndex(ownSlice, blockedSlice), index);
  return index;
}

// A window can be cut by the edge on either side after 0..4 cells; for every such pair, one line
// that has it, and every filling of its window cells with empty cells and both players' stones
// (the rest of the board random, never read).
TEST(NeighbourCodeTable, GivesLinePatternCodeForEveryWindowFillingAndEdge) {
  std::mt19937 rng(11);
  int checked = 0;
  std::set<uint32_t> indexes;
  for (const LineDirection& dir : kLines) {
    bool seen[5][5] = {};
    for (int row = 0; row < SOB; ++row) {
      for (int col = 0; col < SOB; ++col) {
        int nearCells = 0, farCells = 0;
        while (nearCells < 4 && onBoard(row - (nearCells + 1) * dir.dRow, col - (nearCells + 1) * dir.dCol)) ++nearCells;
        while (farCells < 4 && onBoard(row + (farCells + 1) * dir.dRow, col + (farCells + 1) * dir.dCol)) ++farCells;
        if (seen[nearCells][farCells]) continue;
        seen[nearCells][farCells] = true;
        int fillings = 1;
        for (int i = 0; i < nearCells + farCells; ++i) fillings *= 3;
        Position pos = emptyPosition();
        for (int filling = 0; filling < fillings; ++filling) {
          for (auto& r : pos.cells) {
            for (int32_t& cell : r) cell = std::uniform_int_distribution<int32_t>(0, 2)(rng);
          }
          pos.cells[row][col] = kEmpty;
          int rest = filling;
          for (int d = -nearCells; d <= farCells; ++d) {
            if (d == 0) continue;
            pos.cells[row + d * dir.dRow][col + d * dir.dCol] = rest % 3;  // kStoneO, kStoneX or kEmpty
            rest /= 3;
          }
          for (int32_t own : {kStoneO, kStoneX}) {
            const uint32_t index = neighbourIndexOf(pos, row, col, dir, own);
            indexes.insert(index);
            ASSERT_EQ(neighbourCodeTable[index], linePatternCode(pos.cells, row, col, dir, own, 1 - own))
                << "cell " << row << "," << col << " line " << dir.dRow << "," << dir.dCol << " filling " << filling;
          }
          ++checked;
        }
      }
    }
    // Every pair arises on each line except both sides cut short on a straight line.
    int pairs = 0;
    for (auto& near : seen) pairs += static_cast<int>(std::count(std::begin(near), std::end(near), true));
    EXPECT_EQ(pairs, dir.dRow != 0 && dir.dCol != 0 ? 25 : 9) << "line " << dir.dRow << "," << dir.dCol;
  }
  // Straight lines: 3^8 + 2 * 3^4 * (1 + 3 + 9 + 27) fillings; diagonals: (1 + 3 + 9 + 27 + 81)^2.
  EXPECT_EQ(checked, 2 * (6561 + 2 * 81 * 40) + 2 * 121 * 121);
  EXPECT_EQ(indexes.size(), 6561u);
}

// Random boards from sparse to nearly full.
Position randomBoard(std::mt19937& rng) {
  Position pos = emptyPosition(std::uniform_int_distribution<int>(0, 1)(rng));
  const int stonesInTen = std::uniform_int_distribution<int>(0, 9)(rng);
  for (auto& row : pos.cells) {
    for (int32_t& cell : row) {
      if (std::uniform_int_distribution<int>(0, 9)(rng) < stonesInTen) {
        cell = std::uniform_int_distribution<int32_t>(kStoneO, kStoneX)(rng);
        ++pos.stoneCount;
      }
    }
  }
  return pos;
}

TEST(CellScores, RescoreAllIsOnePlusTheFourLineEntriesOnRandomBoards) {
  std::mt19937 rng(4711);
  for (int board = 0; board < 60; ++board) {
    Position pos = randomBoard(rng);
    rescoreAll(pos);
    for (int row = 0; row < SOB; ++row) {
      for (int col = 0; col < SOB; ++col) {
        for (int32_t own : {kStoneO, kStoneX}) {
          uint32_t expected = 0;
          if (pos.cells[row][col] == kEmpty) {
            expected = 1;
            for (const LineDirection& dir : kLines) {
              expected += static_cast<uint32_t>(threatScoreTable[linePatternCode(pos.cells, row, col, dir, own, 1 - own)]);
            }
          }
          ASSERT_EQ(pos.scores[own][row][col], expected) << "board " << board << " cell " << row << "," << col;
        }
      }
    }
  }
}

// The best-cell rule read literally: row-major over the box, empty cells only, >= for each.
void referenceBestCells(Position& pos) {
  pos.bestOwnScore = pos.bestOppScore = pos.bestMixScore = 0;
  for (int row = pos.minRow; row <= pos.maxRow; ++row) {
    for (int col = pos.minCol; col <= pos.maxCol; ++col) {
      if (pos.cells[row][col] != kEmpty) continue;
      const uint32_t own = pos.scores[pos.toMove][row][col];
      const uint32_t opp = pos.scores[pos.opponent][row][col];
      const uint32_t scores[3] = {own, opp, 5 * own + opp};
      uint32_t* best[3] = {&pos.bestOwnScore, &pos.bestOppScore, &pos.bestMixScore};
      int8_t* rows[3] = {&pos.bestOwnRow, &pos.bestOppRow, &pos.bestMixRow};
      int8_t* cols[3] = {&pos.bestOwnCol, &pos.bestOppCol, &pos.bestMixCol};
      for (int kind = 0; kind < 3; ++kind) {
        if (scores[kind] >= *best[kind]) {
          *best[kind] = scores[kind];
          *rows[kind] = static_cast<int8_t>(row);
          *cols[kind] = static_cast<int8_t>(col);
        }
      }
    }
  }
}

TEST(BestCells, MatchesTheLiteralScanOnRandomScoresBoxesAndTies) {
  // Few distinct values, so ties are common: 0 on empty cells, values whose mix 5 * own + opp
  // passes 2^31 or wraps around 2^32, values around 2^28 and 2^31. Or spread over a range.
  const uint32_t values[] = {0,           1,           2,           7,           25,          5294,
                             0x0FFFFFFFu, 0x10000000u, 0x1C000000u, 0x33333334u, 0x7FFFFFFFu, 0x80000000u,
                             0xFFFFFFFFu};
  const uint32_t ranges[] = {3, 9000000, 0x1FFFFFFFu, 0xFFFFFFFFu};
  std::mt19937 rng(99);
  for (int trial = 0; trial < 20000; ++trial) {
    Position pos = randomBoard(rng);
    const int spread = std::uniform_int_distribution<int>(0, 4)(rng);
    for (auto& side : pos.scores) {
      for (auto& row : side) {
        for (uint32_t& score : row) {
          score = spread == 4 ? values[std::uniform_int_distribution<size_t>(0, std::size(values) - 1)(rng)]
                              : std::uniform_int_distribution<uint32_t>(0, ranges[spread])(rng);
        }
      }
    }
    // Any box, also a single cell, the whole board and an empty range.
    auto bounds = [&rng](int8_t& lo, int8_t& hi) {
      lo = static_cast<int8_t>(std::uniform_int_distribution<int>(0, SOB - 1)(rng));
      hi = static_cast<int8_t>(std::uniform_int_distribution<int>(lo - 1, SOB - 1)(rng));
      if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) lo = 0, hi = SOB - 1;
    };
    bounds(pos.minRow, pos.maxRow);
    bounds(pos.minCol, pos.maxCol);
    pos.bestOwnRow = 1, pos.bestOwnCol = 2, pos.bestOppRow = 3, pos.bestOppCol = 4, pos.bestMixRow = 5, pos.bestMixCol = 6;
    Position expected = pos;
    referenceBestCells(expected);
    findBestCells(pos);
    ASSERT_NO_FATAL_FAILURE(expectSameScoring(pos, expected)) << "trial " << trial;
  }
}

// Moves anywhere on random boards, half of them on the two outermost rings (edges and corners);
// scores kept by rescoreAround must be those of a full rescoring, and nothing else may change.
TEST(IncrementalScoring, RandomBoardsAndEdgeMovesMatchFullRescoring) {
  std::mt19937 rng(2024);
  int moves = 0;
  for (int board = 0; board < 300; ++board) {
    Position pos = randomBoard(rng);
    pos.minRow = pos.minCol = 0;
    pos.maxRow = pos.maxCol = SOB - 1;
    rescoreAll(pos);
    findBestCells(pos);
    for (int ply = 0; ply < 30; ++ply) {
      std::vector<std::pair<int, int>> empty, outer;
      for (int r = 0; r < SOB; ++r) {
        for (int c = 0; c < SOB; ++c) {
          if (pos.cells[r][c] != kEmpty) continue;
          empty.push_back({r, c});
          if (std::min({r, c, SOB - 1 - r, SOB - 1 - c}) <= 1) outer.push_back({r, c});
        }
      }
      if (empty.empty()) break;
      const auto& from = !outer.empty() && std::uniform_int_distribution<int>(0, 1)(rng) ? outer : empty;
      const auto [row, col] = from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
      makeMove(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
      Position moved = pos;
      rescoreAround(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
      Position scratch = pos;
      rescoreAll(scratch);
      ASSERT_EQ(std::memcmp(pos.scores, scratch.scores, sizeof pos.scores), 0) << "board " << board << " ply " << ply;
      std::memcpy(moved.scores, pos.scores, sizeof pos.scores);
      ASSERT_EQ(std::memcmp(&moved, &pos, sizeof pos), 0) << "rescoreAround wrote outside the scores";
      findBestCells(pos);
      referenceBestCells(scratch);
      ASSERT_NO_FATAL_FAILURE(expectSameScoring(pos, scratch));
      ++moves;
    }
  }
  EXPECT_GT(moves, 5000);
}

}  // namespace
}  // namespace brenk
