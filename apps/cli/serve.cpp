// brenk-cli serve: the web server in apps/serve on the command line.
#include <memory>

#include "apps/cli/commands.h"
#include "apps/command_line.h"
#include "apps/serve/serve.h"

namespace brenk::cli {

Command addServe(CLI::App& cli) {
  CLI::App* command = cli.add_subcommand("serve", "play Brenk and look into its search in a web browser");
  auto options = std::make_shared<serve::ServeOptions>();
  command->add_option("--host", options->host, "address to listen on")
      ->capture_default_str()
      ->check(CLI::Validator([](std::string& host) { return host.empty() ? std::string("needs an address") : ""; },
                             "", ""));
  command->add_option("--port", options->port, "port to listen on")->capture_default_str()->check(wholeNumber(1, 65535));
  return {command, [options] { return serve::runServe(*options); }};
}

}  // namespace brenk::cli
