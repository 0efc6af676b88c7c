// The readable report of brenk-cli analyze.
#include <cstdio>
#include <ostream>
#include <string>

#include "apps/analysis/report.h"
#include "apps/analysis/board_view.h"
#include "apps/analysis/numbers.h"
#include "engine/position/verdict.h"

namespace brenk::cli {

namespace {

const char* verdictName(int32_t value) {
  return value == kWon ? "won" : value == kLost ? "lost" : value == kOpen ? "open" : "unknown";
}

const char* decisionReason(Decision decision) {
  switch (decision) {
    case Decision::Opening: return "the opening rules";
    case Decision::OwnFive: return "the side to move completes five";
    case Decision::BlockFive: return "blocks the opponent's five (or more than 380 stones on the board)";
    case Decision::Verdict: return "the verdict evaluator settled the position";
    case Decision::ForcedRoot: return "a single candidate at the root";
    case Decision::Search: return "the proof-number search";
    case Decision::SearchError: return "the search failed; the last move written stands";
    case Decision::Vcf: return "the threat-space mode found a win by continuous fours";
    case Decision::Vct: return "the threat-space mode found a win by fours and threes";
    case Decision::AlphaBeta: return "the threat-space mode's alpha-beta search";
    case Decision::None: return "no rule decided";
  }
  return "";
}

std::string cellName(int row, int col) { return "row " + std::to_string(row) + ", column " + std::to_string(col); }

void writeBestCells(std::ostream& out, const Position& pos) {
  out << "Best cells (" << stoneChar(pos.toMove) << " to move):\n"
      << "  own " << cellName(pos.bestOwnRow, pos.bestOwnCol) << ": " << pos.bestOwnScore << '\n'
      << "  opp " << cellName(pos.bestOppRow, pos.bestOppCol) << ": " << pos.bestOppScore << '\n'
      << "  mix " << cellName(pos.bestMixRow, pos.bestMixCol) << ": " << pos.bestMixScore << '\n';
}

const char* stopReason(const DriverReport& report) {
  if (report.decision != Decision::Search) return decisionName(report.decision);
  if (report.rootValue == kWon) return "root proved";
  if (report.rootValue == kLost) return "root disproved";
  if (report.stats.stoppedByMemory) return "memory budget";
  return "iteration cap or time";
}

void writeSearch(std::ostream& out, const Analysis& analysis) {
  const DriverReport& report = analysis.report;
  const int64_t ms = analysis.elapsedMs > 0 ? analysis.elapsedMs : 1;
  char memory[32];
  std::snprintf(memory, sizeof memory, "%.1f MiB", static_cast<double>(report.peakTreeBytes) / (1 << 20));
  out << "Search: " << report.stats.iterations << " iterations, " << report.nodesCreated << " nodes created, "
      << analysis.elapsedMs << " ms, " << static_cast<int64_t>(report.nodesCreated) * 1000 / ms
      << " nodes/s, peak tree " << memory << "; ended by " << stopReason(report) << '\n'
      << "Root: value " << report.rootValue << " (" << verdictName(report.rootValue) << "), proof "
      << proofNumberText(report.rootProof) << ", disproof " << proofNumberText(report.rootDisproof) << '\n'
      << "Principal line:";
  if (analysis.line.empty()) out << " (none)";
  for (size_t i = 0; i < analysis.line.size(); ++i) {
    out << ' ' << i + 1 << '.';
    for (const LineStone& stone : analysis.line[i].stones) {
      out << ' ' << stoneChar(stone.stone) << ' ' << stone.row << ',' << stone.col;
    }
  }
  out << "  (stones as row,col)\n";
}

// The threat-space mode's search: its figures, and the principal variation from the move played.
void writeAlphaBeta(std::ostream& out, const Analysis& analysis) {
  const AlphaBetaSummary& search = analysis.report.alphaBeta;
  const int64_t ms = analysis.elapsedMs > 0 ? analysis.elapsedMs : 1;
  out << "Alpha-beta: depth " << search.depth << ", score " << searchScoreText(search.score) << ", " << search.nodes
      << " nodes, " << analysis.elapsedMs << " ms, " << static_cast<int64_t>(search.nodes) * 1000 / ms << " nodes/s"
      << (search.forced ? "; one move only was worth searching" : "") << '\n'
      << "Principal variation:";
  if (search.pv.empty()) out << " (none)";
  int stone = analysis.loaded.toMove;
  for (size_t i = 0; i < search.pv.size(); ++i) {
    out << ' ' << i + 1 << ". " << stoneChar(stone) << ' ' << int{search.pv[i].row} << ',' << int{search.pv[i].col};
    stone = stone == kStoneX ? kStoneO : kStoneX;
  }
  out << "  (stones as row,col)\n";
}

}  // namespace

void writeAnalysisText(std::ostream& out, const Analysis& analysis, bool colour) {
  const Position& loaded = analysis.loaded;
  out << stoneChar(loaded.toMove) << " to move, " << loaded.stoneCount << " stones, candidate box rows "
      << int{loaded.minRow} << ".." << int{loaded.maxRow} << ", columns " << int{loaded.minCol} << ".."
      << int{loaded.maxCol} << '\n';
  BoardStyle style;
  style.colour = colour;
  if (analysis.move) style.marks.push_back(*analysis.move);
  drawBoard(out, loaded, style);
  writeBestCells(out, analysis.scored);
  const VerdictSummary& verdict = analysis.verdict;
  out << "Verdict: " << verdict.value << " (" << verdictName(verdict.value) << "), proof "
      << proofNumberText(verdict.proof) << ", disproof " << proofNumberText(verdict.disproof) << ", moving category "
      << verdict.movingCategory << '\n';
  out << "Decision: " << decisionName(analysis.report.decision) << " (" << decisionReason(analysis.report.decision)
      << ")\n";
  if (analysis.move) {
    out << "Move: " << cellName(analysis.move->row, analysis.move->col) << ", shown in brackets on the board; tah.dat would hold "
        << analysis.move->col << ',' << analysis.move->row << '\n';
  } else {
    out << "Move: none\n";
  }
  if (analysis.report.searched) writeSearch(out, analysis);
  if (analysis.report.alphaBeta.ran) writeAlphaBeta(out, analysis);
}

}  // namespace brenk::cli
