// The position record and makeMove: start values, the first-move rule, widening of the candidate
// box, the side swap and counters, and that a move touches only the scores of its own cell.
#include "engine/position/position.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace brenk {
namespace {

// The box the loader leaves on an empty board: 8..11 in both directions.
Position loadedEmptyBoard(int32_t engineStone = kStoneX) {
  Position pos;
  for (auto& row : pos.cells) {
    for (auto& cell : row) cell = kEmpty;
  }
  pos.stoneCount = 0;
  pos.minRow = pos.minCol = 8;
  pos.maxRow = pos.maxCol = 11;
  pos.toMove = engineStone;
  pos.opponent = 1 - engineStone;
  return pos;
}

struct Box {
  int minRow, maxRow, minCol, maxCol;
  bool operator==(const Box&) const = default;
};

Box boxOf(const Position& pos) { return {pos.minRow, pos.maxRow, pos.minCol, pos.maxCol}; }

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << "rows " << box.minRow << ".." << box.maxRow << ", cols " << box.minCol << ".." << box.maxCol;
}

Box boxAfterMoveOnEmpty(int row, int col) {
  Position pos = loadedEmptyBoard();
  makeMove(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
  return boxOf(pos);
}

TEST(PositionRecord, NewRecordHasTheStartValues) {
  const Position pos;
  EXPECT_EQ(pos.minCol, 10);
  EXPECT_EQ(pos.maxCol, 9);
  EXPECT_EQ(pos.minRow, 10);
  EXPECT_EQ(pos.maxRow, 9);
  EXPECT_EQ(pos.firstRow, 19);
  EXPECT_EQ(pos.firstCol, 19);
  EXPECT_FALSE(pos.firstMoveSet);
  EXPECT_TRUE(pos.searcherToMove);
  EXPECT_EQ(pos.plyCount, 0);
  EXPECT_EQ(pos.movingCategory, 1);
  // The best cells start at zero: the decision for an engine's own single stone relies on it.
  EXPECT_EQ(pos.bestOwnRow, 0);
  EXPECT_EQ(pos.bestOwnCol, 0);
  EXPECT_EQ(pos.bestOwnScore, 0u);
  EXPECT_EQ(pos.bestOppScore, 0u);
  EXPECT_EQ(pos.bestMixScore, 0u);
}

TEST(PositionRecord, FieldsHaveTheirDeclaredWidths) {
  const Position pos;
  EXPECT_EQ(sizeof(pos.cells), 400 * sizeof(int32_t));
  EXPECT_EQ(sizeof(pos.minCol), 1u);
  EXPECT_EQ(sizeof(pos.lastRow), 1u);
  EXPECT_EQ(sizeof(pos.stoneCount), 2u);
  EXPECT_EQ(sizeof(pos.plyCount), 2u);
  EXPECT_EQ(sizeof(pos.firstRow), 2u);
  EXPECT_EQ(sizeof(pos.toMove), 4u);
  EXPECT_EQ(sizeof(pos.scores), 2 * 400 * sizeof(uint32_t));
  EXPECT_TRUE(std::is_signed_v<decltype(pos.minRow)>);
  EXPECT_TRUE(std::is_unsigned_v<decltype(pos.bestMixScore)>);
}

TEST(PositionRecord, IsAFlatValueCopiedWhole) {
  static_assert(std::is_trivially_copyable_v<Position>, "every search node copies it with one block copy");
  static_assert(std::is_standard_layout_v<Position>);
  Position original = loadedEmptyBoard();
  original.scores[1][4][4] = 77;
  Position copy = original;
  makeMove(copy, 9, 9);
  copy.scores[1][4][4] = 5;
  EXPECT_EQ(original.cells[9][9], kEmpty) << "a copy must not share the board";
  EXPECT_EQ(original.scores[1][4][4], 77u);
  EXPECT_EQ(original.plyCount, 0);
  EXPECT_FALSE(original.firstMoveSet);
  EXPECT_EQ(copy.cells[9][9], kStoneX);
}

TEST(MakeMove, PlacesTheMoverAndRecordsTheLastMove) {
  Position pos = loadedEmptyBoard(kStoneO);
  makeMove(pos, 3, 12);
  EXPECT_EQ(pos.cells[3][12], kStoneO);
  EXPECT_EQ(pos.lastRow, 3);
  EXPECT_EQ(pos.lastCol, 12);
  makeMove(pos, 4, 13);
  EXPECT_EQ(pos.cells[4][13], kStoneX);
  EXPECT_EQ(pos.lastRow, 4);
  EXPECT_EQ(pos.lastCol, 13);
  EXPECT_EQ(pos.cells[3][12], kStoneO);
}

TEST(MakeMove, FirstMoveIsRecordedOnce) {
  Position pos = loadedEmptyBoard();
  makeMove(pos, 5, 14);
  EXPECT_TRUE(pos.firstMoveSet);
  EXPECT_EQ(pos.firstRow, 5);
  EXPECT_EQ(pos.firstCol, 14);
  makeMove(pos, 6, 2);
  EXPECT_TRUE(pos.firstMoveSet);
  EXPECT_EQ(pos.firstRow, 5);
  EXPECT_EQ(pos.firstCol, 14);
}

TEST(MakeMove, MoveThatMustNotCountAsFirstIsOverwrittenByTheNext) {
  // The verdict's forced block saves and restores the flag around its move.
  Position pos = loadedEmptyBoard();
  const bool saved = pos.firstMoveSet;
  makeMove(pos, 7, 7);
  pos.firstMoveSet = saved;
  EXPECT_EQ(pos.firstRow, 7);
  EXPECT_EQ(pos.firstCol, 7);
  makeMove(pos, 12, 4);
  EXPECT_TRUE(pos.firstMoveSet);
  EXPECT_EQ(pos.firstRow, 12);
  EXPECT_EQ(pos.firstCol, 4);
}

TEST(MakeMove, FirstMoveKeepsItsSignWhenWidened) {
  Position pos = loadedEmptyBoard();
  makeMove(pos, 0, 19);
  EXPECT_EQ(pos.firstRow, 0);
  EXPECT_EQ(pos.firstCol, 19);
}

TEST(MakeMove, BoxWidensAndClipsAtTheCorners) {
  EXPECT_EQ(boxAfterMoveOnEmpty(0, 0), (Box{0, 11, 0, 11}));
  EXPECT_EQ(boxAfterMoveOnEmpty(19, 19), (Box{8, 19, 8, 19})) << "21 is clipped to 19";
  EXPECT_EQ(boxAfterMoveOnEmpty(0, 19), (Box{0, 11, 8, 19}));
}

TEST(MakeMove, BoxWidensOnlyTheBoundTheMoveIsNear) {
  EXPECT_EQ(boxAfterMoveOnEmpty(10, 10), (Box{8, 12, 8, 12}));
  EXPECT_EQ(boxAfterMoveOnEmpty(9, 9), (Box{7, 11, 7, 11}));
  EXPECT_EQ(boxAfterMoveOnEmpty(10, 3), (Box{8, 12, 1, 11}));
  // Just inside the reach of a bound: min + 1 and max - 1 still widen.
  EXPECT_EQ(boxAfterMoveOnEmpty(9, 10), (Box{7, 11, 8, 12}));
}

TEST(MakeMove, MoveWellInsideAWideBoxLeavesItAlone) {
  Position pos = loadedEmptyBoard();
  pos.minRow = pos.minCol = 2;
  pos.maxRow = pos.maxCol = 17;
  makeMove(pos, 10, 10);
  EXPECT_EQ(boxOf(pos), (Box{2, 17, 2, 17}));
  makeMove(pos, 4, 15);
  EXPECT_EQ(boxOf(pos), (Box{2, 17, 2, 17}));
}

TEST(MakeMove, BoxGrowsStepByStepTowardTheEdge) {
  Position pos = loadedEmptyBoard();
  makeMove(pos, 8, 11);
  EXPECT_EQ(boxOf(pos), (Box{6, 11, 8, 13}));
  makeMove(pos, 6, 13);
  EXPECT_EQ(boxOf(pos), (Box{4, 11, 8, 15}));
  makeMove(pos, 1, 18);
  EXPECT_EQ(boxOf(pos), (Box{0, 11, 8, 19})) << "-1 and 20 are clipped";
  makeMove(pos, 1, 19);  // already at the edge: stays clipped
  EXPECT_EQ(boxOf(pos), (Box{0, 11, 8, 19}));
}

TEST(MakeMove, SidesSwapAndTwoMovesRestoreThem) {
  Position pos = loadedEmptyBoard(kStoneO);
  pos.stoneCount = 7;  // the counters grow from whatever the loader found
  makeMove(pos, 9, 9);
  EXPECT_EQ(pos.toMove, kStoneX);
  EXPECT_EQ(pos.opponent, kStoneO);
  EXPECT_FALSE(pos.searcherToMove);
  EXPECT_EQ(pos.plyCount, 1);
  EXPECT_EQ(pos.stoneCount, 8);
  makeMove(pos, 9, 10);
  EXPECT_EQ(pos.toMove, kStoneO);
  EXPECT_EQ(pos.opponent, kStoneX);
  EXPECT_TRUE(pos.searcherToMove);
  EXPECT_EQ(pos.plyCount, 2);
  EXPECT_EQ(pos.stoneCount, 9);
}

TEST(MakeMove, PlyCountCarriesOverIntoCopies) {
  Position pos = loadedEmptyBoard();
  makeMove(pos, 9, 9);
  Position child = pos;
  makeMove(child, 10, 10);
  EXPECT_EQ(child.plyCount, 2);
  EXPECT_EQ(pos.plyCount, 1);
}

TEST(MakeMove, ZeroesOnlyTheScoresOfThePlayedCell) {
  Position pos = loadedEmptyBoard();
  for (int p = 0; p < 2; ++p) {
    for (int r = 0; r < SOB; ++r) {
      for (int c = 0; c < SOB; ++c) pos.scores[p][r][c] = static_cast<uint32_t>(1000 * p + 20 * r + c + 1);
    }
  }
  pos.bestOwnScore = 11;
  pos.bestOppScore = 22;
  pos.bestMixScore = 33;
  const Position before = pos;
  makeMove(pos, 6, 13);
  EXPECT_EQ(pos.scores[0][6][13], 0u);
  EXPECT_EQ(pos.scores[1][6][13], 0u);
  int changed = 0;
  for (int p = 0; p < 2; ++p) {
    for (int r = 0; r < SOB; ++r) {
      for (int c = 0; c < SOB; ++c) {
        if (r == 6 && c == 13) continue;
        if (pos.scores[p][r][c] != before.scores[p][r][c]) ++changed;
      }
    }
  }
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(pos.bestOwnScore, 11u) << "best cells are the caller's to recompute";
  EXPECT_EQ(pos.bestOppScore, 22u);
  EXPECT_EQ(pos.bestMixScore, 33u);
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      if (r == 6 && c == 13) continue;
      EXPECT_EQ(pos.cells[r][c], kEmpty) << r << "," << c;
    }
  }
}

}  // namespace
}  // namespace brenk
