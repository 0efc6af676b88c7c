// The proof-number search loop: combine the children's numbers, descend to the most-proving
// leaf, develop it, update its ancestors, and choose the move when the loop ends.
#pragma once

#include "engine/search/search.h"

namespace brenk {

// OR node (searcher to move): proof = least child proof, disproof = sum of child disproofs.
// AND node: the reverse. An unexpanded node keeps its evaluation's numbers (1 and 1 if none).
void SetProofAndDisproofNumbers(NodeStore& store, NodeId id);
// Descends from `id` through the first child whose number matches its parent's, to a leaf.
NodeId SelectMostProoving(Search& search, NodeId id);
// Recomputes upward while numbers change; returns the node where it stopped (or the root).
NodeId UpdateAncestors(NodeStore& store, NodeId id);
// Searches from `root` until it is proved, disproved, or a limit is reached, and writes the move.
// Returns the node selected last (the root itself when no iteration ran).
NodeId PnSearch(Search& search, NodeId root);

// Whether the loop may run another iteration: time, iteration cap and memory budget.
bool withinLimits(Search& search);

}  // namespace brenk
