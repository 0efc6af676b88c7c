// brenk-cli match: the harness in apps/match on the command line.
#include <memory>

#include "apps/cli/commands.h"
#include "apps/command_line.h"
#include "apps/match/match.h"

namespace brenk::cli {

Command addMatch(CLI::App& cli) {
  CLI::App* command = cli.add_subcommand("match", "play engines against each other");
  auto options = std::make_shared<match::MatchOptions>();
  match::addMatchOptions(*command, *options);
  return {command, [options] { return match::runMatch(*options); }};
}

}  // namespace brenk::cli
