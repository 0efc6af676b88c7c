#include "bench/search_bench.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bench/board_text.h"
#include "engine/host/driver.h"

namespace brenk::bench {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr double kMiB = 1024.0 * 1024.0;

double secondsBetween(SteadyClock::time_point from, SteadyClock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

double peakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports KiB
}

// What the child process tells the parent. steady_clock is system-wide on Linux, so its time
// points mean the same in both processes.
struct SearchTiming {
  int64_t searchEndTicks = 0;
  double searchSeconds = 0.0;
};

// Why the loop ended: a proved or disproved root, the memory budget, or the allowance.
const char* endedBy(const DriverReport& report) {
  if (report.stats.stoppedByMemory) return "the memory budget";
  if (report.rootValue == 1) return "a proof";
  if (report.rootValue == 0) return "a disproof";
  return "the allowance";
}

void printFigures(const DriverReport& report, const RecordingSink& sink, int32_t allowanceMs, double searchSeconds,
                  double freeSeconds, double rssBefore) {
  std::printf("decision %s, root value %d, move row %d col %d, ended by %s\n", decisionName(report.decision),
              report.rootValue, sink.row(), sink.col(), endedBy(report));
  std::printf("search time          %10.3f s = %5.1f %% of the allowance\n", searchSeconds,
              allowanceMs > 0 ? 100.0 * searchSeconds / (allowanceMs / 1000.0) : 0.0);
  std::printf("iterations           %10lld  (%.0f/s)\n", static_cast<long long>(report.stats.iterations),
              report.stats.iterations / searchSeconds);
  std::printf("nodes created        %10llu  (%.0f/s)\n", static_cast<unsigned long long>(report.nodesCreated),
              report.nodesCreated / searchSeconds);
  std::printf("sizeof(Node)         %10zu bytes, sizeof(P2Node) %zu bytes\n", sizeof(Node), sizeof(P2Node));
  // Nodes removed by pruning and collapse give their blocks back, so this can fall below sizeof(Node).
  std::printf("tree heap per node   %10.0f bytes (cells and chunk slack included, per node created)\n",
              static_cast<double>(report.peakTreeBytes) / static_cast<double>(report.nodesCreated));
  std::printf("peak tree memory     %10.1f MiB\n", report.peakTreeBytes / kMiB);
  std::printf("peak RSS             %10.1f MiB (%.1f MiB before the search)\n", peakRssMiB(), rssBefore);
  std::printf("freeing the tree     %10.3f s = %5.2f %% of the search time\n", freeSeconds,
              100.0 * freeSeconds / searchSeconds);
}

// The threat-space mode's alpha-beta search: how deep it got and how fast it went.
void printAlphaBeta(const DriverReport& report, const RecordingSink& sink, int32_t allowanceMs, double seconds) {
  const AlphaBetaSummary& search = report.alphaBeta;
  std::printf("decision %s, move row %d col %d, depth %d, score %d%s\n", decisionName(report.decision), sink.row(),
              sink.col(), search.depth, search.score, search.forced ? " (forced)" : "");
  std::printf("turn time            %10.3f s = %5.1f %% of the allowance\n", seconds,
              allowanceMs > 0 ? 100.0 * seconds / (allowanceMs / 1000.0) : 0.0);
  std::printf("alpha-beta nodes     %10llu  (%.0f/s over the whole turn)\n",
              static_cast<unsigned long long>(search.nodes), search.nodes / seconds);
  std::printf("solver nodes         %10llu  in %.3f s\n", static_cast<unsigned long long>(report.vcfNodes),
              report.vcfMicros / 1e6);
  std::printf("peak RSS             %10.1f MiB\n", peakRssMiB());
}

// Runs the search as brenk does and prints its figures.
SearchTiming searchAndReport(const Position& start, int32_t allowanceMs, size_t memoryBudget, bool threats,
                             int depth) {
  Position pos = start;
  RecordingSink sink;
  std::ostringstream diagnostics;
  DriverOptions options;
  const Clock clock;  // the allowance counts from here, not from program start
  options.limits.clock = &clock;
  options.limits.timeAllowanceMs = allowanceMs;
  options.limits.memoryBudget = memoryBudget;
  options.diagnostics = &diagnostics;
  options.threats = threats;
  options.playDepth = depth;
  SteadyClock::time_point searchEnd{};
  options.inspectTree = [&](const SearchTree&) { searchEnd = SteadyClock::now(); };

  const double rssBefore = peakRssMiB();
  const SteadyClock::time_point begin = SteadyClock::now();
  const DriverReport report = decideMove(pos, sink, options);
  const SteadyClock::time_point freed = SteadyClock::now();
  if (report.alphaBeta.ran) {
    std::printf("allowance %d ms%s\n", allowanceMs, depth > 0 ? (", depth " + std::to_string(depth)).c_str() : "");
    printAlphaBeta(report, sink, allowanceMs, secondsBetween(begin, freed));
    return SearchTiming{};
  }
  if (!report.searched) {
    std::printf("no search: decision %s\n", decisionName(report.decision));
    return SearchTiming{};
  }
  const double searchSeconds = secondsBetween(begin, searchEnd);
  std::printf("allowance %d ms, tree budget %.0f MiB\n", allowanceMs, memoryBudget / kMiB);
  printFigures(report, sink, allowanceMs, searchSeconds, secondsBetween(searchEnd, freed), rssBefore);
  std::fflush(stdout);
  return SearchTiming{searchEnd.time_since_epoch().count(), searchSeconds};
}

}  // namespace

Position middleGamePosition() {
  static constexpr BoardRows rows = {
      "--------------------", "--------------------", "--------------------", "--------------------",
      "--------------------", "--------------------", "--------------------", "---------oxx--------",
      "---------xo---------", "---------x-o--------", "----------o-x-------", "---------o----------",
      "--------------------", "--------------------", "--------------------", "--------------------",
      "--------------------", "--------------------", "--------------------", "--------------------",
  };
  return positionFromRows(rows, "x");
}

void runSearchBench(const Position& start, int32_t allowanceMs, size_t memoryBudget, bool threats, int depth) {
  // The search runs in a child process, so that the time from the end of the search until the
  // process is gone (all a manager waits for) is seen from outside, and the peak RSS is this
  // search's alone.
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    const SearchTiming timing = searchAndReport(start, allowanceMs, memoryBudget, threats, depth);
    const bool sent = write(pipeEnds[1], &timing, sizeof timing) == static_cast<ssize_t>(sizeof timing);
    close(pipeEnds[1]);
    std::exit(sent ? 0 : 1);
  }
  close(pipeEnds[1]);
  SearchTiming timing;
  const bool received = read(pipeEnds[0], &timing, sizeof timing) == static_cast<ssize_t>(sizeof timing);
  int status = 0;
  waitpid(child, &status, 0);
  const SteadyClock::time_point gone = SteadyClock::now();
  close(pipeEnds[0]);
  if (!received || timing.searchSeconds <= 0.0) return;
  const SteadyClock::time_point searchEnd{SteadyClock::duration(timing.searchEndTicks)};
  const double exitSeconds = secondsBetween(searchEnd, gone);
  std::printf("search end to exit   %10.3f s = %5.2f %% of the search time\n", exitSeconds,
              100.0 * exitSeconds / timing.searchSeconds);
}

}  // namespace brenk::bench
