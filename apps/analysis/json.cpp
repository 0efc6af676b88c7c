// The JSON object of brenk-cli analyze. Keys come in a fixed order; extra keys only after them.
#include <ostream>

#include "apps/analysis/report.h"
#include "apps/analysis/numbers.h"

namespace brenk::cli {

namespace {

void writeScores(std::ostream& out, const Position& pos) {
  out << '[';
  for (int stone = 0; stone < 2; ++stone) {
    out << (stone ? ",[" : "[");
    for (int row = 0; row < SOB; ++row) {
      out << (row ? ",[" : "[");
      for (int col = 0; col < SOB; ++col) out << (col ? "," : "") << pos.scores[stone][row][col];
      out << ']';
    }
    out << ']';
  }
  out << ']';
}

void writeBest(std::ostream& out, const Position& pos) {
  out << "{\"own\":[" << int{pos.bestOwnRow} << ',' << int{pos.bestOwnCol} << ',' << pos.bestOwnScore << "],"
      << "\"opp\":[" << int{pos.bestOppRow} << ',' << int{pos.bestOppCol} << ',' << pos.bestOppScore << "],"
      << "\"mix\":[" << int{pos.bestMixRow} << ',' << int{pos.bestMixCol} << ',' << pos.bestMixScore << "]}";
}

void writeVerdict(std::ostream& out, const VerdictSummary& verdict) {
  out << "{\"value\":" << verdict.value << ",\"proof\":" << proofNumberJson(verdict.proof)
      << ",\"disproof\":" << proofNumberJson(verdict.disproof) << ",\"movingCategory\":" << verdict.movingCategory
      << '}';
}

void writeSearch(std::ostream& out, const DriverReport& report) {
  if (!report.searched) {
    out << "null";
    return;
  }
  out << "{\"iterations\":" << report.stats.iterations << ",\"rootValue\":" << report.rootValue
      << ",\"rootProof\":" << proofNumberJson(report.rootProof)
      << ",\"rootDisproof\":" << proofNumberJson(report.rootDisproof) << ",\"nodesCreated\":" << report.nodesCreated
      << '}';
}

// Not one of the fixed keys: every stone of the most-proving path as [row, col, stone value].
void writePrincipalLine(std::ostream& out, const Analysis& analysis) {
  if (!analysis.report.searched) {
    out << "null";
    return;
  }
  out << '[';
  bool first = true;
  for (const LineStep& step : analysis.line) {
    for (const LineStone& stone : step.stones) {
      out << (first ? "" : ",") << '[' << stone.row << ',' << stone.col << ',' << stone.stone << ']';
      first = false;
    }
  }
  out << ']';
}

void writeChildren(std::ostream& out, const Analysis& analysis) {
  if (!analysis.report.searched) {
    out << "null";
    return;
  }
  out << '[';
  bool first = true;
  for (const RootChild& child : analysis.children) {
    out << (first ? "" : ",") << "{\"cell\":[" << child.cell.row << ',' << child.cell.col
        << "],\"proof\":" << proofNumberJson(child.proof) << ",\"disproof\":" << proofNumberJson(child.disproof)
        << ",\"value\":" << child.value << '}';
    first = false;
  }
  out << ']';
}

// Only in the threat-space mode, after the fixed keys: what its alpha-beta search found, every
// figure the same on every machine at a fixed depth or iteration count (so no time and no speed),
// and its principal variation as [row, col, stone value] from the side to move on.
void writeAlphaBeta(std::ostream& out, const Analysis& analysis) {
  const AlphaBetaSummary& search = analysis.report.alphaBeta;
  if (!search.ran) {
    out << "null";
    return;
  }
  out << "{\"depth\":" << search.depth << ",\"score\":" << search.score << ",\"scoreText\":\""
      << searchScoreText(search.score) << "\",\"nodes\":" << search.nodes
      << ",\"forced\":" << (search.forced ? "true" : "false") << ",\"pv\":[";
  int stone = analysis.loaded.toMove;
  for (size_t i = 0; i < search.pv.size(); ++i) {
    out << (i ? "," : "") << '[' << int{search.pv[i].row} << ',' << int{search.pv[i].col} << ',' << stone << ']';
    stone = stone == kStoneX ? kStoneO : kStoneX;
  }
  out << "]}";
}

void writeObject(std::ostream& out, const Analysis& analysis, bool withChildren) {
  const Position& loaded = analysis.loaded;
  out << "{\"toMove\":" << loaded.toMove << ",\"stoneCount\":" << loaded.stoneCount << ",\"box\":["
      << int{loaded.minRow} << ',' << int{loaded.maxRow} << ',' << int{loaded.minCol} << ',' << int{loaded.maxCol}
      << "],\"scores\":";
  writeScores(out, analysis.scored);
  out << ",\"best\":";
  writeBest(out, analysis.scored);
  out << ",\"verdict\":";
  writeVerdict(out, analysis.verdict);
  out << ",\"decision\":\"" << decisionName(analysis.report.decision) << "\",\"move\":";
  if (analysis.move) {
    out << '[' << analysis.move->row << ',' << analysis.move->col << ']';
  } else {
    out << "null";
  }
  out << ",\"search\":";
  writeSearch(out, analysis.report);
  out << ",\"principalLine\":";
  writePrincipalLine(out, analysis);
  if (analysis.threats) {
    out << ",\"alphaBeta\":";
    writeAlphaBeta(out, analysis);
  }
  if (withChildren) {
    out << ",\"children\":";
    writeChildren(out, analysis);
  }
  out << "}\n";
}

}  // namespace

void writeAnalysisJson(std::ostream& out, const Analysis& analysis) { writeObject(out, analysis, false); }

void writeAnalysisJsonWithChildren(std::ostream& out, const Analysis& analysis) { writeObject(out, analysis, true); }

}  // namespace brenk::cli
