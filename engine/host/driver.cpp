#include "engine/host/driver.h"

#include <iostream>

#include "engine/position/scoring.h"
#include "engine/position/verdict.h"
#include "engine/search/pnsearch.h"
#include "engine/play/turn.h"

namespace brenk {

const char* decisionName(Decision decision) {
  switch (decision) {
    case Decision::None: return "none";
    case Decision::Opening: return "opening";
    case Decision::OwnFive: return "own-five";
    case Decision::BlockFive: return "block-five";
    case Decision::Verdict: return "verdict";
    case Decision::ForcedRoot: return "forced-root";
    case Decision::Search: return "search";
    case Decision::SearchError: return "search-error";
    case Decision::Vcf: return "vcf";
    case Decision::Vct: return "vct";
    case Decision::AlphaBeta: return "alpha-beta";
  }
  return "none";
}

bool PlayOpening(Position& pos) {
  if (pos.stoneCount > 3) return false;
  if (pos.stoneCount == 0) {
    pos.bestOwnRow = 9;
    pos.bestOwnCol = 9;
    return true;
  }
  if (pos.stoneCount == 1) {
    // The lone stone is answered diagonally below-right, whichever side it belongs to; at the
    // bottom or right edge there is no such cell and the centre is taken instead.
    for (int8_t row = pos.minRow; row <= pos.maxRow; ++row) {
      for (int8_t col = pos.minCol; col <= pos.maxCol; ++col) {
        if (pos.cells[row][col] == kEmpty) continue;
        const bool onFarEdge = row == SOB - 1 || col == SOB - 1;
        pos.bestOwnRow = onFarEdge ? 9 : static_cast<int8_t>(row + 1);
        pos.bestOwnCol = onFarEdge ? 9 : static_cast<int8_t>(col + 1);
      }
    }
    return true;
  }
  if (pos.stoneCount == 2) return false;
  rescoreAll(pos);
  findBestCells(pos);
  pos.bestOwnRow = pos.bestOppRow;
  pos.bestOwnCol = pos.bestOppCol;
  return true;
}

namespace {

void runSearch(Position& pos, MoveSink& sink, const DriverOptions& options, DriverReport& report) {
  // A failed search must still leave a legal move where the manager looks for one.
  sink.writeMove(pos.bestMixRow, pos.bestMixCol);
  Search search(sink, options.limits, options.diagnostics ? *options.diagnostics : std::cout);
  const NodeId root = startTree(search, pos);
  report.searched = true;
  report.decision = Decision::Search;
  NodeId lastSelected = root;
  try {
    lastSelected = PnSearch(search, root);
  } catch (const ForcedRootMove&) {
    report.decision = Decision::ForcedRoot;
  } catch (...) {
    report.decision = Decision::SearchError;
  }
  const Node& rootNode = search.store.node(root);
  report.stats = search.stats;
  report.nodesCreated = search.store.nodesCreated();
  report.peakTreeBytes = search.store.reservedBytes();
  report.rootValue = rootNode.value;
  report.rootProof = rootNode.proof;
  report.rootDisproof = rootNode.disproof;
  if (options.inspectTree) options.inspectTree(SearchTree{search.store, search.path.rootBase(), root, lastSelected});
  try {
    search.store.destroyTree(root);
  } catch (...) {
    throw "Chyba nastala pri destruktoru.";
  }
}

}  // namespace

DriverReport decideMove(Position& pos, MoveSink& sink, const DriverOptions& options) {
  if (options.threats) return play::decideInThreatMode(pos, sink, options);
  DriverReport report;
  if (PlayOpening(pos)) {
    report.decision = Decision::Opening;
    sink.writeMove(pos.bestOwnRow, pos.bestOwnCol);
    return report;
  }
  rescoreAll(pos);
  findBestCells(pos);
  if (pos.bestOwnScore >= kFiveThreshold) {
    report.decision = Decision::OwnFive;
    sink.writeMove(pos.bestOwnRow, pos.bestOwnCol);
    return report;
  }
  if (pos.bestOppScore >= kFiveThreshold || pos.stoneCount > kNearlyFullBoard) {
    report.decision = Decision::BlockFive;
    sink.writeMove(pos.bestOppRow, pos.bestOppCol);
    return report;
  }
  infFloat scratch;
  const int32_t verdict = evaluatePosition(pos, scratch, scratch);
  if (verdict == kWon || verdict == kLost) {
    report.decision = Decision::Verdict;
    if (verdict == kWon) {
      sink.writeMove(pos.bestOwnRow, pos.bestOwnCol);
    } else {
      sink.writeMove(pos.bestOppRow, pos.bestOppCol);
    }
    return report;
  }
  runSearch(pos, sink, options, report);
  return report;
}

}  // namespace brenk
