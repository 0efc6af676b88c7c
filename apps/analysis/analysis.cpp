#include "apps/analysis/analysis.h"

#include "engine/host/clock.h"
#include "engine/position/scoring.h"
#include "engine/position/verdict.h"

namespace brenk::cli {

namespace {

// Two separate records: the driver's single scratch record would leave only the defender's number.
VerdictSummary judge(const Position& scored) {
  Position copy = scored;
  VerdictSummary verdict;
  verdict.value = evaluatePosition(copy, verdict.proof, verdict.disproof);
  verdict.movingCategory = copy.movingCategory;
  return verdict;
}

}  // namespace

Analysis analyzePosition(const Position& loaded, DriverOptions options) {
  Analysis analysis;
  analysis.loaded = loaded;
  analysis.threats = options.threats;
  analysis.scored = loaded;
  rescoreAll(analysis.scored);
  findBestCells(analysis.scored);
  analysis.verdict = judge(analysis.scored);

  options.inspectTree = [&analysis](const SearchTree& tree) {
    analysis.line = principalLine(tree);
    analysis.children = rootChildren(tree);
  };
  Position run = loaded;
  RecordingSink sink;
  const int32_t start = nowMs();
  analysis.report = decideMove(run, sink, options);
  analysis.elapsedMs = nowMs() - start;
  if (sink.hasMove()) analysis.move = Cell{sink.row(), sink.col()};
  return analysis;
}

}  // namespace brenk::cli
