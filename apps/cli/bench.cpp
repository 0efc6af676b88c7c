// brenk-cli bench: the built-in positions, each decided with a fixed iteration cap. The total of
// nodes created is the signature: it moves when search behaviour changes, never with speed.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>

#include "apps/cli/bench_positions.h"
#include "apps/cli/commands.h"
#include "apps/cli/options.h"
#include "engine/host/clock.h"
#include "engine/host/driver.h"
#include "engine/host/files.h"

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
  int64_t ms = 0;
};

void runOne(const BenchPosition& bench, int64_t iterations, Totals& totals) {
  Position pos = loadBenchPosition(bench);
  DriverOptions options;
  options.diagnostics = &std::cerr;
  options.limits.maxIterations = iterations;
  options.limits.timeAllowanceMs = std::numeric_limits<int32_t>::max();
  RecordingSink sink;
  const int32_t start = nowMs();
  const DriverReport report = decideMove(pos, sink, options);
  const int64_t ms = nowMs() - start;
  totals.nodes += report.nodesCreated;
  totals.ms += ms;
  const int64_t rate = static_cast<int64_t>(report.nodesCreated) * 1000 / (ms > 0 ? ms : 1);
  char line[256];
  std::snprintf(line, sizeof line, "%-22s %-12s %2d,%-4d %7lld %9llu %7lld %10lld %8.1f\n", bench.name,
                decisionName(report.decision), sink.row(), sink.col(), static_cast<long long>(report.stats.iterations),
                static_cast<unsigned long long>(report.nodesCreated), static_cast<long long>(ms),
                static_cast<long long>(rate), static_cast<double>(report.peakTreeBytes) / (1 << 20));
  std::cout << line << std::flush;
}

}  // namespace

int runBench(int argc, char** argv) {
  int64_t iterations = kDefaultIterations;
  if (argc == 3 && std::strcmp(argv[1], "--iterations") == 0) {
    const auto value = parseWholeNumber(argv[2], 0, std::numeric_limits<int64_t>::max());
    if (!value) {
      std::cerr << "brenk-cli bench: --iterations needs a whole number of 0 or more\n"
                << "usage: brenk-cli bench [--iterations N]\n";
      return kExitUsage;
    }
    iterations = *value;
  } else if (argc != 1) {
    std::cerr << "usage: brenk-cli bench [--iterations N]\n";
    return kExitUsage;
  }
  char header[160];
  std::snprintf(header, sizeof header, "%-22s %-12s %-7s %7s %9s %7s %10s %8s\n", "position", "decision", "row,col",
                "iters", "nodes", "ms", "nodes/s", "peak MiB");
  std::cout << "iterations per position: " << iterations << '\n' << header;
  Totals totals;
  for (const BenchPosition& bench : benchPositions()) runOne(bench, iterations, totals);
  const int64_t rate = static_cast<int64_t>(totals.nodes) * 1000 / (totals.ms > 0 ? totals.ms : 1);
  std::cout << "total nodes created " << totals.nodes << " (signature), " << rate << " nodes/s over " << totals.ms
            << " ms\n";
  return kExitOk;
}

}  // namespace brenk::cli
