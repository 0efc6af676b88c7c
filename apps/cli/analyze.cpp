// brenk-cli analyze DIR: decides the move as brenk would, with the move going to the report
// instead of "tah.dat", and reports how. With --iterations the result is the same on every machine.
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "apps/analysis/board_view.h"
#include "apps/analysis/report.h"
#include "apps/cli/commands.h"
#include "apps/command_line.h"
#include "engine/play/search.h"

namespace brenk::cli {

namespace {

struct AnalyzeArgs {
  std::string dir;
  std::optional<int64_t> iterations;
  std::optional<int64_t> timeMs;
  std::optional<int64_t> memoryMib;
  std::optional<int64_t> depth;
  bool json = false;
  bool threats = false;
};

void addOptions(CLI::App& command, AnalyzeArgs& args) {
  command.add_option("DIR", args.dir, "game directory: plocha.dat, tah.dat and maybe brenk.cfg")->required();
  CLI::Option* iterations =
      command.add_option("--iterations", args.iterations, "iteration cap instead of a time allowance: the same result on every machine")
          ->check(wholeNumber(0));
  CLI::Option* time = command.add_option("--time", args.timeMs, "time allowance in ms instead of the game's own")
                          ->check(wholeNumber(0, std::numeric_limits<int32_t>::max()))
                          ->excludes(iterations);
  command.add_option("--memory", args.memoryMib, "tree memory budget in MiB")->check(wholeNumber(1, int64_t{1} << 20));
  command.add_flag("--json", args.json, "one JSON object instead of the text report");
  CLI::Option* threats = command.add_flag("--threats", args.threats, "search in the threat-space mode");
  // A depth is an effort that no clock can change, so it takes no time allowance; an iteration
  // cap may bound it as well, and then whichever comes first ends the search.
  command
      .add_option("--depth", args.depth,
                  "the threat-space mode's alpha-beta search to exactly this depth: the same result on every machine")
      ->check(wholeNumber(1, play::kMaxDepth))
      ->needs(threats)
      ->excludes(time);
}

DriverOptions driverOptions(const AnalyzeArgs& args, int32_t allowance) {
  DriverOptions options;
  options.diagnostics = &std::cerr;
  options.threats = args.threats;
  if (args.depth) options.playDepth = static_cast<int>(*args.depth);
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

int runAnalyze(const AnalyzeArgs& args) {
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
  // The report does not name the mode, and its figures alone must not be taken for the default's.
  if (options.threats) std::cerr << "brenk-cli analyze: threat-space mode\n";
  const Analysis analysis = analyzePosition(game->position, options);
  if (args.json) {
    writeAnalysisJson(std::cout, analysis);
  } else {
    writeAnalysisText(std::cout, analysis, stdoutIsTerminal());
  }
  return kExitOk;
}

}  // namespace

Command addAnalyze(CLI::App& cli) {
  CLI::App* command = cli.add_subcommand("analyze", "decide the move as brenk would and report how");
  auto args = std::make_shared<AnalyzeArgs>();
  addOptions(*command, *args);
  return {command, [args] { return runAnalyze(*args); }};
}

}  // namespace brenk::cli
