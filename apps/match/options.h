// The command line of brenk-cli match.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apps/match/board.h"
#include "apps/match/engine.h"

namespace CLI {
class App;
}

namespace brenk::match {

struct MatchOptions {
  std::string engineA;
  std::string engineB;
  int games = 2;
  EngineLimits limits;
  uint64_t seed = 1;
  int openingStones = 4;
  std::string openingsFile;     // empty: random openings
  bool repeatOpenings = false;  // each opening twice, colours swapped
  int maxMoves = 0;             // engine moves per game before it is stopped unfinished; 0 = no limit
  std::string outDir;           // empty: no game records
  bool progress = true;
};

// Puts the engines and options of `match` on its subcommand, read into `options`.
void addMatchOptions(CLI::App& command, MatchOptions& options);

}  // namespace brenk::match
