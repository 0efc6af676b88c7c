// pbrain-brenk: the engine on the stdin/stdout protocol of current Gomocup managers. One process
// plays whole games; each turn is decided as brenk decides a move, on the board kept here.
#include <iostream>
#include <string>

#include "apps/pbrain/session.h"

int main() {
  brenk::pbrain::Session session;
  std::string line;
  // Nothing is read while a turn is thought over: the next line waits in the pipe.
  while (std::getline(std::cin, line)) {
    const brenk::Clock arrival;  // the turn's time runs from the moment its command is read
    try {
      if (!brenk::pbrain::handleLine(session, line, arrival, std::cout)) break;
    } catch (...) {
      // Turns guard themselves; whatever else fails costs this one line, never the game.
      std::cout << "DEBUG the line could not be handled" << std::endl;
    }
  }
  return 0;
}
