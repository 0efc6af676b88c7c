#include "engine/search/node.h"

#include <type_traits>

namespace brenk {

Node::Node(Node* parentNode, const Position& pos)
    : expanded(false),
      evaluated(false),
      childCount(0),
      children(nullptr),
      parent(parentNode),
      value(2),
      position(pos),
      proof(finite(1.0f)),
      disproof(finite(1.0f)) {}

NodeStore::NodeStore() : nodes_(kNodesPerChunk), cells_(kCellsPerChunk) {}

Node* NodeStore::createRoot(const Position& pos) {
  void* storage = nodes_.allocate();
  ++nodesCreated_;
  return new (storage) Node(nullptr, pos);
}

Node* NodeStore::createChild(Node* parent) {
  void* storage = nodes_.allocate();
  ++nodesCreated_;
  return new (storage) Node(parent, parent->position);
}

P2Node* NodeStore::createCell(Node* node) { return new (cells_.allocate()) P2Node{node, nullptr}; }

void NodeStore::destroyNode(Node* node) {
  if (node == nullptr) return;
  destroyCell(node->children);
  node->~Node();
  nodes_.release(node);
}

void NodeStore::destroyCell(P2Node* cell) {
  // Walks the list instead of recursing on `next`, so a long list cannot exhaust the stack.
  while (cell != nullptr) {
    P2Node* next = cell->next;
    destroyNode(cell->node);
    cells_.release(cell);
    cell = next;
  }
}

// destroyTree skips destructors, which is only sound while nodes and cells have none to run.
static_assert(std::is_trivially_destructible_v<Node> && std::is_trivially_destructible_v<P2Node>);

void NodeStore::destroyTree(Node* root) {
  if (root == nullptr) return;
  nodes_.releaseAll();
  cells_.releaseAll();
}

size_t NodeStore::growthBytes() {
  return kNodesPerChunk * sizeof(Node) + kCellsPerChunk * sizeof(P2Node);
}

size_t NodeStore::treeBytes() const {
  return nodes_.liveBlocks() * sizeof(Node) + cells_.liveBlocks() * sizeof(P2Node);
}

}  // namespace brenk
