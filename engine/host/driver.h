// One move from a loaded position: the opening rules, the quick decisions, the verdict, and
// otherwise the proof-number search. Every front end runs its moves through here.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>

#include "engine/host/move_sink.h"
#include "engine/position/inffloat.h"
#include "engine/position/position.h"
#include "engine/search/search.h"

namespace brenk {

// The driver's rule that produced the move.
// Vcf, Vct: the threat-space mode found a win by continuous fours (or by fours and threes) and
// plays its first move.
enum class Decision { None, Opening, OwnFive, BlockFive, Verdict, ForcedRoot, Search, SearchError, Vcf, Vct };
const char* decisionName(Decision decision);

// Stone count above which the opponent's best cell is played without judging the position.
inline constexpr int16_t kNearlyFullBoard = 380;

struct DriverOptions {
  SearchLimits limits;
  std::ostream* diagnostics = nullptr;  // the search's diagnostic line; standard output when null
  // Sees the tree after the search and before it is destroyed (analysis, principal line).
  std::function<void(const SearchTree& tree)> inspectTree;
  // The opt-in threat-space mode: forcing wins are searched before and inside the proof-number
  // search. Off, every decision is the specified engine's.
  bool threats = false;
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
};

// The opening rules; true when the move stands in the best own cell.
bool PlayOpening(Position& pos);

// Decides the move of `pos`, which LoadPosition (or an equivalent) has just filled, and hands it to
// `sink`. Errors in the search are discarded; an error while freeing the tree is raised as the text
// "Chyba nastala pri destruktoru." for the caller's outer guard.
DriverReport decideMove(Position& pos, MoveSink& sink, const DriverOptions& options);

}  // namespace brenk
