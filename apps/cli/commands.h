// The subcommands of brenk-cli. Each add function puts its subcommand, with its options and help,
// on the command line and returns it with what runs it once the line is parsed; the values the
// options are read into live in that closure. A run returns the process exit status: 0 done,
// 1 the input could not be used (2, a usage error, is the command line's own).
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace brenk::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;

struct Command {
  CLI::App* app = nullptr;
  std::function<int()> run;
};

Command addShow(CLI::App& cli);
Command addAnalyze(CLI::App& cli);
Command addBench(CLI::App& cli);
Command addMatch(CLI::App& cli);
Command addServe(CLI::App& cli);

}  // namespace brenk::cli
