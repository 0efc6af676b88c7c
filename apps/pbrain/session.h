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

inline constexpr const char* kAboutLine = "name=\"Brenk\", version=\"0.274\", author=\"Brenk team\", country=\"CZ\"";

struct Session {
  GameBoard board;
  TimeInfo time;
  std::optional<int64_t> maxMemory;
  std::string folder;               // kept for the record; the engine stores nothing between games
  bool ruleWarningPending = false;  // an unsupported rule was refused; say so once with the next move
  bool receivingBoard = false;
  GameBoard incoming;  // the BOARD block so far
  Clock boardClock;    // the BOARD command's arrival: its turn runs from there, not from DONE
};

// Handles one line that arrived at `arrival`; writes the answers, each flushed. Returns false
// when the brain must end (END).
bool handleLine(Session& session, const std::string& line, const Clock& arrival, std::ostream& out);

}  // namespace brenk::pbrain
