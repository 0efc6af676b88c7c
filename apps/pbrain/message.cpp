#include "apps/pbrain/message.h"

#include <sstream>

#include "apps/analysis/numbers.h"
#include "apps/pbrain/notation.h"
#include "engine/position/verdict.h"

namespace brenk::pbrain {

namespace {

// From the engine's side: proved it wins, disproved (it cannot force a win), or still open.
const char* rootState(int32_t value) {
  if (value == kWon) return "proved";
  if (value == kLost) return "disproved";
  return "open";
}

// The quick decisions, named as a person would say them; empty for the searched ones.
const char* quickName(Decision decision) {
  switch (decision) {
    case Decision::Opening: return "opening";
    case Decision::OwnFive: return "own five";
    case Decision::BlockFive: return "block five";
    case Decision::Verdict: return "verdict";
    case Decision::ForcedRoot: return "forced move";
    case Decision::SearchError: return "search error";
    case Decision::Vcf: return "vcf";
    case Decision::Vct: return "vct";
    case Decision::None:
    case Decision::Search:
    case Decision::AlphaBeta: break;
  }
  return "";
}

void writeLine(std::ostream& out, const std::vector<cli::LineStep>& line) {
  size_t shown = 0;
  bool cut = false;
  for (const cli::LineStep& step : line) {
    for (const cli::LineStone& stone : step.stones) {
      if (shown == kLineStonesShown) cut = true;
      if (cut) break;
      out << (shown++ == 0 ? ", line " : " ") << cellName(stone.col, stone.row);
    }
  }
  if (cut) out << " ...";
}

// The alpha-beta search's figures and its principal variation.
void writeAlphaBeta(std::ostream& out, const MoveFacts& facts) {
  const AlphaBetaSummary& search = facts.report.alphaBeta;
  if (search.forced) {
    out << "alpha-beta: forced move at " << cellName(facts.x, facts.y);
    return;
  }
  const int64_t rate = facts.turnMs > 0 ? static_cast<int64_t>(search.nodes) / facts.turnMs : 0;
  out << "alpha-beta: depth " << search.depth << ", score " << cli::searchScoreText(search.score) << ", "
      << search.nodes << " nodes, " << rate << " kN/s, " << facts.turnMs << " ms";
  for (size_t i = 0; i < search.pv.size() && i < kLineStonesShown; ++i) {
    out << (i == 0 ? ", pv " : " ") << cellName(search.pv[i].col, search.pv[i].row);
  }
  if (search.pv.size() > kLineStonesShown) out << " ...";
}

}  // namespace

std::string moveMessage(const MoveFacts& facts) {
  const DriverReport& report = facts.report;
  std::ostringstream text;
  if (facts.fallback) {
    text << "no move decided, playing " << cellName(facts.x, facts.y);
  } else if (report.decision == Decision::Search) {
    text << "search: " << rootState(report.rootValue) << ", proof " << cli::proofNumberText(report.rootProof)
         << " disproof " << cli::proofNumberText(report.rootDisproof) << ", " << report.stats.iterations
         << " iterations, " << report.nodesCreated << " nodes, " << facts.turnMs << " ms";
    writeLine(text, facts.line);
  } else if (report.decision == Decision::AlphaBeta) {
    writeAlphaBeta(text, facts);
  } else if (report.decision == Decision::Vcf || report.decision == Decision::Vct) {
    // The threat searches before the tree: their nodes are the effort worth showing.
    text << (report.decision == Decision::Vcf ? "vcf: a win by fours at " : "vct: a win by fours and threes at ")
         << cellName(facts.x, facts.y) << ", " << report.vcfNodes << " nodes, " << facts.turnMs << " ms";
  } else {
    const char* name = quickName(report.decision);
    text << (*name != '\0' ? name : "no decision") << " at " << cellName(facts.x, facts.y);
  }
  return text.str();
}

}  // namespace brenk::pbrain
