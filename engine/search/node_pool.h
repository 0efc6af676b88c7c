// Fixed-size blocks for tree nodes and list cells, carved from large chunks. Freed blocks are
// reused by the same search; the whole tree's memory goes back in one sweep when the pool dies,
// so ending a search never costs the manager's time. The pool also counts what the tree holds,
// which is how the search keeps to its memory budget.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace brenk {

template <typename T>
class BlockPool {
 public:
  explicit BlockPool(size_t blocksPerChunk) : blocksPerChunk_(blocksPerChunk) {}
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // Raw storage for one T; throws std::bad_alloc when the heap refuses a new chunk.
  void* allocate() {
    if (freeList_ != nullptr) {
      FreeBlock* block = freeList_;
      freeList_ = block->next;
      ++live_;
      return block;
    }
    if (chunks_.empty() || usedInLastChunk_ == blocksPerChunk_) {
      chunks_.push_back(std::make_unique<Slot[]>(blocksPerChunk_));
      usedInLastChunk_ = 0;
    }
    ++live_;
    return &chunks_.back()[usedInLastChunk_++];
  }

  void release(void* p) {
    auto* block = static_cast<FreeBlock*>(p);
    block->next = freeList_;
    freeList_ = block;
    --live_;
  }

  // Gives every block back at once, live or free, and returns the chunks to the heap.
  void releaseAll() {
    chunks_.clear();
    usedInLastChunk_ = 0;
    freeList_ = nullptr;
    live_ = 0;
  }

  size_t liveBlocks() const { return live_; }
  size_t reservedBytes() const { return chunks_.size() * blocksPerChunk_ * sizeof(Slot); }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  union alignas(alignof(T) > alignof(FreeBlock) ? alignof(T) : alignof(FreeBlock)) Slot {
    unsigned char storage[sizeof(T) > sizeof(FreeBlock) ? sizeof(T) : sizeof(FreeBlock)];
    FreeBlock free;
    Slot() {}
  };

  size_t blocksPerChunk_;
  std::vector<std::unique_ptr<Slot[]>> chunks_;
  size_t usedInLastChunk_ = 0;
  FreeBlock* freeList_ = nullptr;
  size_t live_ = 0;
};

}  // namespace brenk
