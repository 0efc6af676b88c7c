#include "engine/threats/vcf.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace brenk {

VcfTable::VcfTable(size_t bytes) {
  size_t count = bytes / sizeof(Entry);
  if (count < 2) return;
  count = std::bit_floor(count);
  // calloc: zeroed pages come from the system on first touch, so a large table costs little.
  entries_.reset(static_cast<Entry*>(std::calloc(count, sizeof(Entry))));
  if (entries_) mask_ = count - 1;
}

void VcfTable::FreeEntries::operator()(Entry* p) const { std::free(p); }

int VcfTable::probe(uint64_t key, int depth) const {
  if (!entries_) return -1;
  const Entry& e = entries_[key & mask_];
  if (e.key != key || e.mark == 0) return -1;
  if (e.mark == kWinMark) return 1;
  if (e.mark == kHardFailMark) return 0;
  return e.mark >= depth ? 2 : -1;
}

void VcfTable::store(uint64_t key, uint8_t mark) {
  if (!entries_) return;
  Entry& e = entries_[key & mask_];
  // A settled result is worth more than a depth-bound one about another position.
  if (e.key != key && (e.mark == kWinMark || e.mark == kHardFailMark) && mark < kHardFailMark) return;
  e.key = key;
  e.mark = mark;
}

namespace {

constexpr int kWon = 1;
constexpr int kHardFail = 0;
constexpr int kDepthFail = 2;
constexpr int kAborted = -1;

constexpr uint64_t kAttackerKey[2] = {0x5bd1e9955bd1e995ull, 0x2545f4914f6cdd1dull};
constexpr uint64_t kThreesKey = 0x9fb21c651e98df25ull;  // VCT results apart from VCF ones

struct Run {
  VcfBoard& board;
  VcfTable& table;
  const VcfLimits& limits;
  int attacker;
  int defender;
  uint64_t nodes = 0;
  bool aborted = false;

  bool outOfLimits() {
    ++nodes;
    if (nodes > limits.maxNodes) aborted = true;
    if ((nodes & 255) == 0 && limits.clock->Elapsed() >= limits.deadlineMs) aborted = true;
    return aborted;
  }

  uint64_t key() const { return board.hash() ^ kAttackerKey[attacker] ^ (limits.threes ? kThreesKey : 0); }

  // The moves the attacker may try here: every four (and, with threes, every cell that may make
  // a three), or the one block of a defender's four. Returns -1 when the defender has two cells
  // to five (the line fails).
  int attackerMoves(int16_t* moves) {
    int defenderFives[2];
    const int threats = board.fiveCells(defender, defenderFives, 2);
    if (threats >= 2) return -1;
    if (threats == 1) {
      moves[0] = static_cast<int16_t>(defenderFives[0]);
      return 1;
    }
    int count = board.fourMoves(attacker, moves);
    if (!limits.threes) return count;
    int16_t threes[kBoardCells];
    const int more = board.threeMoves(attacker, threes);
    for (int i = 0; i < more; ++i) {
      if (std::find(moves, moves + count, threes[i]) == moves + count) moves[count++] = threes[i];
    }
    return count;
  }

  // Whether the attacker has a cell that leaves two cells to five at once.
  bool hasWinningFour(int16_t* out, int& count) {
    int16_t fours[kBoardCells];
    const int n = board.fourMoves(attacker, fours);
    int fives[kMaxFiveCellsThrough];
    count = 0;
    for (int i = 0; i < n; ++i) {
      board.place(fours[i], attacker);
      if (board.fiveCellsThrough(fours[i], attacker, fives) >= 2) {
        if (out == nullptr) {
          board.remove(fours[i], attacker);
          return true;
        }
        out[count++] = fours[i];
      }
      board.remove(fours[i], attacker);
    }
    return count > 0;
  }

  // After a three: the defender may take a cell that leaves the attacker no winning four, or make
  // a four of its own; the three wins only when every such reply loses.
  int answerThree(int depth) {
    int16_t winning[kBoardCells];
    int wins = 0;
    hasWinningFour(winning, wins);
    int16_t replies[kBoardCells];
    int count = 0;
    auto add = [&](int cell) {
      if (std::find(replies, replies + count, cell) == replies + count) replies[count++] = static_cast<int16_t>(cell);
    };
    int fives[kMaxFiveCellsThrough];
    for (int i = 0; i < wins; ++i) {
      add(winning[i]);
      board.place(winning[i], attacker);
      const int n = board.fiveCellsThrough(winning[i], attacker, fives);
      board.remove(winning[i], attacker);
      for (int j = 0; j < n; ++j) add(fives[j]);
    }
    int kept = 0;
    for (int i = 0; i < count; ++i) {
      board.place(replies[i], defender);
      int none = 0;
      if (!hasWinningFour(nullptr, none)) replies[kept++] = replies[i];
      board.remove(replies[i], defender);
    }
    count = kept;
    int16_t counterFours[kBoardCells];
    const int n = board.fourMoves(defender, counterFours);
    for (int i = 0; i < n; ++i) add(counterFours[i]);
    for (int i = 0; i < count; ++i) {
      if (outOfLimits()) return kAborted;
      board.place(replies[i], defender);
      const int r = attackerTurn(depth - 1);
      board.remove(replies[i], defender);
      if (r != kWon) return r;
    }
    return kWon;
  }

  // The attacker plays `move` with `depth` moves left counting this one.
  int tryMove(int move, int depth) {
    if (outOfLimits()) return kAborted;
    board.place(move, attacker);
    int fives[kMaxFiveCellsThrough];
    const int n = board.fiveCellsThrough(move, attacker, fives);
    int result = kHardFail;
    int none = 0;
    if (n >= 2) {
      result = kWon;  // the defender has no five to make, so one block cannot meet both
    } else if (n == 1) {
      board.place(fives[0], defender);
      result = attackerTurn(depth - 1);
      board.remove(fives[0], defender);
    } else if (limits.threes && hasWinningFour(nullptr, none)) {
      result = answerThree(depth);
    }
    board.remove(move, attacker);
    return result;
  }

  int attackerTurn(int depth) {
    // A five of the attacker cannot stand here: the defender has just blocked the only one.
    if (depth <= 0) return kDepthFail;
    const uint64_t k = key();
    const int known = table.probe(k, depth);
    if (known >= 0) return known;
    int16_t moves[kBoardCells];
    const int count = attackerMoves(moves);
    bool depthBound = false;
    for (int i = 0; i < count; ++i) {
      const int r = tryMove(moves[i], depth);
      if (r == kAborted) return kAborted;
      if (r == kWon) {
        table.storeWin(k);
        return kWon;
      }
      if (r == kDepthFail) depthBound = true;
    }
    if (depthBound) {
      table.storeFail(k, depth);
      return kDepthFail;
    }
    table.storeHardFail(k);
    return kHardFail;
  }
};

BoardCell cellOf(int cell) { return BoardCell{static_cast<int8_t>(cell / SOB), static_cast<int8_t>(cell % SOB)}; }

}  // namespace

VcfResult findVcf(VcfBoard& board, int attacker, VcfTable& table, const VcfLimits& limits) {
  Run run{board, table, limits, attacker, 1 - attacker};
  VcfResult result;
  int fives[kBoardCells];
  const int ownFives = board.fiveCells(attacker, fives, kBoardCells);
  if (ownFives > 0) {
    result.outcome = VcfOutcome::Win;
    for (int i = 0; i < ownFives; ++i) result.firstMoves.push_back(cellOf(fives[i]));
    return result;
  }
  int16_t moves[kBoardCells];
  int count = run.attackerMoves(moves);
  result.outcome = VcfOutcome::NoWin;
  for (int depth = 1; depth <= limits.maxDepth && count > 0; ++depth) {
    bool depthBound = false;
    int kept = 0;
    for (int i = 0; i < count; ++i) {
      const int r = run.tryMove(moves[i], depth);
      if (r == kAborted) {
        result.outcome = result.firstMoves.empty() ? VcfOutcome::Unknown : VcfOutcome::Win;
        result.nodes = run.nodes;
        return result;
      }
      if (r == kWon) result.firstMoves.push_back(cellOf(moves[i]));
      // A move that fails at any depth is not tried again.
      if (r == kDepthFail) {
        depthBound = true;
        moves[kept++] = moves[i];
      }
    }
    if (!result.firstMoves.empty()) {
      result.outcome = VcfOutcome::Win;
      result.depth = depth;
      break;
    }
    if (!depthBound) break;
    count = kept;
    if (depth == limits.maxDepth) result.outcome = VcfOutcome::Unknown;
  }
  result.nodes = run.nodes;
  return result;
}

}  // namespace brenk
