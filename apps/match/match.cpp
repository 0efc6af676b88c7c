// brenk-cli match: plays games between two engines as a tournament manager would, checks every
// answer, and reports results, faults, the slowest move and the largest memory seen.
#include "apps/match/match.h"

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "apps/match/board.h"
#include "apps/match/engine.h"

namespace brenk::match {

namespace {

struct EngineTally {
  int wins = 0;
  int moves = 0;
  int faults[5] = {};  // by MoveFault
  int64_t maxWallMs = 0;
  int64_t peakKiB = 0;

  int faultCount() const { return faults[1] + faults[2] + faults[3] + faults[4]; }
};

struct GameRecord {
  std::vector<MatchMove> opening;
  std::vector<std::string> lines;  // one per move after the opening
  std::string result;
};

struct Match {
  MatchOptions options;
  std::vector<std::vector<MatchMove>> openings;  // from the file; empty for random openings
  EngineTally tally[2];                          // engine A, engine B
  int draws = 0;
  int unfinished = 0;
};

std::string megabytes(int64_t kib) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(1) << static_cast<double>(kib) / 1024.0 << " MiB";
  return text.str();
}

std::vector<MatchMove> openingOf(const Match& match, int game) {
  const int index = match.options.repeatOpenings ? game / 2 : game;
  if (!match.openings.empty()) return match.openings[static_cast<size_t>(index) % match.openings.size()];
  return randomOpening(match.options.seed * 1000003u + static_cast<uint64_t>(index), match.options.openingStones);
}

void showProgress(const Match& match, int game, int stones) {
  if (!match.options.progress) return;
  const EngineTally& a = match.tally[0];
  const EngineTally& b = match.tally[1];
  std::cerr << "\rgame " << game + 1 << "/" << match.options.games << "  stones " << stones << "  A " << a.wins
            << "  B " << b.wins << "  draws " << match.draws << "  faults " << a.faultCount() + b.faultCount()
            << "  slowest " << std::max(a.maxWallMs, b.maxWallMs) << " ms   " << std::flush;
}

void clearProgress(const Match& match) {
  if (match.options.progress) std::cerr << "\r" << std::string(78, ' ') << "\r" << std::flush;
}

void countMove(EngineTally& tally, const MoveOutcome& outcome) {
  ++tally.moves;
  ++tally.faults[static_cast<int>(outcome.fault)];
  tally.maxWallMs = std::max(tally.maxWallMs, outcome.wallMs);
  tally.peakKiB = std::max(tally.peakKiB, outcome.peakKiB);
}

std::string moveLine(const MatchMove& move, char engine, const MoveOutcome& outcome) {
  std::ostringstream line;
  line << move.x << "," << move.y << "  # " << engine << " " << outcome.wallMs << " ms " << outcome.peakKiB << " KiB";
  return line.str();
}

// Plays one game; `engines[0]` plays x. Returns the index (0 or 1) of the winner, or -1.
int playGame(Match& match, MatchEngine* engines[2], const int tallyOf[2], MatchBoard board, GameRecord& record,
             int game) {
  std::optional<MatchMove> last;
  for (int played = 0;; ++played) {
    if (hasFive(board)) return record.result = "the opening holds a five", -1;
    if (isFull(board)) return record.result = "draw, full board", -1;
    if (match.options.maxMoves > 0 && played >= match.options.maxMoves) {
      ++match.unfinished;
      return record.result = "unfinished after " + std::to_string(played) + " moves", -1;
    }
    const char symbol = symbolToMove(board.stones);
    const int side = symbol == 'x' ? 0 : 1;
    const char name = tallyOf[side] == 0 ? 'A' : 'B';
    const MoveOutcome outcome = engines[side]->play(board, symbol, last);
    countMove(match.tally[tallyOf[side]], outcome);
    if (outcome.fault != MoveFault::None) {
      record.lines.push_back(std::string("# ") + name + " " + moveFaultName(outcome.fault) + ": " + outcome.note);
      record.result = std::string(1, otherSymbol(symbol)) + " wins, " + name + " (" + symbol + ") " +
                      moveFaultName(outcome.fault) + ": " + outcome.note;
      return 1 - side;
    }
    placeStone(board, outcome.move.x, outcome.move.y, symbol);
    record.lines.push_back(moveLine(outcome.move, name, outcome));
    last = outcome.move;
    showProgress(match, game, board.stones);
    if (makesFive(board, outcome.move.x, outcome.move.y)) {
      return record.result = std::string(1, symbol) + " wins by five", side;
    }
  }
}

void saveGame(const Match& match, int game, const char* names[2], const GameRecord& record) {
  if (match.options.outDir.empty()) return;
  auto engineOf = [&](const char* name) {
    return std::string(name) + " " + (name[0] == 'A' ? match.options.engineA : match.options.engineB);
  };
  std::ostringstream file;
  file << match.options.outDir << "/game-" << std::setw(3) << std::setfill('0') << game + 1 << ".txt";
  std::ofstream out(file.str());
  out << "# brenk-cli match, game " << game + 1 << "\n# x: " << engineOf(names[0]) << "\n# o: " << engineOf(names[1])
      << "\n# opening: " << record.opening.size() << " stones\n# result: " << record.result << "\n";
  for (const MatchMove& move : record.opening) out << move.x << "," << move.y << "\n";
  for (const std::string& line : record.lines) out << line << "\n";
}

void playOneGame(Match& match, MatchEngine* a, MatchEngine* b, int game) {
  const bool aIsX = game % 2 == 0;
  MatchEngine* engines[2] = {aIsX ? a : b, aIsX ? b : a};
  const int tallyOf[2] = {aIsX ? 0 : 1, aIsX ? 1 : 0};
  const char* names[2] = {aIsX ? "A" : "B", aIsX ? "B" : "A"};
  GameRecord record;
  record.opening = openingOf(match, game);
  const auto board = boardFromMoves(record.opening);
  for (MatchEngine* engine : engines) engine->startGame();
  const int winner = playGame(match, engines, tallyOf, board.value_or(MatchBoard{}), record, game);
  for (int side = 0; side < 2; ++side) {
    if (auto late = engines[side]->endGame()) {
      countMove(match.tally[tallyOf[side]], *late);
      --match.tally[tallyOf[side]].moves;
      record.result += std::string("; ") + names[side] + " " + moveFaultName(late->fault) + ": " + late->note;
    }
  }
  if (winner >= 0) {
    ++match.tally[tallyOf[winner]].wins;
  } else if (record.result.rfind("draw", 0) == 0) {
    ++match.draws;
  }
  clearProgress(match);
  std::cout << "game " << game + 1 << ": x=" << names[0] << " o=" << names[1] << ", " << record.result << " ("
            << record.lines.size() << " moves)" << std::endl;
  saveGame(match, game, names, record);
}

std::string tallyLine(const char* label, const EngineTally& tally) {
  std::ostringstream line;
  line << label << ": " << tally.moves << " moves, illegal " << tally.faults[1] << ", missing " << tally.faults[2]
       << ", crashes " << tally.faults[3] << ", overruns " << tally.faults[4] << ", max wall " << tally.maxWallMs
       << " ms, peak memory " << megabytes(tally.peakKiB);
  return line.str();
}

std::string summary(const Match& match) {
  const EngineTally& a = match.tally[0];
  const EngineTally& b = match.tally[1];
  EngineTally all;
  all.moves = a.moves + b.moves;
  for (int i = 0; i < 5; ++i) all.faults[i] = a.faults[i] + b.faults[i];
  all.maxWallMs = std::max(a.maxWallMs, b.maxWallMs);
  all.peakKiB = std::max(a.peakKiB, b.peakKiB);
  std::ostringstream text;
  text << "games " << match.options.games << ": A wins " << a.wins << ", B wins " << b.wins << ", draws " << match.draws
       << ", unfinished " << match.unfinished << "\n"
       << tallyLine(("A " + match.options.engineA).c_str(), a) << "\n"
       << tallyLine(("B " + match.options.engineB).c_str(), b) << "\n"
       << tallyLine("total", all) << "\n";
  return text.str();
}

}  // namespace

int runMatch(const MatchOptions& options) {
  Match match;
  match.options = options;
  std::string error;
  if (!match.options.openingsFile.empty() && !readOpeningsFile(match.options.openingsFile, match.openings, error)) {
    std::cerr << "brenk-cli match: " << error << "\n";
    return 2;
  }
  if (!match.options.outDir.empty()) std::filesystem::create_directories(match.options.outDir);
  signal(SIGPIPE, SIG_IGN);  // a brain that dies mid-game must not take the manager with it
  auto a = makeMatchEngine(match.options.engineA, match.options.limits);
  auto b = makeMatchEngine(match.options.engineB, match.options.limits);
  for (int game = 0; game < match.options.games; ++game) playOneGame(match, a.get(), b.get(), game);
  const std::string text = summary(match);
  std::cout << text;
  if (!match.options.outDir.empty()) std::ofstream(match.options.outDir + "/summary.txt") << text;
  return match.tally[0].faultCount() + match.tally[1].faultCount() == 0 ? 0 : 1;
}

}  // namespace brenk::match
