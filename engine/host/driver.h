// One move from a loaded position: the opening rules, the quick decisions, the verdict, and
// otherwise the proof-number search. Every front end runs its moves through here.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <vector>

#include "engine/host/game_time.h"
#include "engine/host/move_sink.h"
#include "engine/position/inffloat.h"
#include "engine/position/position.h"
#include "engine/search/search.h"

namespace brenk {

// The driver's rule that produced the move.
// Vcf, Vct: the threat-space mode found a win by continuous fours (or by fours and threes) and
// plays its first move; AlphaBeta: its alpha-beta search chose the move.
enum class Decision { None, Opening, OwnFive, BlockFive, Verdict, ForcedRoot, Search, SearchError, Vcf, Vct, AlphaBeta };
const char* decisionName(Decision decision);

// Stone count above which the opponent's best cell is played without judging the position.
inline constexpr int16_t kNearlyFullBoard = 380;

struct DriverOptions {
  SearchLimits limits;
  std::ostream* diagnostics = nullptr;  // the search's diagnostic line; standard output when null
  // Sees the tree after the search and before it is destroyed (analysis, principal line).
  std::function<void(const SearchTree& tree)> inspectTree;
  // The opt-in threat-space mode: forcing wins first, then an alpha-beta search over threat
  // patterns. Off, every decision is the specified engine's.
  bool threats = false;
  // The mode's search to exactly this depth (0: deepen as the limits allow).
  int playDepth = 0;
  // The manager's game clock, when it states one: the mode then plans each turn's time by it
  // instead of spending the whole allowance.
  std::optional<GameTime> gameTime;
};

// What the threat-space mode's alpha-beta search found.
struct AlphaBetaSummary {
  bool ran = false;
  int depth = 0;   // of the deepest iteration that finished
  int score = 0;   // from the mover's side: the evaluation, or a win or loss by a five at a known ply
  uint64_t nodes = 0;
  bool forced = false;  // one move only was worth searching
  std::vector<BoardCell> pv;  // the principal variation, the chosen move first
};

struct DriverReport {
  Decision decision = Decision::None;
  bool searched = false;  // a root was built and searched
  SearchStats stats;
  uint64_t nodesCreated = 0;
  size_t peakTreeBytes = 0;
  int32_t rootValue = 2;
  infFloat rootProof;
  infFloat rootDisproof;
  // The threat-space mode's VCF searches before the tree: attacker moves tried and their time.
  uint64_t vcfNodes = 0;
  int64_t vcfMicros = 0;
  AlphaBetaSummary alphaBeta;
};

// The opening rules; true when the move stands in the best own cell.
bool PlayOpening(Position& pos);

// Decides the move of `pos`, which LoadPosition (or an equivalent) has just filled, and hands it to
// `sink`. Errors in the search are discarded; an error while freeing the tree is raised as the text
// "Chyba nastala pri destruktoru." for the caller's outer guard.
DriverReport decideMove(Position& pos, MoveSink& sink, const DriverOptions& options);

}  // namespace brenk
