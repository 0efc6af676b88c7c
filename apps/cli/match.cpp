#include "apps/cli/match.h"

#include <iostream>

namespace brenk::cli {

int runMatch(int, char**) {
  std::cerr << "brenk-cli match: not built yet\n";
  return 2;
}

}  // namespace brenk::cli
