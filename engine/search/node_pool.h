// Fixed-size blocks for the search tree, carved from large chunks and named by 32-bit ids, so the
// links between nodes cost half of what pointers would. Freed blocks are reused by the same search;
// the whole tree's memory goes back in one sweep, so ending a search never costs the manager's
// time. The pool also counts what the tree holds, which is how the search keeps to its budget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace brenk {

// Id 0 is never handed out: it stands for "none" in every link.
inline constexpr uint32_t kNoBlock = 0;

template <typename T, unsigned ChunkBits>
class BlockPool {
 public:
  static constexpr size_t kBlocksPerChunk = size_t{1} << ChunkBits;

  BlockPool() = default;
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // Storage for one T; throws std::bad_alloc when the heap refuses a new chunk or the ids run out.
  uint32_t allocate() {
    if (freeList_ != kNoBlock) {
      const uint32_t id = freeList_;
      freeList_ = slot(id).free;
      ++live_;
      return id;
    }
    if (chunks_.empty() || usedInLastChunk_ == kBlocksPerChunk) {
      if (chunks_.size() >= (size_t{1} << (32 - ChunkBits))) throw std::bad_alloc();
      chunks_.push_back(std::make_unique<Slot[]>(kBlocksPerChunk));
      usedInLastChunk_ = chunks_.size() == 1 ? 1 : 0;  // slot 0 of the first chunk is "none"
    }
    ++live_;
    return static_cast<uint32_t>(((chunks_.size() - 1) << ChunkBits) | usedInLastChunk_++);
  }

  void release(uint32_t id) {
    slot(id).free = freeList_;
    freeList_ = id;
    --live_;
  }

  T& operator[](uint32_t id) { return *reinterpret_cast<T*>(slot(id).storage); }
  const T& operator[](uint32_t id) const { return *reinterpret_cast<const T*>(slot(id).storage); }

  // Gives every block back at once, live or free, and returns the chunks to the heap.
  void releaseAll() {
    chunks_.clear();
    usedInLastChunk_ = 0;
    freeList_ = kNoBlock;
    live_ = 0;
  }

  size_t liveBlocks() const { return live_; }
  size_t reservedBytes() const { return chunks_.size() * kBlocksPerChunk * sizeof(Slot); }
  static constexpr size_t chunkBytes() { return kBlocksPerChunk * sizeof(Slot); }

 private:
  union alignas(alignof(T) > alignof(uint32_t) ? alignof(T) : alignof(uint32_t)) Slot {
    unsigned char storage[sizeof(T) > sizeof(uint32_t) ? sizeof(T) : sizeof(uint32_t)];
    uint32_t free;  // next free id while the block is unused
    Slot() {}
  };

  Slot& slot(uint32_t id) { return chunks_[id >> ChunkBits][id & (kBlocksPerChunk - 1)]; }
  const Slot& slot(uint32_t id) const { return chunks_[id >> ChunkBits][id & (kBlocksPerChunk - 1)]; }

  std::vector<std::unique_ptr<Slot[]>> chunks_;
  size_t usedInLastChunk_ = 0;
  uint32_t freeList_ = kNoBlock;
  size_t live_ = 0;
};

}  // namespace brenk
