// brenk-cli: tools for people who develop, tune or study the engine.
#include <iostream>

int main() {
  std::cerr << "usage: brenk-cli show|analyze|bench|match ...\n";
  return 2;
}
