// The pbrain conversation: one manager line in, its answer lines out. Holds the game between
// turns, the manager's INFO values, and a BOARD block while it is being received.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "apps/pbrain/board.h"
#include "apps/pbrain/limits.h"
#include "engine/host/clock.h"

namespace brenk::pbrain {

// The ABOUT answer, with the name and version every tool's --version shows.
std::string aboutLine();

struct Session {
  GameBoard board;
  TimeInfo time;
  std::optional<int64_t> maxMemory;
  std::string folder;               // kept for the record; the engine stores nothing between games
  bool ruleWarningPending = false;  // an unsupported rule was refused; say so once with the next move
  bool threats = false;             // the threat-space mode: the command line's default, then INFO brenk_threats
  bool receivingBoard = false;
  GameBoard incoming;  // the BOARD block so far
  Clock boardClock;    // the BOARD command's arrival: its turn runs from there, not from DONE
};

// Handles one line that arrived at `arrival`; writes the answers, each flushed. Returns false
// when the brain must end (END).
bool handleLine(Session& session, const std::string& line, const Clock& arrival, std::ostream& out);

}  // namespace brenk::pbrain
