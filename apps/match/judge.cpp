// The manager's checks of an engine's answer, shared by both interfaces.
#include <cctype>

#include "apps/match/engine.h"

namespace brenk::match {

const char* moveFaultName(MoveFault fault) {
  switch (fault) {
    case MoveFault::None: return "none";
    case MoveFault::Illegal: return "illegal move";
    case MoveFault::Missing: return "missing move";
    case MoveFault::Crash: return "crash";
    case MoveFault::Overrun: return "time overrun";
  }
  return "none";
}

namespace {

// Decimal digits only: no sign, no blanks, at most three digits.
std::optional<int> parseCoordinate(const std::string& text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

MoveOutcome fault(MoveFault kind, std::string note) {
  MoveOutcome outcome;
  outcome.fault = kind;
  outcome.note = std::move(note);
  return outcome;
}

MoveOutcome judgeCell(const std::string& text, const MatchBoard& board) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return fault(MoveFault::Illegal, "not a move: \"" + text + "\"");
  const auto x = parseCoordinate(text.substr(0, comma));
  const auto y = parseCoordinate(text.substr(comma + 1));
  if (!x || !y) return fault(MoveFault::Illegal, "not a move: \"" + text + "\"");
  if (!onMatchBoard(*x, *y)) return fault(MoveFault::Illegal, "off the board: " + text);
  if (!isEmptyCell(board, *x, *y)) return fault(MoveFault::Illegal, "occupied cell: " + text);
  MoveOutcome outcome;
  outcome.move = MatchMove{*x, *y};
  return outcome;
}

}  // namespace

MoveOutcome judgeMoveFile(const std::optional<std::string>& content, const MatchBoard& board, char symbol) {
  if (!content) return fault(MoveFault::Missing, "tah.dat is gone");
  std::string text = *content;
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  if (text.empty()) return fault(MoveFault::Missing, "tah.dat is empty");
  if (text == std::string(1, symbol)) return fault(MoveFault::Missing, "tah.dat still holds the symbol");
  return judgeCell(text, board);
}

MoveOutcome judgeMoveLine(const std::string& line, const MatchBoard& board) { return judgeCell(line, board); }

}  // namespace brenk::match
