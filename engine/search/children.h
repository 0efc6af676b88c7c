// Child generation: which cells a node tries, creating and ordering the children, and folding a
// forced move into the node itself.
#pragma once

#include <vector>

#include "engine/search/search.h"

namespace brenk {

// Bounds of the candidate filter.
inline constexpr uint32_t kBigThreatBound = 111132;
inline constexpr uint32_t kOpponentBound = 10584;
inline constexpr uint32_t kOwnBound = 5292;
inline constexpr uint32_t kOwnBoundCategory3 = 5796;
inline constexpr uint32_t kPruningBound = 5795;

// Judges the node whose position is `pos`, which the evaluation may advance by forced blocks;
// the node records them with the moving category and side to move they leave.
void EvaluateNode(Search& search, NodeId id, Position& pos);
// Expands an evaluated open leaf. A single candidate at the root goes to the sink as the move and
// ends the turn with ForcedRootMove.
void GenerateAllChildren(Search& search, NodeId id);
void DevelopNode(Search& search, NodeId id);

}  // namespace brenk
