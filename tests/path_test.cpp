// Positions rebuilt from the tree: a node's recorded moves, replayed, must give the position the
// search worked with. Checked on real search trees from random games against positions built
// from scratch (moves played, then every score computed anew), and the path cache against a
// replay from the root.
#include "engine/search/path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "engine/position/scoring.h"
#include "engine/position/verdict.h"
#include "engine/search/children.h"
#include "engine/search/pnsearch.h"
#include "tests/support/board_text.h"
#include "tests/support/loaded_position.h"

namespace brenk {
namespace {

// Field by field, so padding bytes cannot make equal positions differ.
void expectSamePosition(const Position& a, const Position& b) {
  EXPECT_EQ(std::memcmp(a.cells, b.cells, sizeof a.cells), 0);
  EXPECT_EQ(std::memcmp(a.scores, b.scores, sizeof a.scores), 0);
  EXPECT_EQ(a.minCol, b.minCol);
  EXPECT_EQ(a.maxCol, b.maxCol);
  EXPECT_EQ(a.minRow, b.minRow);
  EXPECT_EQ(a.maxRow, b.maxRow);
  EXPECT_EQ(a.lastRow, b.lastRow);
  EXPECT_EQ(a.lastCol, b.lastCol);
  EXPECT_EQ(a.stoneCount, b.stoneCount);
  EXPECT_EQ(a.searcherToMove, b.searcherToMove);
  EXPECT_EQ(a.firstMoveSet, b.firstMoveSet);
  EXPECT_EQ(a.toMove, b.toMove);
  EXPECT_EQ(a.opponent, b.opponent);
  EXPECT_EQ(a.plyCount, b.plyCount);
  EXPECT_EQ(a.firstRow, b.firstRow);
  EXPECT_EQ(a.firstCol, b.firstCol);
  EXPECT_EQ(a.movingCategory, b.movingCategory);
  EXPECT_EQ(a.bestOwnRow, b.bestOwnRow);
  EXPECT_EQ(a.bestOwnCol, b.bestOwnCol);
  EXPECT_EQ(a.bestOppRow, b.bestOppRow);
  EXPECT_EQ(a.bestOppCol, b.bestOppCol);
  EXPECT_EQ(a.bestMixRow, b.bestMixRow);
  EXPECT_EQ(a.bestMixCol, b.bestMixCol);
  EXPECT_EQ(a.bestOwnScore, b.bestOwnScore);
  EXPECT_EQ(a.bestOppScore, b.bestOppScore);
  EXPECT_EQ(a.bestMixScore, b.bestMixScore);
}

// A position after a short random game near the centre, scored, the side to move searching.
Position randomGamePosition(std::mt19937& rng, int stones) {
  testsupport::BoardText board;
  std::uniform_int_distribution<int> near(6, 13);
  for (int placed = 0; placed < stones;) {
    const int row = near(rng), col = near(rng);
    if (board.cells[static_cast<size_t>(row * 20 + col)] != '-') continue;
    board.set(row, col, placed % 2 == 0 ? 'x' : 'o');
    ++placed;
  }
  return testsupport::scoredPosition(board.cells, stones % 2 == 0 ? "x" : "o");
}

// The path from the root down to `id`, root first.
std::vector<NodeId> pathTo(const NodeStore& store, NodeId id) {
  std::vector<NodeId> path;
  for (NodeId n = id; n != kNoNode; n = store.node(n).parent) path.insert(path.begin(), n);
  return path;
}

// The node's position the slow way: every recorded move on the path played on the root's board
// (a forced block leaves firstMoveSet as it was), then all 400 cells scored anew.
Position fromScratch(const NodeStore& store, const Position& rootBase, NodeId id) {
  Position pos = rootBase;
  for (NodeId n : pathTo(store, id)) {
    store.forEachMove(n, [&pos](PathMove m) {
      const bool wasSet = pos.firstMoveSet;
      makeMove(pos, m.row, m.col);
      if (m.block) pos.firstMoveSet = wasSet;
    });
  }
  rescoreAll(pos);
  findBestCells(pos);
  pos.movingCategory = store.node(id).movingCategory;
  return pos;
}

void collect(const NodeStore& store, NodeId id, std::vector<NodeId>& out) {
  out.push_back(id);
  for (CellId c = store.node(id).children; c != kNoCell; c = store.cell(c).next) collect(store, store.cell(c).node, out);
}

class RebuiltPositions : public ::testing::Test {
 protected:
  // Develops the tree a few iterations the way the search loop does.
  NodeId grow(Search& search, const Position& pos, int iterations) {
    const NodeId root = startTree(search, pos);
    EvaluateNode(search, root, search.path.positionAt(search.store, root));
    SetProofAndDisproofNumbers(search.store, root);
    NodeId start = root;
    for (int i = 0; i < iterations && search.store.node(root).value == kOpen; ++i) {
      const Node& r = search.store.node(root);
      if (r.proof == 0.0f || r.disproof == 0.0f) break;
      const NodeId leaf = SelectMostProoving(search, start);
      DevelopNode(search, leaf);
      start = UpdateAncestors(search.store, leaf);
    }
    return root;
  }

  RecordingSink sink;
  std::ostringstream diagnostics;
};

TEST_F(RebuiltPositions, ReplayEqualsPlayingTheMovesFromScratchOnRandomPaths) {
  std::mt19937 rng(20261209);
  int compared = 0, withBlocks = 0, folded = 0;
  for (int game = 0; game < 24; ++game) {
    const Position pos = randomGamePosition(rng, 4 + game % 9);
    Search search(sink, SearchLimits{}, diagnostics);
    NodeId root = kNoNode;
    try {
      root = grow(search, pos, 40);
    } catch (const ForcedRootMove&) {
      continue;
    }
    std::vector<NodeId> nodes;
    collect(search.store, root, nodes);
    std::shuffle(nodes.begin(), nodes.end(), rng);
    nodes.resize(std::min<size_t>(nodes.size(), 30));
    for (NodeId id : nodes) {
      SCOPED_TRACE(testing::Message() << "game " << game << ", node " << id);
      const Position expected = fromScratch(search.store, pos, id);
      expectSamePosition(positionOf(search.store, pos, id), expected);
      // The cached path, asked in random order, reuses what it holds and must not drift.
      expectSamePosition(search.path.positionAt(search.store, id), expected);
      const Node& node = search.store.node(id);
      EXPECT_EQ(node.searcherToMove, expected.searcherToMove);
      bool block = false;
      search.store.forEachMove(id, [&block](PathMove m) { block = block || m.block; });
      withBlocks += block;
      folded += node.expanded && node.moveCount > 1 && !block;
      ++compared;
    }
  }
  EXPECT_GT(compared, 300);
  EXPECT_GT(withBlocks, 0) << "no forced block was replayed: the games are too quiet";
  EXPECT_GT(folded, 0) << "no collapse was replayed";
}

TEST_F(RebuiltPositions, EvaluatedLeafRecordsWhatItsEvaluationPlayedAndSaid) {
  std::mt19937 rng(7);
  int leaves = 0;
  for (int game = 0; game < 12; ++game) {
    const Position pos = randomGamePosition(rng, 5 + game % 7);
    Search search(sink, SearchLimits{}, diagnostics);
    NodeId root = kNoNode;
    try {
      root = grow(search, pos, 15);
    } catch (const ForcedRootMove&) {
      continue;
    }
    std::vector<NodeId> nodes;
    collect(search.store, root, nodes);
    for (NodeId id : nodes) {
      const Node& node = search.store.node(id);
      if (id == root || node.expanded) continue;
      // Judge the parent's position with the child's own move played, independently of the tree.
      Position judged = fromScratch(search.store, pos, node.parent);
      const PathMove move = search.store.firstMove(id);
      ASSERT_FALSE(move.block);
      makeMove(judged, move.row, move.col);
      rescoreAll(judged);
      findBestCells(judged);
      infFloat proof, disproof;
      std::vector<BoardCell> blocks;
      ASSERT_EQ(node.value, evaluatePosition(judged, proof, disproof, &blocks));
      EXPECT_FALSE(node.proof != proof);
      EXPECT_FALSE(node.disproof != disproof);
      EXPECT_EQ(node.movingCategory, judged.movingCategory);
      ASSERT_EQ(node.moveCount, 1 + blocks.size());
      int i = 0;
      search.store.forEachMove(id, [&](PathMove m) {
        if (i > 0) {
          EXPECT_TRUE(m.block);
          EXPECT_EQ(m.row, blocks[i - 1].row);
          EXPECT_EQ(m.col, blocks[i - 1].col);
        }
        ++i;
      });
      ++leaves;
    }
  }
  EXPECT_GT(leaves, 200);
}

}  // namespace
}  // namespace brenk
