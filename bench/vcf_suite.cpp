#include "bench/vcf_suite.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "bench/board_text.h"
#include "engine/host/driver.h"

namespace brenk::bench {

namespace {

struct SolvedPosition {
  std::string id;
  const char* symbol = "x";  // the side to move, which the engine plays
  std::vector<Cell> black, white, winningMoves;
};

bool parseLine(const std::string& line, SolvedPosition& out) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (fields.size() < 5 || fields[0] == "id") return false;
  out.id = fields[0];
  out.symbol = fields[1] == "B" ? "x" : "o";
  out.black = parseCells(fields[2]);
  out.white = parseCells(fields[3]);
  out.winningMoves = parseCells(fields[4]);
  return true;
}

struct Tally {
  int positions = 0;
  int proved = 0;   // the search proved the root, or a quick decision found the win
  int winning = 0;  // the move played is a known winning first move
  int provedAndWinning = 0;
  std::map<std::string, int> decisions;
  std::vector<std::string> misses;
  std::vector<double> answerMs;  // the whole decision, per position
  uint64_t vcfNodes = 0;         // the threat-space mode's VCF searches before the tree
  int64_t vcfMicros = 0;
  bool verbose = false;
};

bool decidedAsWin(const DriverReport& report) {
  if (report.decision == Decision::Search) return report.rootValue == 1;
  return report.decision == Decision::OwnFive || report.decision == Decision::Verdict ||
         report.decision == Decision::Vcf || report.decision == Decision::Vct;
}

void runOne(const SolvedPosition& solved, const VcfSuiteOptions& suite, Tally& tally) {
  Position pos = positionFromRows(rowsFromStones(solved.black, solved.white), solved.symbol);
  RecordingSink sink;
  std::ostringstream diagnostics;
  DriverOptions options;
  const Clock clock;
  options.limits.clock = &clock;
  if (suite.timeMs > 0) {
    options.limits.timeAllowanceMs = suite.timeMs;
  } else {
    options.limits.timeAllowanceMs = INT32_MAX;  // the iteration cap alone ends the search
    options.limits.maxIterations = suite.iterations;
  }
  options.diagnostics = &diagnostics;
  options.threats = suite.threats;
  const auto begin = std::chrono::steady_clock::now();
  const DriverReport report = decideMove(pos, sink, options);
  tally.answerMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
  tally.vcfNodes += report.vcfNodes;
  tally.vcfMicros += report.vcfMicros;
  const bool proved = decidedAsWin(report);
  const Cell move(sink.row(), sink.col());
  const bool winning =
      std::find(solved.winningMoves.begin(), solved.winningMoves.end(), move) != solved.winningMoves.end();
  ++tally.positions;
  tally.proved += proved;
  tally.winning += winning;
  tally.provedAndWinning += proved && winning;
  ++tally.decisions[decisionName(report.decision)];
  if (!winning) tally.misses.push_back(solved.id);
  if (tally.verbose) {
    // Coordinates as in the file: x (column), y (row).
    std::printf("id %s: %s value %d, %lld iterations, %llu nodes, played %d,%d%s%s\n", solved.id.c_str(),
                decisionName(report.decision), report.rootValue, static_cast<long long>(report.stats.iterations),
                static_cast<unsigned long long>(report.nodesCreated), move.second, move.first, proved ? ", proved" : "",
                winning ? ", winning" : "");
  }
}

}  // namespace

bool runVcfSuite(const std::string& path, const VcfSuiteOptions& options) {
  std::ifstream file(path);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  Tally tally;
  tally.verbose = options.verbose;
  const auto begin = std::chrono::steady_clock::now();
  std::string line;
  SolvedPosition solved;
  while (std::getline(file, line) && (options.limit == 0 || tally.positions < options.limit)) {
    if (parseLine(line, solved)) runOne(solved, options, tally);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  if (options.timeMs > 0) {
    std::printf("%d positions, %d ms each%s, %.1f s\n", tally.positions, options.timeMs,
                options.threats ? ", threat-space mode" : "", seconds);
  } else {
    std::printf("%d positions, at most %lld iterations each%s, %.1f s\n", tally.positions,
                static_cast<long long>(options.iterations), options.threats ? ", threat-space mode" : "", seconds);
  }
  std::printf("proved a win          %5d\n", tally.proved);
  std::printf("played a winning move %5d\n", tally.winning);
  std::printf("both                  %5d\n", tally.provedAndWinning);
  if (!tally.answerMs.empty()) {
    std::vector<double> sorted = tally.answerMs;
    std::sort(sorted.begin(), sorted.end());
    std::printf("median time to answer %8.2f ms (slowest %.1f ms)\n", sorted[sorted.size() / 2], sorted.back());
  }
  if (tally.vcfMicros > 0) {
    std::printf("VCF searches          %llu nodes in %.1f ms, %.0f nodes/s\n",
                static_cast<unsigned long long>(tally.vcfNodes), tally.vcfMicros / 1000.0,
                tally.vcfNodes * 1e6 / static_cast<double>(tally.vcfMicros));
  }
  for (const auto& [name, count] : tally.decisions) std::printf("decision %-13s %5d\n", name.c_str(), count);
  std::printf("first misses:");
  for (size_t i = 0; i < tally.misses.size() && i < 20; ++i) std::printf(" %s", tally.misses[i].c_str());
  std::printf("\n");
  return true;
}

}  // namespace brenk::bench
