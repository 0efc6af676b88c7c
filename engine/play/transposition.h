// The alpha-beta search's transposition table: for each position seen, the best move, a score
// bound and the depth it was searched to. Always-replace within a two-entry bucket, the deeper
// entry kept in the first slot, so that deep results survive a flood of shallow ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/play/board.h"

namespace brenk::play {

enum class Bound : uint8_t { None, Upper, Lower, Exact };

struct TableEntry {
  uint32_t check = 0;  // the key's upper half: tells this position from others in its bucket
  int16_t score = 0;
  Cell move = kNoMove;
  uint8_t depth = 0;  // in quarters of a ply
  Bound bound = Bound::None;
};

class TranspositionTable {
 public:
  // The largest power-of-two number of buckets within `bytes` (at least one).
  explicit TranspositionTable(size_t bytes);
  size_t bytes() const { return buckets_ * sizeof(Bucket); }

  // The entry of `key`, or null.
  const TableEntry* probe(uint64_t key) const;
  void store(uint64_t key, int score, Bound bound, int depth, Cell move);

 private:
  struct Bucket {
    TableEntry slots[2];
  };
  struct FreeBuckets {
    void operator()(Bucket* p) const;
  };
  Bucket& bucketOf(uint64_t key) const { return buckets_ptr_[key & (buckets_ - 1)]; }

  std::unique_ptr<Bucket[], FreeBuckets> buckets_ptr_;
  size_t buckets_ = 1;
};

}  // namespace brenk::play
