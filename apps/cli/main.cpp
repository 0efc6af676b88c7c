// brenk-cli: tools for people who develop, tune or study the engine. Unlike brenk it reads its
// command line, reports on standard output and fails loudly.
#include <iostream>
#include <string>
#include <vector>

#include "apps/cli/commands.h"
#include "apps/command_line.h"

int main(int argc, char** argv) {
  using namespace brenk::cli;
  CLI::App cli{"Tools for people who develop, tune or study the Brenk engine.", "brenk-cli"};
  brenk::addVersionFlag(cli);
  // At most one command; none is refused below, so that an unknown word is named as such
  // rather than reported as a missing command.
  cli.require_subcommand(0, 1);
  const std::vector<Command> commands = {addShow(cli), addAnalyze(cli), addBench(cli), addMatch(cli), addServe(cli)};
  // `brenk-cli help` has always printed the usage, as --help does.
  CLI::App* help = cli.add_subcommand("help", "print this help");

  if (const auto status = brenk::parseCommandLine(cli, argc, argv)) return *status;
  // cli.help() would describe the help command itself, the one that was parsed.
  const std::string usage = cli.get_formatter()->make_help(&cli, cli.get_name(), CLI::AppFormatMode::Normal);
  if (help->parsed()) {
    std::cout << usage;
    return kExitOk;
  }
  for (const Command& command : commands) {
    if (command.app->parsed()) return command.run();
  }
  std::cerr << "brenk-cli: a command is needed\n" << usage;
  return brenk::kExitCommandLine;
}
