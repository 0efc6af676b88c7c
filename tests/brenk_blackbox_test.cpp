// The tournament executable as a manager drives it: files in a fresh working directory, standard
// input from /dev/null, then the exact bytes of "tah.dat", standard output and the exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/board_text.h"
#include "tests/support/run_process.h"
#include "tests/support/build_stamp.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using brenk::testsupport::isBuildStamp;
using brenk::testsupport::TempDir;
using EngineRun = brenk::testsupport::ProcessRun;
using Board = brenk::testsupport::BoardText;

// Starts brenk in `dir` with stdin from /dev/null and collects its standard output. A run that
// hangs is killed after two minutes and reported as not exited.
EngineRun runBrenk(const fs::path& dir, const std::vector<std::string>& args = {}) {
  brenk::testsupport::RunOptions options;
  options.args = args;
  options.workDir = dir;
  options.timeoutMs = 120000;
  return brenk::testsupport::runProcess(BRENK_EXE, options);
}

void expectCleanExit(const EngineRun& run) {
  EXPECT_TRUE(run.exited) << "brenk did not end by itself";
  EXPECT_EQ(run.status, 0);
}

// Plays one move on a 20-line board and returns the move file.
std::string moveFor(const std::string& boardText, const std::string& symbol, const char* config = nullptr,
                    EngineRun* runOut = nullptr) {
  TempDir dir;
  dir.write("plocha.dat", boardText);
  dir.write("tah.dat", symbol);
  if (config != nullptr) dir.write("brenk.cfg", config);
  const EngineRun run = runBrenk(dir.path());
  expectCleanExit(run);
  if (runOut != nullptr) *runOut = run;
  return dir.read("tah.dat");
}

TEST(BrenkOpening, EmptyBoardPlaysTheCentre) {
  EngineRun run;
  EXPECT_EQ(moveFor(Board{}.inRows(), "x", nullptr, &run), "9,9");
  EXPECT_EQ(run.out, "") << "a normal run prints nothing";
  EXPECT_EQ(moveFor(Board{}.inRows(), "o"), "9,9");
}

TEST(BrenkOpening, SingleStoneGetsItsDiagonalNeighbour) {
  // Row 5, column 7 answered by row 6, column 8, written column first.
  EXPECT_EQ(moveFor(Board{}.set(5, 7, 'o').inRows(), "x"), "8,6");
  EXPECT_EQ(moveFor(Board{}.set(5, 7, 'x').inRows(), "o"), "8,6");
  EXPECT_EQ(moveFor(Board{}.set(0, 12, 'o').inRows(), "x"), "13,1");
}

TEST(BrenkOpening, SingleStoneOnRowOrColumn19GetsTheCentre) {
  EXPECT_EQ(moveFor(Board{}.set(19, 0, 'o').inRows(), "x"), "9,9");
  EXPECT_EQ(moveFor(Board{}.set(0, 19, 'o').inRows(), "x"), "9,9");
  EXPECT_EQ(moveFor(Board{}.set(19, 19, 'x').inRows(), "o"), "9,9");
}

TEST(BrenkOpening, OwnSingleStoneIsAnsweredTheSameWay) {
  EXPECT_EQ(moveFor(Board{}.set(5, 7, 'x').inRows(), "x"), "8,6");
  EXPECT_EQ(moveFor(Board{}.set(19, 3, 'x').inRows(), "x"), "9,9");
}

TEST(BrenkOpening, ThreeStonesTakeTheBestOpponentCell) {
  // The opponent's x pair on row 9 is widest open at (9,11): see the driver's unit test.
  EXPECT_EQ(moveFor(Board{}.set(9, 9, 'x').set(9, 10, 'x').set(10, 9, 'o').inRows(), "o"), "11,9");
}

// Parses "col,row" in plain decimal (no sign, no leading zero); false for anything else.
bool parseMove(const std::string& text, int& col, int& row) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  auto number = [](const std::string& part, int& value) {
    if (part.empty() || part.size() > 2 || (part.size() == 2 && part[0] == '0')) return false;
    value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    return value < 20;
  };
  return number(text.substr(0, comma), col) && number(text.substr(comma + 1), row);
}

bool isLegalMove(const std::string& move, const Board& board) {
  int col = 0, row = 0;
  return parseMove(move, col, row) && board.cells[static_cast<size_t>(row * 20 + col)] == '-';
}

TEST(BrenkMove, TwoStonesGiveALegalEmptyCell) {
  const Board board = Board{}.set(9, 9, 'x').set(10, 10, 'o');
  const std::string move = moveFor(board.inRows(), "x", "100");
  EXPECT_TRUE(isLegalMove(move, board)) << move;
}

TEST(BrenkMove, FourStonesGiveALegalEmptyCell) {
  const Board board = Board{}.set(9, 9, 'x').set(10, 10, 'o').set(9, 10, 'x').set(11, 11, 'o');
  const std::string move = moveFor(board.inRows(), "o", "100");
  EXPECT_TRUE(isLegalMove(move, board)) << move;
}

// Both fours lean on the left edge, so each has exactly one completion cell.
Board twoFours() { return Board{}.setRow(0, 0, 3, 'x').setRow(10, 0, 3, 'o'); }

TEST(BrenkMove, OwnFiveIsCompletedBeforeTheOpponentsIsBlocked) {
  EXPECT_EQ(moveFor(twoFours().inRows(), "x"), "4,0");
  EXPECT_EQ(moveFor(twoFours().inRows(), "o"), "4,10");
}

TEST(BrenkMove, OpponentsFiveIsBlocked) {
  const Board board = Board{}.set(5, 5, 'x').set(5, 15, 'x').set(15, 15, 'x').set(17, 9, 'x').setRow(10, 16, 19, 'o');
  EXPECT_EQ(moveFor(board.inRows(), "x"), "15,10");
  const Board vertical = Board{}
                             .set(3, 3, 'o')
                             .set(3, 5, 'o')
                             .set(16, 2, 'o')
                             .set(4, 8, 'x')
                             .set(5, 8, 'x')
                             .set(6, 8, 'x')
                             .set(7, 8, 'x')
                             .set(8, 8, 'o');
  EXPECT_EQ(moveFor(vertical.inRows(), "o"), "8,3") << "x four in column 8 with o below: only row 3 completes it";
}

// The full board without any five of the driver's unit test: colour (c + 2r) mod 4 / 2, 19 cells
// emptied; only (0,6) and (0,7) have room for o, and (0,7) is scanned later.
TEST(BrenkMove, NearlyFullBoardPlaysTheBestOpponentCell) {
  Board board;
  for (int r = 0; r < 20; ++r) {
    for (int c = 0; c < 20; ++c) board.set(r, c, ((c + 2 * r) % 4) / 2 == 0 ? 'o' : 'x');
  }
  const int empties[19][2] = {{0, 7},  {0, 6},  {2, 17},  {3, 5},   {4, 12}, {5, 18}, {6, 6},
                              {7, 13}, {8, 19}, {9, 7},   {10, 14}, {11, 0}, {12, 8}, {13, 15},
                              {14, 1}, {15, 9}, {16, 16}, {17, 2},  {18, 10}};
  for (const auto& e : empties) board.set(e[0], e[1], '-');
  EXPECT_EQ(moveFor(board.inRows(), "x"), "7,0");
}

TEST(BrenkBoardFile, OneLineAndTrailingCharacters) {
  const Board board = Board{}.set(5, 7, 'o');
  EXPECT_EQ(moveFor(board.cells, "x"), "8,6");
  EXPECT_EQ(moveFor(board.cells + "xxxxxxxxxxxxxxxx", "x"), "8,6") << "characters after the 400th are not cells";
  EXPECT_EQ(moveFor(board.inRows() + "o\no\n", "x"), "8,6");
}

TEST(BrenkBoardFile, OddLineBreaksAndBlanks) {
  const Board board = Board{}.set(9, 9, 'x').set(9, 10, 'x').set(10, 9, 'o');
  std::string text = "\r\n  ";
  for (size_t i = 0; i < board.cells.size(); ++i) {
    text += board.cells[i];
    if (i % 7 == 3) text += "\r\n";
    if (i % 11 == 0) text += " \t ";
  }
  EXPECT_EQ(moveFor(text, "o"), "11,9");
}

TEST(BrenkBoardFile, UpperCaseLetters) {
  // "X" on the board is an o stone, "X" as the symbol plays x: so this is the three-stone
  // position above with the colours swapped, and the answer is the same cell.
  EXPECT_EQ(moveFor(Board{}.set(9, 9, 'X').set(9, 10, 'X').set(10, 9, 'x').inRows(), "X"), "11,9");
  EXPECT_EQ(moveFor(Board{}.set(9, 9, 'O').set(9, 10, 'O').set(10, 9, 'x').inRows(), "x"), "11,9");
}

TEST(BrenkBoardFile, EmptyMoveFileTakesTheLastBoardCharacter) {
  // Last board character o: the engine plays o and completes its five on row 10.
  EXPECT_EQ(moveFor(twoFours().set(19, 19, 'o').inRows(), ""), "4,10");
  EXPECT_EQ(moveFor(twoFours().inRows(), ""), "4,0") << "last character '-': the engine plays x";
  EXPECT_EQ(moveFor(twoFours().inRows(), " \n\t"), "4,0");
}

TEST(BrenkBoardFile, MoveFileSymbolAfterBlanks) { EXPECT_EQ(moveFor(twoFours().inRows(), "\n  o\n"), "4,10"); }

TEST(BrenkBoardFile, ShortBoardRepeatsItsLastCharacter) {
  // 397 characters ending in x on (19,16): the three missing cells repeat it, so x holds four on
  // the right edge and completes five on (19,15). Read as one stone, it would get the centre.
  EXPECT_EQ(moveFor(std::string(396, '-') + "x", "x"), "15,19");
  EXPECT_EQ(moveFor(std::string(396, '-') + "x", "o"), "15,19");
  EXPECT_EQ(moveFor(std::string(104, '-'), "x"), "9,9") << "a trailing '-' repeats as empty cells";
}

TEST(BrenkMoveFile, ExactBytesWithoutLineEnd) {
  TempDir dir;
  dir.write("plocha.dat", Board{}.set(2, 11, 'o').inRows());
  dir.write("tah.dat", "x\nleftover text that must disappear\n");
  expectCleanExit(runBrenk(dir.path()));
  EXPECT_EQ(dir.read("tah.dat"), "12,3");
}

const std::string kRule(74, '-');

// Compares a banner line by line; the build date and time and the credit line are matched by form.
void expectBanner(const std::string& text, int32_t allowance = 3500) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  ASSERT_EQ(lines.size(), 18u) << text;
  const std::vector<std::string> fixed = {"",
                                          kRule,
                                          "Piskvorkovy mozek Brenk verze 0.274 pro turnajove rozhrani Gomocup",
                                          "",
                                          "",
                                          kRule,
                                          "Direktivy:",
                                          "Size of board (SOB) = 20",
                                          "Time for searching (TFS) = " + std::to_string(allowance) + " miliseconds",
                                          "Coefficient of ommision value (COV) = 0.5",
                                          "Scoring algoritm: exponencial threat score ;version: 200",
                                          "Moving coefficient (MC) = 5",
                                          "Game result algoritm: propable-left score",
                                          "Tree search algoritm: pn-search",
                                          "no",
                                          "RatingPnSelect: no",
                                          "OneChildAway: no",
                                          kRule};
  for (size_t i = 0; i < fixed.size(); ++i) {
    if (i == 3 || i == 4) continue;
    EXPECT_EQ(lines[i], fixed[i]) << "banner line " << i;
  }
  EXPECT_EQ(lines[3].rfind("Zkompilovano ", 0), 0u) << lines[3];
  EXPECT_TRUE(isBuildStamp(lines[3].substr(13))) << lines[3];
  EXPECT_EQ(lines[4].rfind("Naprogramoval ", 0), 0u) << lines[4];
  EXPECT_GT(lines[4].size(), 14u) << "the credit names someone";
}

const std::string kNoBoard = "Nemohu otevrit soubor plocha.dat!\n";
const std::string kNoMoveFile = "Nemohu otevrit soubor tah.dat!\n";

TEST(BrenkMissingFiles, NoBoardFile) {
  TempDir dir;
  dir.write("tah.dat", "x");
  dir.write("brenk.cfg", "100");
  const EngineRun run = runBrenk(dir.path());
  expectCleanExit(run);
  ASSERT_EQ(run.out.rfind(kNoBoard, 0), 0u) << run.out;
  // The configuration is never read, so the banner shows the initial allowance.
  expectBanner(run.out.substr(kNoBoard.size()), 3500);
  EXPECT_EQ(dir.read("tah.dat"), "x") << "no move is written";
  EXPECT_EQ(dir.names(), (std::set<std::string>{"tah.dat", "brenk.cfg"})) << "no brenk.log, nothing else";
}

TEST(BrenkMissingFiles, NoMoveFile) {
  TempDir dir;
  dir.write("plocha.dat", Board{}.set(5, 7, 'o').inRows());
  const EngineRun run = runBrenk(dir.path());
  expectCleanExit(run);
  ASSERT_EQ(run.out.rfind(kNoMoveFile, 0), 0u) << run.out;
  expectBanner(run.out.substr(kNoMoveFile.size()));
  EXPECT_EQ(dir.names(), (std::set<std::string>{"plocha.dat"})) << "no tah.dat created, no brenk.log";
}

TEST(BrenkMissingFiles, NeitherFile) {
  TempDir dir;
  const EngineRun run = runBrenk(dir.path());
  expectCleanExit(run);
  ASSERT_EQ(run.out.rfind(kNoBoard, 0), 0u) << run.out;
  expectBanner(run.out.substr(kNoBoard.size()));
  EXPECT_TRUE(dir.names().empty());
}

TEST(BrenkCommandLine, ArgumentsAreIgnored) {
  TempDir dir;
  dir.write("plocha.dat", Board{}.set(5, 7, 'o').inRows());
  dir.write("tah.dat", "x");
  const EngineRun run = runBrenk(dir.path(), {"--help", "-t", "100", "plocha.dat", "tah.dat"});
  expectCleanExit(run);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(dir.read("tah.dat"), "8,6");

  TempDir empty;
  const EngineRun missing = runBrenk(empty.path(), {"-v", "/nonexistent/plocha.dat"});
  expectCleanExit(missing);
  EXPECT_EQ(missing.out.rfind(kNoBoard, 0), 0u) << missing.out;
}

// x to move holds x x x on row 9 (cols 9..11, blocked by o on col 8) and a stone on (11,13). Its
// best mix cell is (9,13): a four on the row (5795), the open two x.x below it (252) and two open
// singles (6 each): own 6060, mix 30321. The other four cell (9,12) has no second line (own 5814),
// and no other cell comes near. With an allowance of 0 or less no search iteration runs, so the
// move is that cell; with any real allowance the search is free to find a different one.
Board fourInTheMaking() {
  return Board{}.setRow(9, 9, 11, 'x').set(11, 13, 'x').set(9, 8, 'o').set(12, 5, 'o').set(6, 4, 'o').set(15, 16, 'o');
}

TEST(BrenkConfig, AllowanceComesFromTheFirstInteger) {
  EXPECT_EQ(moveFor(fourInTheMaking().inRows(), "x", "0"), "13,9");
  EXPECT_EQ(moveFor(fourInTheMaking().inRows(), "x", "\n\n  0\n"), "13,9") << "blank lines before the number";
  EXPECT_EQ(moveFor(fourInTheMaking().inRows(), "x", "-20 5000"), "13,9");
}

TEST(BrenkConfig, SmallAllowanceStillGivesALegalMove) {
  const Board board = Board{}.set(9, 9, 'x').set(10, 10, 'o');
  for (const char* config : {"\n150\n", "1"}) {
    const std::string move = moveFor(board.inRows(), "x", config);
    EXPECT_TRUE(isLegalMove(move, board)) << config << " -> " << move;
  }
}

TEST(BrenkFailureLog, SuccessfulRunLeavesAnExistingLogAlone) {
  // No error escapes a run that the files can set up; the outer guard's appending is tested on
  // runUnderOuterGuard itself (driver tests).
  TempDir dir;
  dir.write("plocha.dat", Board{}.inRows());
  dir.write("tah.dat", "o");
  dir.write("brenk.log", "Naznama nezachytitelna chyba.\nearlier line\n");
  expectCleanExit(runBrenk(dir.path()));
  EXPECT_EQ(dir.read("tah.dat"), "9,9");
  EXPECT_EQ(dir.read("brenk.log"), "Naznama nezachytitelna chyba.\nearlier line\n");
}

}  // namespace
