// brenk-cli: tools for people who develop, tune or study the engine. Unlike brenk it reads its
// command line, reports on standard output and fails loudly.
#include <cstring>
#include <iostream>

#include "apps/cli/commands.h"
#include "apps/match/match.h"
#include "apps/serve/serve.h"

namespace {

constexpr const char* kUsage =
    "usage: brenk-cli COMMAND ...\n"
    "  show DIR                      draw the position of a game directory\n"
    "  analyze DIR [--iterations N | --time MS] [--memory MIB] [--json]\n"
    "                                decide the move as brenk would and report how\n"
    "  bench [--iterations N]        search the built-in positions; the last line is the signature\n"
    "  bench --write DIR             write the built-in positions as game directories DIR/NN-name\n"
    "  match ...                     play engines against each other\n"
    "  serve                         play Brenk and look into its search in a web browser\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace brenk::cli;
  if (argc < 2) {
    std::cerr << kUsage;
    return kExitUsage;
  }
  const char* command = argv[1];
  if (std::strcmp(command, "show") == 0) return runShow(argc - 1, argv + 1);
  if (std::strcmp(command, "analyze") == 0) return runAnalyze(argc - 1, argv + 1);
  if (std::strcmp(command, "bench") == 0) return runBench(argc - 1, argv + 1);
  if (std::strcmp(command, "match") == 0) return brenk::match::runMatch(argc - 1, argv + 1);
  if (std::strcmp(command, "serve") == 0) return brenk::serve::runServe({});
  if (std::strcmp(command, "help") == 0 || std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
    std::cout << kUsage;
    return kExitOk;
  }
  std::cerr << "brenk-cli: unknown command \"" << command << "\"\n" << kUsage;
  return kExitUsage;
}
