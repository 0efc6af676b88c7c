// brenk-cli serve: a local web server where a person plays Brenk in a browser and looks into
// its search, and whose JSON API scripts can use.
#pragma once

#include <string>

namespace brenk::serve {

struct ServeOptions {
  std::string host = "127.0.0.1";  // loopback unless told otherwise
  int port = 8020;
};

// Serves until Ctrl-C or SIGTERM; returns the process exit status.
int runServe(const ServeOptions& options);

}  // namespace brenk::serve
