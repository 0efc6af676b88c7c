// The proof-number loop: combining children's numbers, choosing the most-proving leaf, updating
// ancestors, and the move PnSearch chooses for each outcome. The combination rules run on trees
// built by hand; the outcomes on small real positions whose result is known from the game.
#include "engine/search/pnsearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <set>
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

const infFloat kInf = infinite();
infFloat num(float value) { return finite(value); }

void expectNumber(infFloat actual, infFloat expected, const char* what) {
  EXPECT_EQ(actual.inf, expected.inf) << what;
  if (!expected.inf) {
    EXPECT_EQ(actual.value, expected.value) << what;
  }
}

// Remembers every move in order, where the move file would keep only the last.
class HistorySink : public MoveSink {
 public:
  Cells moves;

 protected:
  void deliver(int row, int col) override { moves.emplace_back(row, col); }
};

class HandBuiltTree : public ::testing::Test {
 protected:
  Node& at(NodeId id) { return search.store.node(id); }

  // An expanded node; OR when the searcher is to move.
  NodeId inner(bool orNode, NodeId parent = kNoNode) {
    const NodeId node = parent == kNoNode ? search.store.createRoot(orNode, 1) : child(parent, num(1), num(1));
    at(node).searcherToMove = orNode;
    at(node).expanded = true;
    at(node).evaluated = true;
    return node;
  }

  // An evaluated leaf appended to `parent`'s list, with the numbers its evaluation gave it.
  NodeId child(NodeId parent, infFloat proof, infFloat disproof) {
    const NodeId node = search.store.createChild(parent);
    at(node).searcherToMove = !at(parent).searcherToMove;
    at(node).evaluated = true;
    at(node).proof = proof;
    at(node).disproof = disproof;
    CellId* tail = &at(parent).children;
    while (*tail != kNoCell) tail = &search.store.cell(*tail).next;
    *tail = search.store.createCell(node);
    ++at(parent).childCount;
    return node;
  }

  HistorySink sink;
  std::ostringstream diagnostics;
  Search search{sink, SearchLimits{}, diagnostics};
};

TEST_F(HandBuiltTree, LeafKeepsItsEvaluationOrStartsAtOneOne) {
  const NodeId root = search.store.createRoot(true, 1);
  at(root).proof = num(5);
  at(root).disproof = kInf;
  SetProofAndDisproofNumbers(search.store, root);
  expectNumber(at(root).proof, num(1), "unevaluated proof");
  expectNumber(at(root).disproof, num(1), "unevaluated disproof");

  at(root).evaluated = true;
  at(root).proof = num(0.3f);
  at(root).disproof = kInf;
  SetProofAndDisproofNumbers(search.store, root);
  expectNumber(at(root).proof, num(0.3f), "evaluated proof");
  expectNumber(at(root).disproof, kInf, "evaluated disproof");
}

TEST_F(HandBuiltTree, OrNodeTakesTheLeastProofAndSumsTheDisproofs) {
  NodeId node = inner(true);
  child(node, num(3), num(1));
  child(node, kInf, num(0));
  child(node, num(2), num(4));
  SetProofAndDisproofNumbers(search.store, node);
  expectNumber(at(node).proof, num(2), "proof");
  expectNumber(at(node).disproof, num(5), "disproof");

  child(node, num(7), kInf);
  SetProofAndDisproofNumbers(search.store, node);
  expectNumber(at(node).proof, num(2), "proof");
  expectNumber(at(node).disproof, kInf, "one infinite disproof makes the sum infinite");
}

TEST_F(HandBuiltTree, OrNodeWithAProvedChildIsProved) {
  NodeId node = inner(true);
  child(node, num(0.5f), num(2));
  child(node, num(0), kInf);
  SetProofAndDisproofNumbers(search.store, node);
  expectNumber(at(node).proof, num(0), "proof");
  expectNumber(at(node).disproof, kInf, "disproof");
}

TEST_F(HandBuiltTree, AndNodeSumsTheProofsAndTakesTheLeastDisproof) {
  NodeId node = inner(false);
  child(node, num(1), num(4));
  child(node, num(2), num(3));
  SetProofAndDisproofNumbers(search.store, node);
  expectNumber(at(node).proof, num(3), "proof");
  expectNumber(at(node).disproof, num(3), "disproof");

  child(node, kInf, num(0.5f));
  SetProofAndDisproofNumbers(search.store, node);
  expectNumber(at(node).proof, kInf, "proof");
  expectNumber(at(node).disproof, num(0.5f), "disproof");
}

TEST_F(HandBuiltTree, AllInfiniteChildrenGiveAnInfiniteNumber) {
  NodeId orNode = inner(true);
  child(orNode, kInf, num(0));
  child(orNode, kInf, num(0));
  SetProofAndDisproofNumbers(search.store, orNode);
  expectNumber(at(orNode).proof, kInf, "OR proof");
  expectNumber(at(orNode).disproof, num(0), "OR disproof: refuted");

  NodeId andNode = inner(false);
  child(andNode, num(0), kInf);
  child(andNode, num(0), kInf);
  SetProofAndDisproofNumbers(search.store, andNode);
  expectNumber(at(andNode).proof, num(0), "AND proof: proved");
  expectNumber(at(andNode).disproof, kInf, "AND disproof");
}

TEST_F(HandBuiltTree, ExpandedNodeWithoutChildrenIsAnError) {
  NodeId node = inner(true);
  try {
    SetProofAndDisproofNumbers(search.store, node);
    ADD_FAILURE() << "no exception for an empty list";
  } catch (const Excpt& e) {
    EXPECT_EQ(e.code, 3);
    EXPECT_STREQ(e.message, "Neocekavana chyba");
    EXPECT_STREQ(e.where, "Node::SetProofAndDisproofNumbers()");
  }
  at(node).childCount = 2;  // counted, but no list
  try {
    SetProofAndDisproofNumbers(search.store, node);
    ADD_FAILURE() << "no exception for a missing list";
  } catch (const Excpt& e) {
    EXPECT_STREQ(e.where, "Node::SetProofAndDisproofNumbers()");
  }
}

TEST_F(HandBuiltTree, OrCellWithoutANodeIsATextError) {
  NodeId node = inner(true);
  child(node, num(1), num(1));
  NodeId second = child(node, num(1), num(1));
  search.store.cell(search.store.cell(at(node).children).next).node = kNoNode;
  try {
    SetProofAndDisproofNumbers(search.store, node);
    ADD_FAILURE() << "no exception";
  } catch (const char* text) {
    EXPECT_STREQ(text, "Node::SetProofAndDisproofNumbers()");
  }
  search.store.destroyNode(second);
}

TEST_F(HandBuiltTree, SelectionTakesTheFirstMatchingChild) {
  NodeId root = inner(true);
  child(root, num(3), num(1));
  NodeId second = child(root, num(2), num(1));
  child(root, num(2), num(1));
  SetProofAndDisproofNumbers(search.store, root);
  ASSERT_EQ(infFloat(at(root).proof).value, 2.0f);
  EXPECT_EQ(SelectMostProoving(search, root), second);
}

TEST_F(HandBuiltTree, SelectionDescendsThroughAndNodesByDisproof) {
  NodeId root = inner(true);
  child(root, num(5), num(1));
  NodeId andNode = inner(false, root);
  child(andNode, num(1), num(4));
  NodeId wanted = child(andNode, num(1), num(2));
  child(andNode, num(1), num(2));
  SetProofAndDisproofNumbers(search.store, andNode);  // proof 3, disproof 2
  SetProofAndDisproofNumbers(search.store, root);     // proof 3: the AND node
  EXPECT_EQ(SelectMostProoving(search, root), wanted);
  EXPECT_EQ(SelectMostProoving(search, wanted), wanted) << "an unexpanded node is its own answer";
}

TEST_F(HandBuiltTree, InfiniteMatchesInfiniteWhateverFloatItCarries) {
  NodeId andNode = inner(false);
  at(andNode).disproof = infFloat{true, 5.0f};
  child(andNode, num(1), num(5));  // the float is the same, yet finite never matches infinite
  NodeId wanted = child(andNode, num(1), infFloat{true, 0.0f});
  EXPECT_EQ(SelectMostProoving(search, andNode), wanted);

  NodeId orNode = inner(true);
  at(orNode).proof = kInf;
  NodeId first = child(orNode, infFloat{true, 9.0f}, num(0));
  child(orNode, kInf, num(0));
  EXPECT_EQ(SelectMostProoving(search, orNode), first);
}

TEST_F(HandBuiltTree, SelectionAtAnExpandedNodeWithoutChildrenPrintsItsNumbers) {
  NodeId node = inner(true);
  at(node).proof = num(2);
  at(node).disproof = kInf;
  try {
    SelectMostProoving(search, node);
    ADD_FAILURE() << "no exception";
  } catch (const Excpt& e) {
    EXPECT_EQ(e.code, 3);
    EXPECT_STREQ(e.message, "Neocekavana chyba");
    EXPECT_STREQ(e.where, "Node::SelectMostProoving()");
  }
  EXPECT_EQ(diagnostics.str(), "2,'OO'\n");
}

TEST_F(HandBuiltTree, SelectionWithNoMatchingChildIsATextError) {
  NodeId node = inner(false);
  child(node, num(1), num(2));
  child(node, num(1), kInf);
  at(node).disproof = num(1);
  try {
    SelectMostProoving(search, node);
    ADD_FAILURE() << "no exception";
  } catch (const char* text) {
    EXPECT_STREQ(text, "Node* Node::SelectMostProoving()");
  }
  EXPECT_EQ(diagnostics.str(), "");
}

class UpdateFixture : public HandBuiltTree {
 protected:
  // root (OR) -> R1 and middle (AND); middle -> M1 and bottom (OR); bottom -> leafA, leafB.
  // bottom: proof min(2, 3) = 2, disproof 1 + 1 = 2; middle: proof 1 + 2 = 3, disproof
  // min(1, 2) = 1; root: proof min(4, 3) = 3, disproof 1 + 1 = 2.
  void SetUp() override {
    root = inner(true);
    child(root, num(4), num(1));
    middle = inner(false, root);
    child(middle, num(1), num(1));
    bottom = inner(true, middle);
    leafA = child(bottom, num(2), num(1));
    leafB = child(bottom, num(3), num(1));
    for (NodeId node : {bottom, middle, root}) SetProofAndDisproofNumbers(search.store, node);
    ASSERT_EQ(infFloat(at(root).proof).value, 3.0f);
    ASSERT_EQ(infFloat(at(root).disproof).value, 2.0f);
  }

  NodeId root = kNoNode;
  NodeId middle = kNoNode;
  NodeId bottom = kNoNode;
  NodeId leafA = kNoNode;
  NodeId leafB = kNoNode;
};

TEST_F(UpdateFixture, UnchangedNodeIsTheOnlyOneRecomputed) {
  at(root).proof = num(99);  // a recomputed root would lose this
  EXPECT_EQ(UpdateAncestors(search.store, bottom), bottom);
  EXPECT_EQ(infFloat(at(root).proof).value, 99.0f);
}

TEST_F(UpdateFixture, StopsAtTheFirstNodeWhoseNumbersStay) {
  // bottom's disproof becomes 3; middle keeps min(1, 3) = 1 and its proof, so it stops there.
  at(leafA).disproof = num(2);
  at(root).proof = num(99);
  EXPECT_EQ(UpdateAncestors(search.store, bottom), middle);
  expectNumber(at(bottom).disproof, num(3), "bottom");
  EXPECT_EQ(infFloat(at(root).proof).value, 99.0f) << "nothing above the stop is recomputed";
}

TEST_F(UpdateFixture, ProofChangeRunsUpToTheRoot) {
  at(leafA).proof = num(2.5f);  // bottom 2.5, middle 3.5, root min(4, 3.5) = 3.5
  EXPECT_EQ(UpdateAncestors(search.store, bottom), root);
  expectNumber(at(middle).proof, num(3.5f), "middle");
  expectNumber(at(root).proof, num(3.5f), "root");
}

TEST_F(UpdateFixture, DisproofChangeAloneCountsAsAChange) {
  at(leafA).disproof = num(0);  // bottom 0 + 0 = 0, middle min(1, 0) = 0, root 1 + 0 = 1
  at(leafB).disproof = num(0);
  EXPECT_EQ(UpdateAncestors(search.store, bottom), root);
  expectNumber(at(middle).disproof, num(0), "middle");
  expectNumber(at(root).disproof, num(1), "root");
  expectNumber(at(root).proof, num(3), "root proof unchanged");
}

TEST_F(UpdateFixture, InfinitiesWithDifferentFloatsAreNoChange) {
  at(leafA).proof = kInf;
  at(leafB).proof = kInf;
  at(bottom).proof = infFloat{true, 42.0f};  // already infinite, with another stale float
  at(root).proof = num(99);
  EXPECT_EQ(UpdateAncestors(search.store, bottom), bottom);
  EXPECT_EQ(infFloat(at(root).proof).value, 99.0f);
}

// A real position from stone lists (row, col), scored, x to move.
Position stonePosition(const Cells& xs, const Cells& os) {
  return testsupport::scoredPosition(testsupport::BoardText{}.place(xs, 'x').place(os, 'o').cells, "x");
}

// x: (5,5) (5,6) . (5,8) makes an open four at (5,7); o has the same shape on row 12.
const Cells kOpenFourShapeX = {{5, 5}, {5, 6}, {5, 8}};
const Cells kOpenFourShapeO = {{12, 5}, {12, 6}, {12, 8}};
// Two four-threes for one side: (9,9) joins a three closed by (9,5) with two stones on column
// 9; (3,15) joins a three closed by (3,11) with two stones on column 15. Each wins: the four
// forces its block, and the three then becomes an open four. No other cell makes a four and an
// open three at once. The other side gets the closing stones and three loose ones.
const Cells kTwoFourThrees = {{9, 6}, {9, 7}, {9, 8}, {10, 9}, {11, 9}, {3, 12}, {3, 13}, {3, 14}, {4, 15}, {5, 15}};
const Cells kClosers = {{9, 5}, {3, 11}, {15, 3}, {16, 16}, {0, 19}};
const Cells kFourThreeCells = {{3, 15}, {9, 9}};
// A quiet opening: nothing forced for either side for many plies.
const Cells kQuietX = {{9, 9}, {10, 10}, {8, 11}};
const Cells kQuietO = {{9, 10}, {10, 9}, {11, 11}};

class SearchOutcome : public ::testing::Test {
 protected:
  SearchOutcome() {
    limits.clock = &clock;
    limits.timeAllowanceMs = INT32_MAX;  // only the iteration cap ends these searches
  }

  void run(const Position& pos, int64_t maxIterations) {
    limits.maxIterations = maxIterations;
    search = std::make_unique<Search>(sink, limits, diagnostics);
    root = startTree(*search, pos);
    lastSelected = PnSearch(*search, root);
  }

  Node& at(NodeId id) { return search->store.node(id); }
  // Rebuilt from the root's position by playing the recorded moves again.
  Position positionOfNode(NodeId id) const { return positionOf(search->store, search->path.rootBase(), id); }

  Cells provedChildrenInListOrder() {
    Cells cells;
    for (CellId cell = at(root).children; cell != kNoCell; cell = search->store.cell(cell).next) {
      const NodeId child = search->store.cell(cell).node;
      if (at(child).proof == 0.0f) cells.emplace_back(positionOfNode(child).firstRow, positionOfNode(child).firstCol);
    }
    return cells;
  }

  Clock clock;
  SearchLimits limits;
  HistorySink sink;
  std::ostringstream diagnostics;
  std::unique_ptr<Search> search;
  NodeId root = kNoNode;
  NodeId lastSelected = kNoNode;
};

TEST_F(SearchOutcome, WonRootPlaysItsBestOwnCellWithoutATree) {
  run(stonePosition(kOpenFourShapeX, kOpenFourShapeO), 100);
  EXPECT_EQ(at(root).value, kWon);
  EXPECT_EQ(sink.moves, (Cells{{5, 7}}));
  EXPECT_EQ(search->store.nodesCreated(), 1u);
  EXPECT_EQ(search->stats.iterations, 0);
  EXPECT_EQ(lastSelected, root);
}

TEST_F(SearchOutcome, LostRootPlaysItsBestOpponentCellWithoutATree) {
  // The same board judged for the other side: the mover wins, and the mover is not the searcher.
  Position pos = stonePosition(kOpenFourShapeX, kOpenFourShapeO);
  pos.searcherToMove = false;
  run(pos, 100);
  EXPECT_EQ(at(root).value, kLost);
  EXPECT_EQ(sink.moves, (Cells{{12, 7}}));
  EXPECT_EQ(search->store.nodesCreated(), 1u);
}

TEST_F(SearchOutcome, ProvedRootWritesEveryProvedChildSoTheLastStands) {
  run(stonePosition(kTwoFourThrees, kClosers), 50);
  EXPECT_EQ(at(root).value, kWon);
  expectNumber(at(root).proof, num(0), "root proof");
  expectNumber(at(root).disproof, kInf, "root disproof");
  const Cells proved = provedChildrenInListOrder();
  EXPECT_EQ(std::set<Cell>(proved.begin(), proved.end()),
            std::set<Cell>(kFourThreeCells.begin(), kFourThreeCells.end()));
  EXPECT_EQ(sink.moves, proved);
  EXPECT_EQ(Cell(sink.row(), sink.col()), proved.back());
}

TEST_F(SearchOutcome, DisprovedRootPlaysTheBestOpponentCellThoughItHasChildren) {
  // The sides swapped: x cannot meet both of o's four-threes with one move.
  run(stonePosition(kClosers, kTwoFourThrees), 500);
  EXPECT_EQ(at(root).value, kLost);
  expectNumber(at(root).disproof, num(0), "root disproof");
  expectNumber(at(root).proof, kInf, "root proof");
  EXPECT_GT(at(root).childCount, 0);
  ASSERT_EQ(sink.moves.size(), 1u);
  EXPECT_EQ(sink.moves[0], Cell(positionOfNode(root).bestOppRow, positionOfNode(root).bestOppCol));
  EXPECT_NE(std::find(kFourThreeCells.begin(), kFourThreeCells.end(), sink.moves[0]), kFourThreeCells.end());
}

int countExpanded(const NodeStore& store, NodeId id) {
  int count = store.node(id).expanded ? 1 : 0;
  for (CellId cell = store.node(id).children; cell != kNoCell; cell = store.cell(cell).next) {
    count += countExpanded(store, store.cell(cell).node);
  }
  return count;
}

// Every expanded node's numbers are those its children give it.
void expectConsistent(NodeStore& store, NodeId id) {
  Node& node = store.node(id);
  if (!node.expanded) return;
  const infFloat proof = node.proof, disproof = node.disproof;
  SetProofAndDisproofNumbers(store, id);
  EXPECT_FALSE(node.proof != proof);
  EXPECT_FALSE(node.disproof != disproof);
  for (CellId cell = node.children; cell != kNoCell; cell = store.cell(cell).next) {
    expectConsistent(store, store.cell(cell).node);
  }
}

TEST_F(SearchOutcome, OpenSearchPlaysTheFirstMoveTowardsTheLastSelectedNode) {
  const Position pos = stonePosition(kQuietX, kQuietO);
  run(pos, 6);
  ASSERT_EQ(at(root).value, kOpen);
  EXPECT_EQ(search->stats.iterations, 6);
  EXPECT_EQ(countExpanded(search->store, root), 6) << "one development per iteration";
  expectConsistent(search->store, root);
  ASSERT_NE(lastSelected, root);
  EXPECT_TRUE(at(lastSelected).expanded);
  ASSERT_EQ(sink.moves.size(), 1u);
  const auto [row, col] = sink.moves[0];
  const Position selected = positionOfNode(lastSelected);
  EXPECT_EQ(row, selected.firstRow);
  EXPECT_EQ(col, selected.firstCol);
  // Independently of the bookkeeping: the cell was free at the root, and on the selected
  // node's board it holds a stone of the side that moved first.
  EXPECT_EQ(pos.cells[row][col], kEmpty);
  EXPECT_EQ(selected.cells[row][col], pos.toMove);
}

TEST_F(SearchOutcome, NoIterationPlaysTheRootsBestMixCell) {
  const Position pos = stonePosition(kQuietX, kQuietO);
  const Cell bestMix(pos.bestMixRow, pos.bestMixCol);
  auto expectRootMove = [&](const char* why) {
    EXPECT_EQ(at(root).value, kOpen) << why;
    EXPECT_EQ(lastSelected, root) << why;
    EXPECT_EQ(search->stats.iterations, 0) << why;
    EXPECT_EQ(sink.moves, Cells{bestMix}) << why;
    sink.moves.clear();
  };
  run(pos, 0);
  expectRootMove("iteration cap 0");
  limits.timeAllowanceMs = 0;
  run(pos, kNoIterationCap);
  expectRootMove("allowance 0");
  limits.timeAllowanceMs = -1;
  run(pos, kNoIterationCap);
  expectRootMove("negative allowance");
  limits.timeAllowanceMs = INT32_MAX;
  limits.memoryBudget = 0;
  run(pos, kNoIterationCap);
  expectRootMove("no memory");
  EXPECT_TRUE(search->stats.stoppedByMemory);
}

}  // namespace
}  // namespace brenk
