// The guard around one decision: whatever goes wrong inside, the manager gets a legal move and
// the brain lives on for the next turn.
#include "apps/pbrain/turn.h"

#include <exception>
#include <sstream>

#include "apps/analysis/principal_line.h"
#include "apps/pbrain/message.h"
#include "engine/host/driver.h"
#include "engine/host/excpt.h"
#include "engine/host/platform.h"

namespace brenk::pbrain {

namespace {

void addNotes(TurnMove& move, const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty()) move.notes.push_back(line);
  }
}

std::string describeCurrentError() {
  try {
    throw;
  } catch (const char* text) {
    return text;
  } catch (const Excpt& error) {
    return std::string(error.where) + ": " + error.message;
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace

TurnMove playTurn(const GameBoard& board, const TurnOptions& turn) {
  TurnMove move;
  RecordingSink sink;
  std::ostringstream diagnostics;
  MoveFacts facts;
  // Said before anything can fail, so a transcript always shows which mode played the move.
  if (turn.threats) move.notes.push_back("threat-space mode");
  try {
    Position pos = loadPosition(board);
    DriverOptions options;
    options.limits = turn.limits;
    options.diagnostics = &diagnostics;
    options.threats = turn.threats;
    options.gameTime = turn.gameTime;
    options.inspectTree = [&facts](const SearchTree& tree) { facts.line = cli::principalLine(tree); };
    const DriverReport report = decideMove(pos, sink, options);
    facts.report = report;
    if (turn.limits.clock != nullptr) facts.turnMs = turn.limits.clock->Elapsed();
    std::ostringstream summary;
    summary << "decision " << decisionName(report.decision) << ", iterations " << report.stats.iterations << ", nodes "
            << report.nodesCreated;
    move.notes.push_back(summary.str());
  } catch (...) {
    move.notes.push_back("error: " + describeCurrentError());
  }
  addNotes(move, diagnostics.str());
  // The manager measures the brain's memory between turns; hand the freed tree back.
  platform::returnFreedMemory();
  if (sink.hasMove() && onBoard(sink.row(), sink.col()) && isEmpty(board, sink.row(), sink.col())) {
    move.found = true;
    move.row = sink.row();
    move.col = sink.col();
  } else {
    move.notes.push_back("no legal move decided; playing an empty cell instead");
    move.found = anyEmptyCell(board, move.row, move.col);
    facts.fallback = true;
  }
  if (move.found) {
    facts.x = move.col;
    facts.y = move.row;
    move.message = moveMessage(facts);
  }
  return move;
}

}  // namespace brenk::pbrain
