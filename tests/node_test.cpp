// Tree nodes: what a new root or child starts as, the moves a node records, and what each
// destruction takes with it.
#include "engine/search/node.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/position/types.h"

namespace brenk {
namespace {

void expectFreshNode(const Node& node) {
  EXPECT_FALSE(node.expanded);
  EXPECT_FALSE(node.evaluated);
  EXPECT_EQ(node.childCount, 0);
  EXPECT_EQ(node.children, kNoCell);
  EXPECT_EQ(node.value, 2);
  EXPECT_FALSE(infFloat(node.proof).inf);
  EXPECT_EQ(infFloat(node.proof).value, 1.0f);
  EXPECT_FALSE(infFloat(node.disproof).inf);
  EXPECT_EQ(infFloat(node.disproof).value, 1.0f);
  EXPECT_EQ(node.moveCount, 0) << "a new node stands for the position it was made from";
}

size_t liveCells(const NodeStore& store) { return store.liveCells(); }

// Appends a fresh child of `parent` at the end of its list, as child generation links one.
NodeId appendChild(NodeStore& store, NodeId parent) {
  const NodeId child = store.createChild(parent);
  CellId* tail = &store.node(parent).children;
  while (*tail != kNoCell) tail = &store.cell(*tail).next;
  *tail = store.createCell(child);
  ++store.node(parent).childCount;
  return child;
}

CellId cellAt(NodeStore& store, NodeId parent, int index) {
  CellId cell = store.node(parent).children;
  for (int i = 0; i < index; ++i) cell = store.cell(cell).next;
  return cell;
}

std::vector<std::pair<int, int>> movesOf(const NodeStore& store, NodeId id, std::vector<bool>* blocks = nullptr) {
  std::vector<std::pair<int, int>> moves;
  store.forEachMove(id, [&](PathMove m) {
    moves.emplace_back(m.row, m.col);
    if (blocks != nullptr) blocks->push_back(m.block);
  });
  return moves;
}

TEST(NodeCreation, RootHasNoParentAndNoMoves) {
  NodeStore store;
  const NodeId root = store.createRoot(false, 4);
  EXPECT_EQ(store.node(root).parent, kNoNode);
  expectFreshNode(store.node(root));
  EXPECT_FALSE(store.node(root).searcherToMove);
  EXPECT_EQ(store.node(root).movingCategory, 4);
  EXPECT_NE(root, kNoNode) << "no node may be named like the missing one";
  EXPECT_EQ(store.nodesCreated(), 1u);
  EXPECT_EQ(store.liveNodes(), 1u);
  store.destroyNode(root);
}

TEST(NodeCreation, ChildStandsForItsParentsPositionWithFreshFields) {
  NodeStore store;
  const NodeId root = store.createRoot(true, 1);
  // A parent well past creation: moved, judged, numbers changed. None of it but what its
  // position says may reach the child.
  Node& parent = store.node(root);
  store.appendMove(root, PathMove{7, 7, true});
  parent.movingCategory = 5;
  parent.searcherToMove = false;
  parent.expanded = true;
  parent.evaluated = true;
  parent.value = 0;
  parent.proof = infinite();
  parent.disproof = finite(0.0f);

  const NodeId child = store.createChild(root);
  EXPECT_EQ(store.node(child).parent, root);
  expectFreshNode(store.node(child));
  EXPECT_EQ(store.node(child).movingCategory, 5);
  EXPECT_FALSE(store.node(child).searcherToMove);
  store.appendMove(child, PathMove{12, 3, false});
  EXPECT_EQ(movesOf(store, root), (std::vector<std::pair<int, int>>{{7, 7}})) << "the records are private";
  store.destroyNode(child);
  store.destroyNode(root);
}

TEST(NodeMoves, KeepOrderAndBlockFlagsPastTheTwoHeldInPlace) {
  NodeStore store;
  const NodeId root = store.createRoot(true, 1);
  std::vector<std::pair<int, int>> expected;
  std::vector<bool> expectedBlocks;
  // Corners and edges of the board, so every coordinate bit is exercised; 20 moves fill
  // the two in place and four chained runs.
  for (int i = 0; i < 20; ++i) {
    const int row = (i * 7) % SOB, col = 19 - (i * 3) % SOB;
    const bool block = i % 3 == 1;
    store.appendMove(root, PathMove{static_cast<int8_t>(row), static_cast<int8_t>(col), block});
    expected.emplace_back(row, col);
    expectedBlocks.push_back(block);
    std::vector<bool> blocks;
    ASSERT_EQ(movesOf(store, root, &blocks), expected) << "after " << i + 1 << " moves";
    ASSERT_EQ(blocks, expectedBlocks);
    EXPECT_EQ(store.firstMove(root).row, 0);
    EXPECT_EQ(store.firstMove(root).col, 19);
  }
  EXPECT_GT(store.treeBytes(), sizeof(Node)) << "the moves past two live beside the node";
  store.destroyNode(root);
  EXPECT_EQ(store.treeBytes(), 0u) << "destroying the node frees its move runs";
}

class NodeDestruction : public ::testing::Test {
 protected:
  // root -> three children, each with two children of its own: 10 nodes, 9 cells.
  void SetUp() override {
    root = store.createRoot(true, 1);
    for (int i = 0; i < 3; ++i) {
      const NodeId child = appendChild(store, root);
      appendChild(store, child);
      appendChild(store, child);
    }
    ASSERT_EQ(store.liveNodes(), 10u);
    ASSERT_EQ(liveCells(store), 9u);
  }

  NodeStore store;
  NodeId root = kNoNode;
};

TEST_F(NodeDestruction, NodeWithoutChildrenFreesOnlyItself) {
  const NodeId child = store.cell(cellAt(store, root, 0)).node;
  const CellId grandchildCell = cellAt(store, child, 1);
  const NodeId leaf = store.cell(grandchildCell).node;
  store.cell(store.node(child).children).next = kNoCell;  // unlink before removing, as the owner must
  --store.node(child).childCount;
  store.cell(grandchildCell).node = kNoNode;
  store.destroyNode(leaf);
  EXPECT_EQ(store.liveNodes(), 9u);
  store.destroyCell(grandchildCell);  // a cell handed no node frees just itself
  EXPECT_EQ(liveCells(store), 8u);
  store.destroyNode(root);
  EXPECT_EQ(store.liveNodes(), 0u);
  EXPECT_EQ(liveCells(store), 0u);
}

TEST_F(NodeDestruction, NodeTakesItsWholeSubtree) {
  store.destroyNode(root);
  EXPECT_EQ(store.liveNodes(), 0u);
  EXPECT_EQ(liveCells(store), 0u);
  EXPECT_EQ(store.treeBytes(), 0u);
  EXPECT_EQ(store.nodesCreated(), 10u) << "removed nodes still count as created";
}

TEST_F(NodeDestruction, CellWithoutClearedNextTakesTheCellsAfterIt) {
  const CellId first = cellAt(store, root, 0);
  const CellId second = store.cell(first).next;
  store.cell(first).next = kNoCell;
  store.node(root).childCount = 1;
  store.destroyCell(second);
  // The second and third children go, each with two grandchildren and their cells.
  EXPECT_EQ(store.liveNodes(), 10u - 6u);
  EXPECT_EQ(liveCells(store), 9u - 6u);
  store.destroyNode(root);
  EXPECT_EQ(store.liveNodes(), 0u);
}

TEST_F(NodeDestruction, CellWithClearedNextTakesOnlyItsChild) {
  const CellId first = cellAt(store, root, 0);
  const CellId second = store.cell(first).next;
  const NodeId third = store.cell(store.cell(second).next).node;
  store.cell(first).next = store.cell(second).next;
  store.cell(second).next = kNoCell;
  store.node(root).childCount = 2;
  store.destroyCell(second);
  EXPECT_EQ(store.liveNodes(), 10u - 3u);
  EXPECT_EQ(liveCells(store), 9u - 3u);
  EXPECT_EQ(store.cell(cellAt(store, root, 1)).node, third);
  EXPECT_EQ(store.node(third).childCount, 2);
  store.destroyNode(root);
  EXPECT_EQ(store.liveNodes(), 0u);
  EXPECT_EQ(liveCells(store), 0u);
}

TEST_F(NodeDestruction, HandedNothingDoesNothing) {
  store.destroyNode(kNoNode);
  store.destroyCell(kNoCell);
  EXPECT_EQ(store.liveNodes(), 10u);
  EXPECT_EQ(liveCells(store), 9u);
  store.destroyNode(root);
}

TEST_F(NodeDestruction, FreedBlocksAreReusedWithoutGrowingTheHeap) {
  const size_t reserved = store.reservedBytes();
  store.destroyNode(root);
  root = store.createRoot(true, 1);
  for (int i = 0; i < 9; ++i) appendChild(store, root);
  EXPECT_EQ(store.liveNodes(), 10u);
  EXPECT_EQ(store.reservedBytes(), reserved);
  store.destroyNode(root);
}

TEST_F(NodeDestruction, WholeTreeGoesAtOnceAndTheHeapIsReturned) {
  // A pruned child first, so the free list holds a block when the arena is released.
  const CellId first = cellAt(store, root, 0);
  store.node(root).children = store.cell(first).next;
  store.cell(first).next = kNoCell;
  --store.node(root).childCount;
  store.destroyCell(first);
  ASSERT_EQ(store.liveNodes(), 7u);
  ASSERT_GT(store.reservedBytes(), 0u);

  store.destroyTree(root);
  EXPECT_EQ(store.liveNodes(), 0u);
  EXPECT_EQ(liveCells(store), 0u);
  EXPECT_EQ(store.treeBytes(), 0u);
  EXPECT_EQ(store.reservedBytes(), 0u) << "the chunks go back to the heap, not onto a free list";
  EXPECT_EQ(store.nodesCreated(), 10u);

  // The store stays usable: a new tree starts from fresh chunks.
  root = store.createRoot(true, 1);
  appendChild(store, root);
  EXPECT_EQ(store.liveNodes(), 2u);
  store.destroyTree(root);
  EXPECT_EQ(store.liveNodes(), 0u);
  store.destroyTree(kNoNode);  // handed nothing, does nothing
}

}  // namespace
}  // namespace brenk
