// The subcommands of brenk-cli. Each takes its own arguments (argv[0] is the subcommand's name)
// and returns the process exit status: 0 done, 1 the input could not be used, 2 a usage error.
#pragma once

namespace brenk::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUsage = 2;

int runShow(int argc, char** argv);
int runAnalyze(int argc, char** argv);
int runBench(int argc, char** argv);

}  // namespace brenk::cli
