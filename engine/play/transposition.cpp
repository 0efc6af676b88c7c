#include "engine/play/transposition.h"

#include <cstdlib>
#include <new>

namespace brenk::play {

void TranspositionTable::FreeBuckets::operator()(Bucket* p) const { std::free(p); }

TranspositionTable::TranspositionTable(size_t bytes) {
  while (buckets_ * 2 * sizeof(Bucket) <= bytes) buckets_ *= 2;
  // calloc: the system hands zeroed pages over as they are first touched, so a large table
  // costs nothing until the search fills it.
  void* memory = std::calloc(buckets_, sizeof(Bucket));
  if (memory == nullptr) {
    buckets_ = 1;
    memory = std::calloc(1, sizeof(Bucket));
    if (memory == nullptr) throw std::bad_alloc();
  }
  buckets_ptr_.reset(static_cast<Bucket*>(memory));
}

const TableEntry* TranspositionTable::probe(uint64_t key) const {
  const uint32_t check = static_cast<uint32_t>(key >> 32);
  const Bucket& bucket = bucketOf(key);
  for (const TableEntry& entry : bucket.slots) {
    if (entry.bound != Bound::None && entry.check == check) return &entry;
  }
  return nullptr;
}

void TranspositionTable::store(uint64_t key, int score, Bound bound, int depth, Cell move) {
  const uint32_t check = static_cast<uint32_t>(key >> 32);
  Bucket& bucket = bucketOf(key);
  TableEntry fresh{check, static_cast<int16_t>(score), move, static_cast<uint8_t>(depth), bound};
  TableEntry& deep = bucket.slots[0];
  if (deep.check == check && deep.bound != Bound::None) {
    if (fresh.move == kNoMove) fresh.move = deep.move;
    if (depth >= deep.depth || bound == Bound::Exact) deep = fresh;
    return;
  }
  TableEntry& recent = bucket.slots[1];
  if (recent.check == check && recent.bound != Bound::None && fresh.move == kNoMove) fresh.move = recent.move;
  if (deep.bound == Bound::None || depth >= deep.depth) {
    recent = deep;
    deep = fresh;
  } else {
    recent = fresh;
  }
}

}  // namespace brenk::play
