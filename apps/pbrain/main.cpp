// pbrain-brenk: the engine on the stdin/stdout protocol of current Gomocup managers. One process
// plays whole games; each turn is decided as brenk decides a move, on the board kept here.
// Managers start it without arguments; --threats (or INFO brenk_threats 1) turns on the
// threat-space mode, and pbrain-brenk-threats is the same brain with that mode on from the start.
// Any other argument is refused before the protocol begins, so a mistyped flag is never a game
// played in the wrong mode.
#include <iostream>
#include <string>

#include "apps/command_line.h"
#include "apps/pbrain/session.h"

#ifndef BRENK_PBRAIN_THREATS
#define BRENK_PBRAIN_THREATS 0
#endif

int main(int argc, char** argv) {
  brenk::pbrain::Session session;
  session.threats = BRENK_PBRAIN_THREATS != 0;
  CLI::App app{"A Gomoku brain on the pbrain protocol: commands on standard input, answers on standard output.",
               argc > 0 ? std::string(argv[0]).substr(std::string(argv[0]).find_last_of('/') + 1) : "pbrain-brenk"};
  brenk::addVersionFlag(app);
  CLI::Option* on = app.add_flag_callback(
      "--threats", [&session] { session.threats = true; }, "the threat-space mode on until INFO brenk_threats 0");
  app.add_flag_callback(
         "--no-threats", [&session] { session.threats = false; }, "the threat-space mode off until INFO brenk_threats 1")
      ->excludes(on);
  if (const auto status = brenk::parseCommandLine(app, argc, argv)) return *status;

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
