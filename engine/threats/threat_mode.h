// The opt-in threat-space mode: forcing wins are searched before the proof-number search and at
// its new leaves. Nothing here runs unless a front end turns the mode on.
#pragma once

#include <cstdint>

#include "engine/host/driver.h"
#include "engine/host/move_sink.h"
#include "engine/search/search.h"
#include "engine/threats/vcf.h"

namespace brenk {

// The share of the memory budget the VCF table takes; the tree keeps the rest.
inline constexpr size_t kVcfTableShareDivisor = 16;
// Attacker moves a leaf's VCF search may try before the leaf is left to the proof numbers.
inline constexpr uint64_t kLeafVcfNodes = 150;
// With a fixed iteration count, the VCF searches before the tree are capped by nodes per
// iteration instead of by the clock, so the result does not depend on the machine.
inline constexpr uint64_t kRootVcfNodesPerIteration = 200;
// Attacker moves in one line of a VCT search; threes branch much more than fours.
inline constexpr int kVctDepth = 10;
// When no candidate stops the opponent's threat, the root takes at most this many of the other
// cells that do.
inline constexpr size_t kWidenedGuardCells = 12;

struct ThreatMode {
  explicit ThreatMode(const SearchLimits& searchLimits);

  SearchLimits limits;  // the tree's: the allowance as given, the budget less the table
  VcfTable table;
  bool restrictRoot = false;  // the opponent has a VCF or VCT: root candidates must stop it
  bool guardThrees = false;   // it is a VCT, so the root's children are checked with threes
  bool rootRestricted = false;  // the restriction removed some root candidates
  uint64_t vcfNodes = 0;       // attacker moves tried by the searches before the tree
  int64_t vcfMicros = 0;       // and the time they took
  uint64_t leafVcfNodes = 0;
  int64_t leafWins = 0;
};

// The mode's steps before the tree: plays the first move of an own VCF (then VCT) and says
// which, or returns Decision::None after noting whether the opponent threatens either.
Decision playOwnThreats(Position& pos, MoveSink& sink, ThreatMode& mode);

// Called from the tree search in the mode only.
// A new leaf whose side to move has a VCF is won or lost at once.
void judgeLeafByVcf(Search& search, NodeId id, const Position& pos);
// Keeps the root's children after which the opponent has no VCF; when none is, the widened
// guard below looks further.
void restrictRootChildren(Search& search, NodeId root, const Position& pos);
// Replaces the root's children by the cells near the stones that do stop the opponent's threat
// (the mover's own fours among them); leaves them as they are when no cell does.
void widenRootGuard(Search& search, NodeId root, const Position& pos, VcfBoard& board);

}  // namespace brenk
