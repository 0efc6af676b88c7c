// brenk-cli run as a person runs it: the command line given, standard error kept apart, no time
// limit. Shared by the tests of its commands.
#pragma once

#include <string>
#include <vector>

#include "tests/support/run_process.h"

namespace brenk::testsupport {

inline ProcessRun runCli(const std::vector<std::string>& args) {
  RunOptions options;
  options.args = args;
  options.stderrTo = Stderr::Capture;
  options.timeoutMs = 0;
  return runProcess(BRENK_CLI_EXE, options);
}

}  // namespace brenk::testsupport
