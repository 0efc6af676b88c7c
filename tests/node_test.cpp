// Tree nodes: what a new root or child starts as, and what each destruction takes with it.
#include "engine/search/node.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/position/scoring.h"
#include "tests/support/board_text.h"
#include "tests/support/loaded_position.h"

namespace brenk {
namespace {

// A few stones of each side, scored, with x to move.
Position scoredPosition() {
  const testsupport::BoardText board =
      testsupport::BoardText{}.set(9, 9, 'x').set(9, 10, 'o').set(10, 10, 'x').set(8, 11, 'o').set(11, 11, 'x');
  return testsupport::scoredPosition(board.cells, "x");
}

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

void expectFreshNode(const Node& node) {
  EXPECT_FALSE(node.expanded);
  EXPECT_FALSE(node.evaluated);
  EXPECT_EQ(node.childCount, 0);
  EXPECT_EQ(node.children, nullptr);
  EXPECT_EQ(node.value, 2);
  EXPECT_FALSE(node.proof.inf);
  EXPECT_EQ(node.proof.value, 1.0f);
  EXPECT_FALSE(node.disproof.inf);
  EXPECT_EQ(node.disproof.value, 1.0f);
}

// Cells in use, derived from the store's byte count (it counts nodes and cells only).
size_t liveCells(const NodeStore& store) {
  return (store.treeBytes() - store.liveNodes() * sizeof(Node)) / sizeof(P2Node);
}

// Appends a fresh child of `parent` at the end of its list, as child generation links one.
Node* appendChild(NodeStore& store, Node* parent) {
  Node* child = store.createChild(parent);
  P2Node** tail = &parent->children;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = store.createCell(child);
  ++parent->childCount;
  return child;
}

P2Node* cellAt(Node* parent, int index) {
  P2Node* cell = parent->children;
  for (int i = 0; i < index; ++i) cell = cell->next;
  return cell;
}

TEST(NodeCreation, RootCopiesThePositionAndHasNoParent) {
  NodeStore store;
  const Position pos = scoredPosition();
  Node* root = store.createRoot(pos);
  EXPECT_EQ(root->parent, nullptr);
  expectFreshNode(*root);
  expectSamePosition(root->position, pos);
  EXPECT_EQ(store.nodesCreated(), 1u);
  EXPECT_EQ(store.liveNodes(), 1u);
  store.destroyNode(root);
}

TEST(NodeCreation, ChildIsAnExactCopyOfTheParentPositionWithFreshFields) {
  NodeStore store;
  Node* root = store.createRoot(scoredPosition());
  // A parent well past creation: moved, judged, numbers changed. None of it but the position
  // may reach the child.
  makeMove(root->position, 7, 7);
  rescoreAround(root->position, 7, 7);
  findBestCells(root->position);
  root->position.movingCategory = 5;
  root->expanded = true;
  root->evaluated = true;
  root->value = 0;
  root->proof = infinite();
  root->disproof = finite(0.0f);

  Node* child = store.createChild(root);
  EXPECT_EQ(child->parent, root);
  expectFreshNode(*child);
  expectSamePosition(child->position, root->position);
  EXPECT_EQ(child->position.plyCount, 1);
  EXPECT_EQ(child->position.movingCategory, 5);

  // The copy is private: moving on the child leaves the parent as it was.
  const Position before = root->position;
  makeMove(child->position, 12, 3);
  expectSamePosition(root->position, before);
  store.destroyNode(child);
  store.destroyNode(root);
}

class NodeDestruction : public ::testing::Test {
 protected:
  // root -> three children, each with two children of its own: 10 nodes, 9 cells.
  void SetUp() override {
    root = store.createRoot(scoredPosition());
    for (int i = 0; i < 3; ++i) {
      Node* child = appendChild(store, root);
      appendChild(store, child);
      appendChild(store, child);
    }
    ASSERT_EQ(store.liveNodes(), 10u);
    ASSERT_EQ(liveCells(store), 9u);
  }

  NodeStore store;
  Node* root = nullptr;
};

TEST_F(NodeDestruction, NodeWithoutChildrenFreesOnlyItself) {
  P2Node* grandchildCell = cellAt(cellAt(root, 0)->node, 1);
  Node* leaf = grandchildCell->node;
  cellAt(root, 0)->node->children->next = nullptr;  // unlink before removing, as the owner must
  --cellAt(root, 0)->node->childCount;
  grandchildCell->node = nullptr;
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
  P2Node* first = cellAt(root, 0);
  P2Node* second = first->next;
  first->next = nullptr;
  root->childCount = 1;
  store.destroyCell(second);
  // The second and third children go, each with two grandchildren and their cells.
  EXPECT_EQ(store.liveNodes(), 10u - 6u);
  EXPECT_EQ(liveCells(store), 9u - 6u);
  store.destroyNode(root);
  EXPECT_EQ(store.liveNodes(), 0u);
}

TEST_F(NodeDestruction, CellWithClearedNextTakesOnlyItsChild) {
  P2Node* first = cellAt(root, 0);
  P2Node* second = first->next;
  Node* third = second->next->node;
  first->next = second->next;
  second->next = nullptr;
  root->childCount = 2;
  store.destroyCell(second);
  EXPECT_EQ(store.liveNodes(), 10u - 3u);
  EXPECT_EQ(liveCells(store), 9u - 3u);
  EXPECT_EQ(cellAt(root, 1)->node, third);
  EXPECT_EQ(third->childCount, 2);
  store.destroyNode(root);
  EXPECT_EQ(store.liveNodes(), 0u);
  EXPECT_EQ(liveCells(store), 0u);
}

TEST_F(NodeDestruction, HandedNothingDoesNothing) {
  store.destroyNode(nullptr);
  store.destroyCell(nullptr);
  EXPECT_EQ(store.liveNodes(), 10u);
  EXPECT_EQ(liveCells(store), 9u);
  store.destroyNode(root);
}

TEST_F(NodeDestruction, FreedBlocksAreReusedWithoutGrowingTheHeap) {
  const size_t reserved = store.reservedBytes();
  store.destroyNode(root);
  root = store.createRoot(scoredPosition());
  for (int i = 0; i < 9; ++i) appendChild(store, root);
  EXPECT_EQ(store.liveNodes(), 10u);
  EXPECT_EQ(store.reservedBytes(), reserved);
  store.destroyNode(root);
}

TEST_F(NodeDestruction, WholeTreeGoesAtOnceAndTheHeapIsReturned) {
  // A pruned child first, so the free list holds a block when the arena is released.
  P2Node* first = cellAt(root, 0);
  root->children = first->next;
  first->next = nullptr;
  --root->childCount;
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
  root = store.createRoot(scoredPosition());
  appendChild(store, root);
  EXPECT_EQ(store.liveNodes(), 2u);
  store.destroyTree(root);
  EXPECT_EQ(store.liveNodes(), 0u);
  store.destroyTree(nullptr);  // handed nothing, does nothing
}

}  // namespace
}  // namespace brenk
