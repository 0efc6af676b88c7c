// brenk-cli serve and match in the Windows build. Debian's cpp-httplib ships its code compiled
// for Linux only, and the match harness starts engines with fork, exec and poll; so there the two
// commands only say where to find them, instead of being refused as unknown words.
#include <iostream>
#include <string>

#include "apps/cli/commands.h"
#include "apps/command_line.h"

namespace brenk::cli {

namespace {

Command linuxOnly(CLI::App& cli, const std::string& name, const std::string& what) {
  CLI::App* command = cli.add_subcommand(name, what + " (Linux build only)");
  command->allow_extras();
  return {command, [name] {
            std::cerr << "brenk-cli " << name << ": not in the Windows build; use the Linux brenk-cli (its match "
                      << "can drive Windows engines through wine)\n";
            return kExitBadInput;
          }};
}

}  // namespace

Command addMatch(CLI::App& cli) { return linuxOnly(cli, "match", "play engines against each other"); }

Command addServe(CLI::App& cli) {
  return linuxOnly(cli, "serve", "play Brenk and look into its search in a web browser");
}

}  // namespace brenk::cli
