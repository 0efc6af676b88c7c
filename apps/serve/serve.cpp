#include "apps/serve/serve.h"

#include <iostream>

namespace brenk::serve {

int runServe(const ServeOptions&) {
  std::cerr << "brenk-cli serve: not built yet\n";
  return 1;
}

}  // namespace brenk::serve
