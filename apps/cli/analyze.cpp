// brenk-cli analyze DIR: decides the move as brenk would, with the move going to the report
// instead of "tah.dat", and reports how. With --iterations the result is the same on every machine.
#include <cstring>
#include <iostream>
#include <limits>
#include <optional>
#include <string>

#include "apps/analysis/report.h"
#include "apps/analysis/board_view.h"
#include "apps/cli/commands.h"
#include "apps/cli/options.h"

namespace brenk::cli {

namespace {

constexpr const char* kUsage = "usage: brenk-cli analyze DIR [--iterations N | --time MS] [--memory MIB] [--json]\n";

struct AnalyzeArgs {
  std::string dir;
  std::optional<int64_t> iterations;
  std::optional<int64_t> timeMs;
  std::optional<int64_t> memoryMib;
  bool json = false;
};

// Reads the value after option `argv[i]`; false (with a message) when it is missing or bad.
bool readValue(int argc, char** argv, int& i, int64_t min, int64_t max, std::optional<int64_t>& into) {
  const char* name = argv[i];
  const auto value = i + 1 < argc ? parseWholeNumber(argv[i + 1], min, max) : std::nullopt;
  if (!value) {
    std::cerr << "brenk-cli analyze: " << name << " needs a whole number from " << min << " to " << max << '\n';
    return false;
  }
  into = value;
  ++i;
  return true;
}

bool parseArgs(int argc, char** argv, AnalyzeArgs& args) {
  constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    bool ok = true;
    if (std::strcmp(arg, "--iterations") == 0) {
      ok = readValue(argc, argv, i, 0, std::numeric_limits<int64_t>::max(), args.iterations);
    } else if (std::strcmp(arg, "--time") == 0) {
      ok = readValue(argc, argv, i, 0, kInt32Max, args.timeMs);
    } else if (std::strcmp(arg, "--memory") == 0) {
      ok = readValue(argc, argv, i, 1, int64_t{1} << 20, args.memoryMib);
    } else if (std::strcmp(arg, "--json") == 0) {
      args.json = true;
    } else if (arg[0] == '-' || !args.dir.empty()) {
      std::cerr << "brenk-cli analyze: unexpected argument \"" << arg << "\"\n";
      ok = false;
    } else {
      args.dir = arg;
    }
    if (!ok) return false;
  }
  if (args.dir.empty()) return false;
  if (args.iterations && args.timeMs) {
    std::cerr << "brenk-cli analyze: --iterations and --time exclude each other\n";
    return false;
  }
  return true;
}

DriverOptions driverOptions(const AnalyzeArgs& args, int32_t allowance) {
  DriverOptions options;
  options.diagnostics = &std::cerr;
  SearchLimits& limits = options.limits;
  if (args.iterations) {
    // The cap alone ends the search: no clock can make two runs differ.
    limits.maxIterations = *args.iterations;
    limits.timeAllowanceMs = std::numeric_limits<int32_t>::max();
  } else {
    limits.timeAllowanceMs = args.timeMs ? static_cast<int32_t>(*args.timeMs) : allowance;
  }
  if (args.memoryMib) limits.memoryBudget = static_cast<size_t>(*args.memoryMib) << 20;
  return options;
}

}  // namespace

int runAnalyze(int argc, char** argv) {
  AnalyzeArgs args;
  if (!parseArgs(argc, argv, args)) {
    std::cerr << kUsage;
    return kExitUsage;
  }
  // The time runs from before loading, as brenk's runs from its start.
  Clock clock;
  std::string error;
  const auto game = loadGameDir(args.dir, error);
  if (!game) {
    std::cerr << "brenk-cli analyze: " << error << '\n';
    return kExitBadInput;
  }
  for (const std::string& warning : game->warnings) std::cerr << "brenk-cli analyze: warning: " << warning << '\n';
  DriverOptions options = driverOptions(args, game->allowance);
  options.limits.clock = &clock;
  const Analysis analysis = analyzePosition(game->position, options);
  if (args.json) {
    writeAnalysisJson(std::cout, analysis);
  } else {
    writeAnalysisText(std::cout, analysis, stdoutIsTerminal());
  }
  return kExitOk;
}

}  // namespace brenk::cli
