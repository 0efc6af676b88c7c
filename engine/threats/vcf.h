// Victory by continuous fours (freestyle: five or more in a row wins), and by threats of three. The attacker only plays
// fours and fives, the defender only the cell that completes the four; a defender's four must be
// blocked first, by a move that is itself a four, and a defender with two cells to five wins.
// Depth-first with iterative deepening over the attacker's moves and a transposition table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/host/clock.h"
#include "engine/position/position.h"
#include "engine/threats/vcf_board.h"

namespace brenk {

// What one search settles, and for whom: results are stored per position and attacker, so the
// table holds across every search of one move.
class VcfTable {
 public:
  // The largest power-of-two number of entries within `bytes` (none when bytes are too few).
  explicit VcfTable(size_t bytes);
  static constexpr size_t entryBytes() { return sizeof(Entry); }
  size_t bytes() const { return (mask_ + (entries_ ? 1 : 0)) * sizeof(Entry); }

  // 1 won, 0 no win at any depth, 2 no win within `depth` attacker moves, -1 unknown.
  int probe(uint64_t key, int depth) const;
  void storeWin(uint64_t key) { store(key, kWinMark); }
  void storeFail(uint64_t key, int depth) { store(key, static_cast<uint8_t>(depth)); }
  void storeHardFail(uint64_t key) { store(key, kHardFailMark); }

 private:
  static constexpr uint8_t kWinMark = 255;
  static constexpr uint8_t kHardFailMark = 254;
  struct Entry {
    uint64_t key;
    uint8_t mark;  // 0 empty, 1..253 no win within that depth, or one of the marks above
  };
  struct FreeEntries {
    void operator()(Entry* p) const;
  };
  void store(uint64_t key, uint8_t mark);

  std::unique_ptr<Entry[], FreeEntries> entries_;
  size_t mask_ = 0;
};

enum class VcfOutcome { Win, NoWin, Unknown };

struct VcfLimits {
  const Clock* clock = &programClock;
  int32_t deadlineMs = 0;               // the search stops once clock->Elapsed() reaches it
  uint64_t maxNodes = UINT64_MAX;       // attacker moves tried, this search alone
  int maxDepth = 24;                    // attacker moves in one line
  // Threes as well as fours (VCT): a three is a move after which the attacker has a cell that
  // leaves two cells to five, and the defender may answer it with any cell that removes every
  // such cell, or with a four of its own.
  bool threes = false;
};

struct VcfResult {
  VcfOutcome outcome = VcfOutcome::Unknown;
  // Every first move proved at the shortest depth that proved any, in the order tried.
  std::vector<BoardCell> firstMoves;
  int depth = 0;  // attacker moves of the shortest proof (0: a five is already there to take)
  uint64_t nodes = 0;
};

// Searches for a VCF of `attacker` (a stone value) on `board`, as if the attacker were to move.
// The board is left as it was.
VcfResult findVcf(VcfBoard& board, int attacker, VcfTable& table, const VcfLimits& limits);

}  // namespace brenk
