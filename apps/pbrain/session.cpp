// The commands of the pbrain protocol. Answers are single lines flushed at once; diagnostics
// only ever leave as DEBUG or MESSAGE lines, since a manager reads any other line as a move.
#include "apps/pbrain/session.h"

#include <ostream>

#include "apps/pbrain/commands.h"
#include "apps/pbrain/turn.h"
#include "apps/version.h"

namespace brenk::pbrain {

namespace {

// Rule bits of INFO rule that change who wins: exactly five, renju, caro. The continuous-game
// bit (2) keeps five-or-more lines and only adds special stones, which BOARD brings as field 3.
inline constexpr int64_t kRuleBitsNotFreestyle = 1 | 4 | 8;

void answer(std::ostream& out, const std::string& text) { out << text << '\n' << std::flush; }

bool onBoard64(int64_t x, int64_t y) { return x >= 0 && x < SOB && y >= 0 && y < SOB; }

// "x,y" is column, row; false unless both lie on the board.
bool parseCell(const std::string& text, int& row, int& col) {
  const auto numbers = parseNumbers(text, 2);
  if (!numbers || !onBoard64((*numbers)[0], (*numbers)[1])) return false;
  col = static_cast<int>((*numbers)[0]);
  row = static_cast<int>((*numbers)[1]);
  return true;
}

std::string cellText(int row, int col) { return std::to_string(col) + "," + std::to_string(row); }

void newGame(Session& session) {
  session.board = GameBoard{};
  session.receivingBoard = false;
}

void playAndAnswer(Session& session, const Clock& turnClock, std::ostream& out) {
  TurnOptions turn;
  turn.limits.clock = &turnClock;
  turn.limits.timeAllowanceMs = turnAllowanceMs(session.time);
  turn.limits.memoryBudget = treeBudgetBytes(session.maxMemory);
  turn.threats = session.threats;
  turn.gameTime = gameTimeOf(session.time);
  const TurnMove move = playTurn(session.board, turn);
  for (const std::string& note : move.notes) out << "DEBUG " << note << '\n';
  // One MESSAGE per move, so a manager that shows only the last one still shows the refused rule.
  std::string message = move.message;
  if (session.ruleWarningPending) {
    message = "Brenk plays on by freestyle rules: five or more in a row wins" + (message.empty() ? "" : "; " + message);
    session.ruleWarningPending = false;
  }
  if (!message.empty()) out << "MESSAGE " << message << '\n';
  if (!move.found) return answer(out, "ERROR the board is full");
  put(session.board, move.row, move.col, Stone::Own);
  answer(out, cellText(move.row, move.col));
}

void onStart(Session& session, const std::string& args, std::ostream& out) {
  const auto size = parseNumbers(args, 1);
  if (!size) return answer(out, "ERROR START needs the board size, as in START 20");
  if ((*size)[0] != SOB) return answer(out, "ERROR Brenk plays only on the 20x20 board");
  newGame(session);
  answer(out, "OK");
}

void onRectStart(Session& session, const std::string& args, std::ostream& out) {
  const auto size = parseNumbers(args, 2);
  if (!size) return answer(out, "ERROR RECTSTART needs width,height, as in RECTSTART 20,20");
  if ((*size)[0] != SOB || (*size)[1] != SOB) return answer(out, "ERROR Brenk plays only on the 20x20 board");
  newGame(session);
  answer(out, "OK");
}

void onInfo(Session& session, const std::string& args, std::ostream& out) {
  const CommandLine info = splitCommand(args);
  const std::string key = info.word;  // upper case, as splitCommand makes every word
  if (key == "FOLDER") {
    session.folder = info.rest;
    return;
  }
  const auto value = parseNumbers(info.rest, 1);
  if (!value) return;  // unknown keys and unreadable values change nothing
  const int64_t number = (*value)[0];
  if (key == "TIMEOUT_TURN") session.time.turnMs = number;
  if (key == "TIMEOUT_MATCH") session.time.matchMs = number;
  if (key == "TIME_LEFT") session.time.leftMs = number;
  if (key == "MAX_MEMORY") session.maxMemory = number;
  if (key == "BRENK_THREATS" && (number == 0 || number == 1)) session.threats = number == 1;
  if (key == "RULE" && (number & kRuleBitsNotFreestyle) != 0) {
    session.ruleWarningPending = true;
    answer(out, "ERROR Brenk plays freestyle only (five or more in a row); rule " + std::to_string(number) +
                    " is not supported");
  }
}

void onTurn(Session& session, const std::string& args, const Clock& arrival, std::ostream& out) {
  int row = 0;
  int col = 0;
  if (!parseCell(args, row, col)) return answer(out, "ERROR TURN needs a cell x,y on the 20x20 board");
  if (!isEmpty(session.board, row, col)) return answer(out, "ERROR cell " + cellText(row, col) + " is already taken");
  put(session.board, row, col, Stone::Opponent);
  playAndAnswer(session, arrival, out);
}

void onTakeback(Session& session, const std::string& args, std::ostream& out) {
  int row = 0;
  int col = 0;
  if (!parseCell(args, row, col)) return answer(out, "ERROR TAKEBACK needs a cell x,y on the 20x20 board");
  put(session.board, row, col, Stone::None);  // an empty cell already is what the manager wants
  answer(out, "OK");
}

// One line inside BOARD ... DONE: "x,y,f" with f = 1 own, 2 opponent, 3 special stone.
bool onBoardLine(Session& session, const CommandLine& command, const std::string& line, std::ostream& out) {
  if (command.word == "END") return false;
  if (command.word == "DONE") {
    session.board = session.incoming;
    session.receivingBoard = false;
    playAndAnswer(session, session.boardClock, out);
    return true;
  }
  const auto stone = parseNumbers(line, 3);
  const bool valid = stone && onBoard64((*stone)[0], (*stone)[1]) && (*stone)[2] >= 1 && (*stone)[2] <= 3;
  if (!valid) {
    if (!command.word.empty()) answer(out, "DEBUG ignored board line " + trim(line));
    return true;
  }
  const Stone kinds[] = {Stone::Own, Stone::Opponent, Stone::Special};
  put(session.incoming, static_cast<int>((*stone)[1]), static_cast<int>((*stone)[0]), kinds[(*stone)[2] - 1]);
  return true;
}

}  // namespace

std::string aboutLine() {
  return std::string("name=\"") + kEngineName + "\", version=\"" + kEngineVersion + "\", author=\"Brenk team\", country=\"CZ\"";
}

bool handleLine(Session& session, const std::string& line, const Clock& arrival, std::ostream& out) {
  const CommandLine command = splitCommand(line);
  if (session.receivingBoard) return onBoardLine(session, command, line, out);
  const std::string& word = command.word;
  if (word.empty() || word == "YXSTOP") return true;  // YXSTOP: the move has already been sent
  if (word == "END") return false;
  if (word == "START") {
    onStart(session, command.rest, out);
  } else if (word == "RECTSTART") {
    onRectStart(session, command.rest, out);
  } else if (word == "RESTART") {
    newGame(session);
    answer(out, "OK");
  } else if (word == "INFO") {
    onInfo(session, command.rest, out);
  } else if (word == "BEGIN") {
    playAndAnswer(session, arrival, out);
  } else if (word == "TURN") {
    onTurn(session, command.rest, arrival, out);
  } else if (word == "BOARD") {
    session.receivingBoard = true;
    session.incoming = GameBoard{};
    session.boardClock = arrival;
  } else if (word == "TAKEBACK") {
    onTakeback(session, command.rest, out);
  } else if (word == "ABOUT") {
    answer(out, aboutLine());
  } else {
    answer(out, "UNKNOWN command " + word + " is not supported");
  }
  return true;
}

}  // namespace brenk::pbrain
