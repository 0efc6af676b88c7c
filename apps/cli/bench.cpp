// brenk-cli bench: the built-in positions, each decided with a fixed iteration cap. The total of
// nodes created is the signature: it moves when search behaviour changes, never with speed.
// `bench --write DIR` writes the positions as game directories instead, for running brenk itself.
// With --threats each line shows the threat-space mode's alpha-beta figures instead, and the total
// of its nodes is that mode's own signature.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "apps/analysis/numbers.h"
#include "apps/cli/bench_positions.h"
#include "apps/cli/commands.h"
#include "apps/command_line.h"
#include "engine/host/clock.h"
#include "engine/host/driver.h"
#include "engine/host/files.h"
#include "engine/play/search.h"

namespace brenk::cli {

namespace {

// Enough for a few seconds in a release build over the whole set.
constexpr int64_t kDefaultIterations = 2000;

// Through the loader's own readers, so the boards mean exactly what they would in "plocha.dat".
Position loadBenchPosition(const BenchPosition& bench) {
  std::string board;
  for (const char* row : bench.rows) board += std::string(row) + '\n';
  Position pos;
  char ch = '-';
  std::istringstream boardIn(board);
  readBoard(boardIn, pos, ch);
  std::istringstream symbolIn(std::string(1, bench.symbol));
  readSymbol(symbolIn, pos, ch);
  return pos;
}

struct Totals {
  uint64_t nodes = 0;
  uint64_t vcfNodes = 0;  // the threat-space mode's forcing-move solver
  int64_t ms = 0;
};

struct BenchArgs {
  int64_t iterations = kDefaultIterations;
  bool threats = false;
  int depth = 0;         // the threat-space mode's alpha-beta to this depth (0: the iteration cap alone)
  std::string writeDir;  // not empty: write the positions there instead of searching them
};

// The threat-space mode's line: its alpha-beta search's depth, score and nodes, then the solver's
// nodes; the proof-number columns would stay empty in this mode.
void printThreatLine(const BenchPosition& bench, const DriverReport& report, const RecordingSink& sink, int64_t ms) {
  const AlphaBetaSummary& search = report.alphaBeta;
  const std::string depth = search.ran ? std::to_string(search.depth) : "-";
  const std::string score = search.ran ? searchScoreText(search.score) : "-";
  char line[256];
  std::snprintf(line, sizeof line, "%-22s %-12s %2d,%-4d %5s %-12s %10llu %10llu %7lld %8lld\n", bench.name,
                decisionName(report.decision), sink.row(), sink.col(), depth.c_str(), score.c_str(),
                static_cast<unsigned long long>(search.nodes), static_cast<unsigned long long>(report.vcfNodes),
                static_cast<long long>(ms), static_cast<long long>(search.nodes) / (ms > 0 ? ms : 1));
  std::cout << line << std::flush;
}

void runOne(const BenchPosition& bench, const BenchArgs& args, Totals& totals) {
  Position pos = loadBenchPosition(bench);
  DriverOptions options;
  options.diagnostics = &std::cerr;
  options.threats = args.threats;
  options.playDepth = args.depth;
  options.limits.maxIterations = args.iterations;
  options.limits.timeAllowanceMs = std::numeric_limits<int32_t>::max();
  RecordingSink sink;
  const int32_t start = nowMs();
  const DriverReport report = decideMove(pos, sink, options);
  const int64_t ms = nowMs() - start;
  totals.ms += ms;
  if (args.threats) {
    totals.nodes += report.alphaBeta.nodes;
    totals.vcfNodes += report.vcfNodes;
    printThreatLine(bench, report, sink, ms);
    return;
  }
  totals.nodes += report.nodesCreated;
  const int64_t rate = static_cast<int64_t>(report.nodesCreated) * 1000 / (ms > 0 ? ms : 1);
  char line[256];
  std::snprintf(line, sizeof line, "%-22s %-12s %2d,%-4d %7lld %9llu %7lld %10lld %8.1f\n", bench.name,
                decisionName(report.decision), sink.row(), sink.col(), static_cast<long long>(report.stats.iterations),
                static_cast<unsigned long long>(report.nodesCreated), static_cast<long long>(ms),
                static_cast<long long>(rate), static_cast<double>(report.peakTreeBytes) / (1 << 20));
  std::cout << line << std::flush;
}

namespace fs = std::filesystem;

// "NN-name-in-lowercase": the position's place in the set from 01, then its name with every run
// of other characters than letters and digits made one '-'.
std::string directoryName(size_t index, const char* name) {
  char number[24];  // room for any size_t, so the compiler sees no truncation
  std::snprintf(number, sizeof number, "%02zu", index + 1);
  std::string slug;
  for (const char* c = name; *c != '\0'; ++c) {
    const auto ch = static_cast<unsigned char>(*c);
    if (std::isalnum(ch)) {
      slug += static_cast<char>(std::tolower(ch));
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return std::string(number) + "-" + slug;
}

bool writeFile(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

bool makeDirectory(const fs::path& dir, std::string& error) {
  std::error_code code;
  fs::create_directories(dir, code);
  if (!code && fs::is_directory(dir, code)) return true;
  error = "cannot create the directory " + dir.string() + (code ? ": " + code.message() : "");
  return false;
}

// One game directory: plocha.dat holds the rows, one a line; tah.dat the symbol, no line end.
// A brenk.cfg or brenk.log left by an earlier run is removed, so brenk runs on its default.
bool writePosition(const fs::path& dir, const BenchPosition& bench, std::string& error) {
  if (!makeDirectory(dir, error)) return false;
  std::error_code code;
  for (const char* stale : {"brenk.cfg", "brenk.log"}) {
    if (!fs::remove(dir / stale, code) && code) {
      error = "cannot remove " + (dir / stale).string() + ": " + code.message();
      return false;
    }
  }
  std::string board;
  for (const char* row : bench.rows) board += std::string(row) + '\n';
  if (!writeFile(dir / "plocha.dat", board)) {
    error = "cannot write " + (dir / "plocha.dat").string();
    return false;
  }
  if (!writeFile(dir / "tah.dat", std::string(1, bench.symbol))) {
    error = "cannot write " + (dir / "tah.dat").string();
    return false;
  }
  return true;
}

int writePositions(const fs::path& root) {
  std::string error;
  if (!makeDirectory(root, error)) {
    std::cerr << "brenk-cli bench: " << error << '\n';
    return kExitBadInput;
  }
  const std::span<const BenchPosition> positions = benchPositions();
  for (size_t i = 0; i < positions.size(); ++i) {
    const fs::path dir = root / directoryName(i, positions[i].name);
    if (!writePosition(dir, positions[i], error)) {
      std::cerr << "brenk-cli bench: " << error << '\n';
      return kExitBadInput;
    }
    std::cout << dir.string() << '\n';
  }
  std::cout << std::flush;
  return kExitOk;
}

int runBench(const BenchArgs& args) {
  if (!args.writeDir.empty()) return writePositions(args.writeDir);
  char header[160];
  if (args.threats) {
    std::snprintf(header, sizeof header, "%-22s %-12s %-7s %5s %-12s %10s %10s %7s %8s\n", "position", "decision",
                  "row,col", "depth", "score", "ab nodes", "vcf nodes", "ms", "kN/s");
  } else {
    std::snprintf(header, sizeof header, "%-22s %-12s %-7s %7s %9s %7s %10s %8s\n", "position", "decision",
                  "row,col", "iters", "nodes", "ms", "nodes/s", "peak MiB");
  }
  // The threat-space mode is named, so its signature is never taken for the default one.
  std::cout << "iterations per position: " << args.iterations << (args.threats ? ", threat-space mode" : "")
            << (args.depth > 0 ? ", depth " + std::to_string(args.depth) : "") << '\n'
            << header;
  Totals totals;
  for (const BenchPosition& bench : benchPositions()) runOne(bench, args, totals);
  const int64_t rate = static_cast<int64_t>(totals.nodes) * 1000 / (totals.ms > 0 ? totals.ms : 1);
  if (args.threats) {
    std::cout << "total alpha-beta nodes " << totals.nodes << ", vcf nodes " << totals.vcfNodes
              << " (threat-space signature), " << rate / 1000 << " kN/s over " << totals.ms << " ms\n";
    return kExitOk;
  }
  std::cout << "total nodes created " << totals.nodes << " (signature), " << rate << " nodes/s over " << totals.ms
            << " ms\n";
  return kExitOk;
}

}  // namespace

Command addBench(CLI::App& cli) {
  CLI::App* command =
      cli.add_subcommand("bench", "search the built-in positions; the last line is the signature");
  auto args = std::make_shared<BenchArgs>();
  CLI::Option* iterations = command->add_option("--iterations", args->iterations, "iteration cap per position")
                                ->capture_default_str()
                                ->check(wholeNumber(0));
  CLI::Option* threats = command->add_flag("--threats", args->threats, "search in the threat-space mode");
  CLI::Option* depth = command->add_option("--depth", args->depth, "the threat-space mode's alpha-beta to this depth")
                           ->check(wholeNumber(1, play::kMaxDepth))
                           ->needs(threats);
  command->add_option("--write", args->writeDir, "write the positions as game directories DIR/NN-name instead")
      ->type_name("DIR")
      ->check(CLI::Validator([](std::string& dir) { return dir.empty() ? std::string("needs a directory") : ""; },
                             "", ""))
      ->excludes(iterations)
      ->excludes(threats)
      ->excludes(depth);
  return {command, [args] { return runBench(*args); }};
}

}  // namespace brenk::cli
