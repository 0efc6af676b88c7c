// The alpha-beta mode's search: iterative deepening of a principal-variation search with
// aspiration windows, a transposition table, killer and history ordering, late-move reductions,
// a ply less for quiet moves far above beta, move-count pruning and futility near the leaves,
// forced answers that cost no depth, and a quiescence search of the side to move's fours at the
// leaves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/host/clock.h"
#include "engine/play/board.h"
#include "engine/play/moves.h"
#include "engine/play/score.h"
#include "engine/play/time_plan.h"
#include "engine/play/transposition.h"

namespace brenk::play {

inline constexpr int kMaxPly = 96;
inline constexpr int kMaxDepth = 60;
// The tree's depths count in quarters of a ply, so that a reduction or an extension can take
// part of one; the iterations and their limits count whole plies.
inline constexpr int kOnePly = 4;
static_assert(kMaxDepth * kOnePly <= UINT8_MAX, "a table entry's depth holds the deepest search");

struct PlayLimits {
  const Clock* clock = &programClock;
  // No iteration starts that would end past the target; the search stops at the limit.
  TurnTime time = {1000, 1000, false};
  int maxDepth = kMaxDepth;    // a fixed depth gives the same result on every machine
  uint64_t maxNodes = UINT64_MAX;  // so does a node count
  size_t tableBytes = size_t{32} << 20;
  // Switches for tests: without them the search is a plain alpha-beta over the same moves.
  bool useTable = true;
  bool selective = true;   // reductions, move-count pruning, futility
  bool extensions = true;  // a forced block or an answer to an open three costs no depth
  // Off for a fixed depth or node count: the clock then only stops the search at the allowance
  // and never decides, from the time an iteration took, not to start the next one.
  bool byClock = true;
};

struct PlayResult {
  Cell move = kNoMove;
  int score = 0;
  int depth = 0;  // of the last iteration that finished, or that chose the move when stopped
  uint64_t nodes = 0;
  std::vector<Cell> pv;
  bool forced = false;  // only one move was worth searching
};

void pickMove(std::vector<ScoredMove>& moves, size_t next);

class AlphaBeta {
 public:
  AlphaBeta(Board& board, const PlayLimits& limits);

  // Deepens until a limit says stop, and returns the best move of the deepest search.
  PlayResult run();
  // The moves the root would search, best first by their cells' scores.
  std::vector<Cell> rootCandidates();
  // Searches only these of the root's moves (all of them when none of these is among them).
  void restrictRoot(std::vector<Cell> allowed) { allowed_ = std::move(allowed); }
  // The value of the position searched to exactly `depth` (tests).
  int valueAt(int depth);
  // The quiescence value alone (tests compare a plain minimax against it).
  int quiescence(int alpha, int beta, int ply) { return quiesce(alpha, beta, ply, 0); }
  int evaluate() const;
  uint64_t nodes() const { return nodes_; }

 private:
  // cutNode: a null-window node expected to fail high (one of its first moves should refute).
  int search(int alpha, int beta, int depth, int ply, bool pvNode, bool cutNode = false);
  bool probeTable(uint64_t key, int alpha, int beta, int depth, int ply, bool pvNode, Cell& move, int& value) const;
  int searchChild(int alpha, int beta, int depth, int reduction, int ply, bool pvNode, bool cutNode, bool first);
  int quiesce(int alpha, int beta, int ply, int fours);
  int staticResult(int ply) const;
  int rootSearch(int alpha, int beta, int depth);
  int aspiration(int depth, int previous);
  void sortRootMoves();
  MoveSet generateRootMoves();
  void orderMoves(std::vector<ScoredMove>& moves, int ply, Cell tableMove) const;
  void noteCutoff(Cell move, int ply, int depth);
  bool outOfTime();
  Cell blockOfFive() const;
  void collectQuiescenceFours(std::vector<Cell>& out, int fours) const;

  Board& board_;
  PlayLimits limits_;
  TranspositionTable table_;
  uint64_t nodes_ = 0;
  bool stopped_ = false;
  int rootDepth_ = 0;
  std::vector<ScoredMove> rootMoves_;
  std::vector<int> rootValues_;
  std::vector<Cell> allowed_;
  Cell iterationBest_ = kNoMove;  // the best root move of the iteration under way
  Cell killers_[kMaxPly][2] = {};
  int32_t history_[2][kGridCells] = {};
  Cell pv_[kMaxPly + 1][kMaxPly + 1] = {};
  int pvLength_[kMaxPly + 1] = {};
  std::vector<std::vector<ScoredMove>> moveLists_;
  std::vector<std::vector<Cell>> fourLists_;
};

}  // namespace brenk::play
