// Child generation: the guard, the threshold, the candidate filter of each moving category,
// pruning at big threats, the ordering passes, and the forced move folded into its node.
// The scan reads nothing but the cells and the scores, so most nodes here carry an empty board
// with scores set by hand; the rest are real positions scored from the board.
#include "engine/search/children.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/host/excpt.h"
#include "engine/position/scoring.h"
#include "engine/position/verdict.h"
#include "tests/support/board_text.h"
#include "tests/support/loaded_position.h"

namespace brenk {
namespace {

using Cell = std::pair<int, int>;
using Cells = std::vector<Cell>;

// An empty board with every score 0 and x to move; a non-root unless plyCount says otherwise.
Position blankPosition(int8_t category, int16_t plyCount = 3) {
  Position pos;
  for (auto& row : pos.cells) {
    for (auto& cell : row) cell = kEmpty;
  }
  pos.minRow = pos.minCol = 8;
  pos.maxRow = pos.maxCol = 11;
  pos.toMove = kStoneX;
  pos.opponent = kStoneO;
  pos.movingCategory = category;
  pos.plyCount = plyCount;
  return pos;
}

void setScores(Position& pos, Cell cell, uint32_t own, uint32_t opp) {
  pos.scores[pos.toMove][cell.first][cell.second] = own;
  pos.scores[pos.opponent][cell.first][cell.second] = opp;
}

// A real position from stone lists (row, col), scored, `symbol` to move.
Position stonePosition(const Cells& xs, const Cells& os, const char* symbol) {
  return testsupport::scoredPosition(testsupport::BoardText{}.place(xs, 'x').place(os, 'o').cells, symbol);
}

Cells sorted(Cells cells) {
  std::sort(cells.begin(), cells.end());
  return cells;
}

class ChildGeneration : public ::testing::Test {
 protected:
  Node& at(NodeId id) { return search.store.node(id); }
  // Rebuilt from the root's position by playing the recorded moves again.
  Position positionOfNode(NodeId id) const { return positionOf(search.store, search.path.rootBase(), id); }

  // An evaluated open leaf holding `pos`, the root of a new tree.
  NodeId leaf(const Position& pos) {
    const NodeId node = startTree(search, pos);
    at(node).evaluated = true;
    return node;
  }

  void evaluate(NodeId id) { EvaluateNode(search, id, search.path.positionAt(search.store, id)); }

  // The move cells of the node's children in list order; checks the links on the way.
  Cells moves(NodeId id) {
    Cells cells;
    int count = 0;
    const int plyCount = positionOfNode(id).plyCount;
    for (CellId cell = at(id).children; cell != kNoCell; cell = search.store.cell(cell).next, ++count) {
      const NodeId child = search.store.cell(cell).node;
      EXPECT_EQ(at(child).parent, id);
      const Position pos = positionOfNode(child);
      EXPECT_EQ(pos.plyCount, plyCount + 1);
      cells.emplace_back(pos.lastRow, pos.lastCol);
    }
    EXPECT_EQ(count, at(id).childCount);
    return cells;
  }

  Cells generate(const Position& pos) {
    const NodeId node = leaf(pos);
    GenerateAllChildren(search, node);
    EXPECT_TRUE(at(node).expanded);
    return moves(node);
  }

  RecordingSink sink;
  std::ostringstream diagnostics;
  Search search{sink, SearchLimits{}, diagnostics};
};

// Cells in row-major order, far enough apart that nothing else matters.
const Cell A{2, 3}, B{2, 10}, C{5, 1}, D{7, 14}, E{11, 6}, F{14, 17}, G{17, 2};

TEST_F(ChildGeneration, RefusesADecidedNodeAndChangesNothing) {
  for (int32_t value : {0, 1}) {
    Position pos = blankPosition(1);
    pos.bestMixScore = 0;
    const NodeId node = leaf(pos);
    at(node).value = value;
    const size_t live = search.store.liveNodes();
    try {
      GenerateAllChildren(search, node);
      ADD_FAILURE() << "value " << value << " was expanded";
    } catch (const char* text) {
      EXPECT_STREQ(text, "void Node::GenerateAllChildren()");
    }
    EXPECT_FALSE(at(node).expanded);
    EXPECT_EQ(at(node).childCount, 0);
    EXPECT_EQ(at(node).children, kNoCell);
    EXPECT_EQ(search.store.liveNodes(), live);
  }
}

TEST_F(ChildGeneration, ThresholdIsHalfTheBestMixRoundedDown) {
  Position pos = blankPosition(1);
  pos.bestMixScore = 7;     // threshold 3, not 3.5
  setScores(pos, A, 0, 3);  // mix 3
  setScores(pos, B, 0, 2);  // mix 2
  setScores(pos, C, 1, 0);  // mix 5
  EXPECT_EQ(sorted(generate(pos)), sorted({A, C}));
}

TEST_F(ChildGeneration, ThresholdZeroTriesEveryEmptyCellInRowMajorOrder) {
  for (uint32_t bestMix : {0u, 1u}) {
    Position pos = blankPosition(1);
    pos.bestMixScore = bestMix;
    pos.cells[0][0] = kStoneX;
    pos.cells[9][9] = kStoneO;
    pos.cells[19][19] = kStoneX;
    pos.stoneCount = 3;
    Cells expected;
    for (int row = 0; row < SOB; ++row) {
      for (int col = 0; col < SOB; ++col) {
        if (pos.cells[row][col] == kEmpty) expected.emplace_back(row, col);
      }
    }
    // Every mix score is 0, so the ordering passes exchange nothing: this is the scan order,
    // and all 397 candidates become children.
    EXPECT_EQ(generate(pos), expected) << "bestMixScore " << bestMix;
  }
}

TEST_F(ChildGeneration, CategoriesOutsideTwoToSixUseTheMixRule) {
  for (int8_t category : {0, 1, 7, 8, -1}) {
    Position pos = blankPosition(category);
    pos.bestMixScore = 100;    // threshold 50
    setScores(pos, A, 10, 0);  // mix 50: tried here, though no category bound passes it
    setScores(pos, B, 0, 49);
    setScores(pos, C, 5292, 0);
    EXPECT_EQ(sorted(generate(pos)), sorted({A, C})) << "category " << int{category};
  }
}

TEST_F(ChildGeneration, OwnAndOpponentBoundsPerCategory) {
  struct Case {
    int8_t category;
    Cells expected;
  };
  // A own 5292, B own 5291, C opp 10584, D opp 10583, E own 5796, F own 5795, G own 10^7 and
  // H opp 10^7 (a big threat in categories 2 and 3, but a single one prunes nothing).
  const Cell H{19, 9};
  const std::vector<Case> cases = {
      {2, {A, C, E, F, G, H}}, {3, {C, E, G, H}}, {4, {A, C, E, F, G, H}}, {5, {A, E, F, G}}, {6, {C, H}},
  };
  for (const Case& c : cases) {
    Position pos = blankPosition(c.category);
    pos.bestMixScore = 0;
    setScores(pos, A, 5292, 0);
    setScores(pos, B, 5291, 0);
    setScores(pos, C, 0, 10584);
    setScores(pos, D, 0, 10583);
    setScores(pos, E, 5796, 0);
    setScores(pos, F, 5795, 0);
    setScores(pos, G, 10000000, 0);
    setScores(pos, H, 0, 10000000);
    EXPECT_EQ(sorted(generate(pos)), sorted(c.expected)) << "category " << int{c.category};
  }
}

TEST_F(ChildGeneration, BigThreatIsStrictInCategoryTwoAndInclusiveInThree) {
  // A opp exactly 111132, B just above, C a candidate with no opponent score at all.
  Position two = blankPosition(2);
  setScores(two, A, 0, 111132);
  setScores(two, B, 0, 111133);
  setScores(two, C, 5292, 0);
  EXPECT_EQ(sorted(generate(two)), sorted({A, B, C})) << "one big threat prunes nothing";

  Position three = blankPosition(3);
  setScores(three, A, 0, 111132);
  setScores(three, B, 0, 111133);
  setScores(three, C, 5796, 0);
  EXPECT_EQ(sorted(generate(three)), sorted({A, B})) << "two big threats prune C";
}

TEST_F(ChildGeneration, PruningKeepsOpponentScoresFromTheBoundUp) {
  Position pos = blankPosition(3);
  setScores(pos, A, 0, 111132);
  setScores(pos, B, 0, 200000);
  setScores(pos, C, 5796, 0);
  setScores(pos, D, 5796, 5794);
  setScores(pos, E, 5796, 5795);
  const NodeId node = leaf(pos);
  GenerateAllChildren(search, node);
  EXPECT_EQ(sorted(moves(node)), sorted({A, B, E}));
  EXPECT_EQ(search.store.nodesCreated(), 1u + 5u);
  EXPECT_EQ(search.store.liveNodes(), 1u + 3u) << "pruned children are destroyed";
}

TEST_F(ChildGeneration, PruningInCategoryTwoAndNoneInFour) {
  for (int8_t category : {2, 4}) {
    Position pos = blankPosition(category);
    setScores(pos, A, 5292, 0);
    setScores(pos, B, 0, 200000);
    setScores(pos, C, 0, 300000);
    setScores(pos, D, 6000, 5795);
    const Cells expected = category == 2 ? Cells{B, C, D} : Cells{A, B, C, D};
    EXPECT_EQ(sorted(generate(pos)), sorted(expected)) << "category " << int{category};
  }
}

TEST_F(ChildGeneration, OrderingPassesOnTheWorkedExamples) {
  // Mix scores in scan order, and the order the passes leave.
  EXPECT_EQ(generate([&] {
              Position pos = blankPosition(5);
              setScores(pos, A, 5292, 1);
              setScores(pos, B, 5292, 2);
              setScores(pos, C, 5292, 3);
              return pos;
            }()),
            (Cells{B, C, A}))
      << "1, 2, 3 becomes 2, 3, 1";
  EXPECT_EQ(generate([&] {
              Position pos = blankPosition(5);
              setScores(pos, A, 5292, 1);
              setScores(pos, B, 5292, 3);
              setScores(pos, C, 5292, 2);
              setScores(pos, D, 5292, 4);
              return pos;
            }()),
            (Cells{B, D, C, A}))
      << "1, 3, 2, 4 becomes 3, 4, 2, 1";
  EXPECT_EQ(generate([&] {
              Position pos = blankPosition(5);
              setScores(pos, A, 5292, 3);
              setScores(pos, B, 5292, 2);
              setScores(pos, C, 5292, 1);
              return pos;
            }()),
            (Cells{A, B, C}))
      << "3, 2, 1 stays";
}

TEST_F(ChildGeneration, EqualMixScoresAreNeverExchanged) {
  Position pair = blankPosition(5);
  setScores(pair, A, 5292, 7);
  setScores(pair, B, 5292, 7);
  EXPECT_EQ(generate(pair), (Cells{A, B}));

  // 1, 1, 2: the first pass must leave the tied pair alone before carrying 2 forward, giving
  // A, C, B; exchanging ties would give B, C, A.
  Position three = blankPosition(5);
  setScores(three, A, 5292, 1);
  setScores(three, B, 5292, 1);
  setScores(three, C, 5292, 2);
  EXPECT_EQ(generate(three), (Cells{A, C, B}));
}

TEST_F(ChildGeneration, OrderUsesTheMixWeightOfTheOwnScore) {
  // A: own 6000, opp 0 (mix 30000); B: own 5292, opp 3000 (mix 29460). By the sum of the two
  // scores B would lead; by the mix score A does and the scan order stands.
  Position pos = blankPosition(5);
  setScores(pos, A, 6000, 0);
  setScores(pos, B, 5292, 3000);
  EXPECT_EQ(generate(pos), (Cells{A, B}));
}

TEST_F(ChildGeneration, NoCandidateThrowsAndLeavesTheNodeALeaf) {
  for (int8_t category : {1, 3}) {
    Position pos = blankPosition(category);
    pos.bestMixScore = 10;  // threshold 5, and every score is 0
    const NodeId node = leaf(pos);
    try {
      GenerateAllChildren(search, node);
      ADD_FAILURE() << "no exception";
    } catch (const Excpt& e) {
      EXPECT_EQ(e.code, 3);
      EXPECT_STREQ(e.message, "Neocekavana chyba");
      EXPECT_STREQ(e.where, "Node::SelectMostProoving()");
    }
    EXPECT_FALSE(at(node).expanded);
    EXPECT_EQ(at(node).childCount, 0);
    EXPECT_EQ(at(node).children, kNoCell);
    EXPECT_EQ(search.store.liveNodes(), 1u);
    search.store.destroyNode(node);
    
  }
}

TEST_F(ChildGeneration, CategoryThreeWithNoPassingCellFallsBackToTheMixRule) {
  // No cell reaches opponent 10584 or own 5796. The mix rule then decides: A mix 39558 (the
  // best), C mix 20000 (above the threshold 19779), B mix 500 (below).
  Position pos = blankPosition(3);
  setScores(pos, A, 5795, 10583);
  setScores(pos, B, 100, 0);
  setScores(pos, C, 3000, 5000);
  pos.bestMixScore = 5 * 5795 + 10583;
  EXPECT_EQ(generate(pos), (Cells{A, C}));
}

TEST_F(ChildGeneration, PlainFourAgainstAQuietMoverIsAnsweredByTheMixRule) {
  // o x o o o . . on row 10 would be a four for o at (10,8) or (10,9), nothing more: its best
  // score stays below 10584, and x has nothing near 5796. Category 3's bounds pass no cell.
  const Position pos = stonePosition({{10, 4}, {3, 15}, {15, 2}}, {{10, 5}, {10, 6}, {10, 7}}, "x");
  const NodeId node = leaf(pos);
  evaluate(node);
  ASSERT_EQ(at(node).value, kOpen);
  const Position p = positionOfNode(node);
  ASSERT_EQ(p.movingCategory, 3);
  Cells byMixRule;
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) {
      if (p.cells[row][col] != kEmpty) continue;
      ASSERT_LT(p.scores[p.opponent][row][col], 10584u);
      ASSERT_LT(p.scores[p.toMove][row][col], 5796u);
      if (mixScore(p, row, col) >= p.bestMixScore / 2) byMixRule.emplace_back(row, col);
    }
  }
  GenerateAllChildren(search, node);
  ASSERT_TRUE(at(node).expanded);
  const Cells children = moves(node);
  EXPECT_EQ(sorted(children), sorted(byMixRule));
  EXPECT_NE(std::find(children.begin(), children.end(), Cell{10, 8}), children.end());
  EXPECT_NE(std::find(children.begin(), children.end(), Cell{10, 9}), children.end());
}

TEST_F(ChildGeneration, ForcedMoveAtTheRootGoesToTheSinkAsTheBestMixCell) {
  Position pos = blankPosition(6, 0);
  setScores(pos, A, 0, 10584);
  setScores(pos, B, 9000, 0);  // a good cell, but category 6 looks at opponent scores only
  pos.bestMixRow = 15;         // deliberately not the candidate: the best mix cell is written
  pos.bestMixCol = 4;
  const NodeId node = leaf(pos);
  EXPECT_THROW(GenerateAllChildren(search, node), ForcedRootMove);
  ASSERT_TRUE(sink.hasMove());
  EXPECT_EQ(sink.row(), 15);
  EXPECT_EQ(sink.col(), 4);
}

TEST_F(ChildGeneration, SingleCandidateBelowTheRootIsFoldedIntoTheNode) {
  // The engine plays o and has just played (8,8): o threatens a double three at (8,9), with
  // (8,7),(8,8) on the row and (9,9),(10,9) on the column. x's only candidate is that cell.
  Position pos = stonePosition({{2, 2}, {2, 17}, {17, 2}, {17, 17}}, {{8, 7}, {9, 9}, {10, 9}}, "o");
  makeMove(pos, 8, 8);
  rescoreAround(pos, 8, 8);
  findBestCells(pos);
  const NodeId node = leaf(pos);
  evaluate(node);
  ASSERT_EQ(at(node).value, kOpen);
  ASSERT_EQ(positionOfNode(node).movingCategory, 6);
  ASSERT_FALSE(positionOfNode(node).searcherToMove);
  const int16_t stones = positionOfNode(node).stoneCount;

  GenerateAllChildren(search, node);
  const Position now = positionOfNode(node);
  EXPECT_TRUE(at(node).expanded);
  EXPECT_EQ(at(node).value, kOpen);
  EXPECT_EQ(now.cells[8][9], kStoneX) << "the node stands for the position after the forced move";
  EXPECT_EQ(now.stoneCount, stones + 1);
  EXPECT_EQ(now.plyCount, 2);
  EXPECT_TRUE(now.searcherToMove) << "o is to move again, so the node turned into an OR node";
  EXPECT_EQ(now.toMove, kStoneO);
  ASSERT_GE(at(node).childCount, 2);
  for (const Cell& move : moves(node)) EXPECT_EQ(now.cells[move.first][move.second], kEmpty);
  // The node, its new children, and nothing of the folded child.
  EXPECT_EQ(search.store.liveNodes(), 1u + at(node).childCount);
  EXPECT_EQ(search.store.nodesCreated(), 1u + 1u + at(node).childCount);

  // The numbers come from judging the new position.
  Position judged = now;
  infFloat proof, disproof;
  EXPECT_EQ(evaluatePosition(judged, proof, disproof), kOpen);
  EXPECT_FALSE(at(node).proof != proof);
  EXPECT_FALSE(at(node).disproof != disproof);
}

TEST_F(ChildGeneration, FoldedNodeKeepsItsOpenValueWhateverTheReevaluationSays) {
  // The engine plays o and has just made a four on row 5, closed by x at (5,4); its five would
  // come at (5,9). Nothing else comes near that cell's mix score, so it is the only candidate
  // (the node is left unjudged: its category is still the general one). For x, (5,9) also makes
  // a four on column 9 (closed by o at (9,9)) and an open three on the diagonal (6,10),(7,11):
  // after the fold the re-evaluation blocks x's four at (4,9) for o and finds x winning.
  Position pos =
      stonePosition({{5, 4}, {6, 9}, {7, 9}, {8, 9}, {6, 10}, {7, 11}}, {{5, 5}, {5, 6}, {5, 7}, {9, 9}, {14, 3}}, "o");
  makeMove(pos, 5, 8);
  rescoreAround(pos, 5, 8);
  findBestCells(pos);
  const NodeId node = leaf(pos);

  GenerateAllChildren(search, node);
  const Position now = positionOfNode(node);
  EXPECT_EQ(at(node).value, kOpen) << "the verdict of the re-evaluation is not kept";
  EXPECT_TRUE(at(node).expanded);
  EXPECT_EQ(now.cells[5][9], kStoneX);
  EXPECT_EQ(now.cells[4][9], kStoneO) << "the forced block is part of the node's position";
  EXPECT_EQ(now.plyCount, 3);
  // x to move wins, and x is not the searcher: x's number, the disproof, is 0.
  EXPECT_FALSE(now.searcherToMove);
  EXPECT_TRUE(at(node).disproof == 0.0f);
  EXPECT_TRUE(infFloat(at(node).proof).inf);
  // x's open-four cells on the diagonal, (4,8) and (8,12), are the new children.
  EXPECT_EQ(sorted(moves(node)), sorted({{4, 8}, {8, 12}}));
}

TEST_F(ChildGeneration, DevelopEvaluatesEveryNewChild) {
  const Position pos = stonePosition({{10, 4}, {3, 15}, {15, 2}, {9, 9}}, {{10, 5}, {10, 6}, {10, 7}, {8, 8}}, "x");
  const NodeId developed = leaf(pos);
  evaluate(developed);
  DevelopNode(search, developed);
  // The same node generated in a tree of its own, its children left unjudged.
  Search other{sink, SearchLimits{}, diagnostics};
  const NodeId generated = startTree(other, pos);
  EvaluateNode(other, generated, other.path.positionAt(other.store, generated));
  GenerateAllChildren(other, generated);
  ASSERT_EQ(at(developed).childCount, other.store.node(generated).childCount);
  CellId a = at(developed).children;
  CellId b = other.store.node(generated).children;
  for (; a != kNoCell && b != kNoCell; a = search.store.cell(a).next, b = other.store.cell(b).next) {
    const NodeId childA = search.store.cell(a).node;
    const Node& child = at(childA);
    EXPECT_TRUE(child.evaluated);
    EXPECT_FALSE(child.expanded);
    EXPECT_FALSE(other.store.node(other.store.cell(b).node).evaluated);
    Position judged = positionOf(other.store, pos, other.store.cell(b).node);
    infFloat proof, disproof;
    EXPECT_EQ(child.value, evaluatePosition(judged, proof, disproof));
    EXPECT_FALSE(child.proof != proof);
    EXPECT_FALSE(child.disproof != disproof);
    EXPECT_EQ(std::memcmp(positionOfNode(childA).cells, judged.cells, sizeof judged.cells), 0);
  }
}

}  // namespace
}  // namespace brenk
