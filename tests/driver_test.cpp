// The driver's rules in order (opening, own five, block five or a nearly full board, verdict,
// search) with moves caught by a RecordingSink; and the facilities around a run: the banner text,
// the failure log under the outer guard, and the program clock.
#include "engine/host/driver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/host/banner.h"
#include "engine/host/clock.h"
#include "engine/host/excpt.h"
#include "engine/host/failure_log.h"
#include "engine/host/files.h"
#include "tests/support/build_stamp.h"
#include "tests/support/temp_dir.h"

namespace brenk {
namespace {

namespace fs = std::filesystem;
using testsupport::isBuildStamp;

struct Stone {
  int row, col, value;
};

// A position as LoadPosition leaves it: cells, count, box widened by 2 from the 10/9 start.
Position loaded(const std::vector<Stone>& stones, int32_t engine) {
  Position pos;
  for (auto& row : pos.cells) {
    for (auto& cell : row) cell = kEmpty;
  }
  pos.stoneCount = 0;
  for (const Stone& s : stones) {
    pos.cells[s.row][s.col] = s.value;
    ++pos.stoneCount;
    if (s.col < pos.minCol) pos.minCol = static_cast<int8_t>(s.col);
    if (s.col > pos.maxCol) pos.maxCol = static_cast<int8_t>(s.col);
    if (s.row < pos.minRow) pos.minRow = static_cast<int8_t>(s.row);
    if (s.row > pos.maxRow) pos.maxRow = static_cast<int8_t>(s.row);
  }
  pos.minCol = static_cast<int8_t>(std::max(0, pos.minCol - 2));
  pos.minRow = static_cast<int8_t>(std::max(0, pos.minRow - 2));
  pos.maxCol = static_cast<int8_t>(std::min(19, pos.maxCol + 2));
  pos.maxRow = static_cast<int8_t>(std::min(19, pos.maxRow + 2));
  pos.toMove = engine;
  pos.opponent = 1 - engine;
  return pos;
}

struct Cell {
  int row, col;
  bool operator==(const Cell&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Cell& c) { return out << "(" << c.row << "," << c.col << ")"; }

Cell openingAnswer(const std::vector<Stone>& stones, int32_t engine) {
  Position pos = loaded(stones, engine);
  EXPECT_TRUE(PlayOpening(pos));
  return {pos.bestOwnRow, pos.bestOwnCol};
}

TEST(PlayOpening, EmptyBoardTakesTheCentre) {
  EXPECT_EQ(openingAnswer({}, kStoneX), (Cell{9, 9}));
  EXPECT_EQ(openingAnswer({}, kStoneO), (Cell{9, 9}));
}

TEST(PlayOpening, SingleOpponentStoneIsAnsweredDiagonallyBelowRight) {
  EXPECT_EQ(openingAnswer({{5, 7, kStoneO}}, kStoneX), (Cell{6, 8}));
  EXPECT_EQ(openingAnswer({{0, 0, kStoneX}}, kStoneO), (Cell{1, 1}));
  EXPECT_EQ(openingAnswer({{18, 18, kStoneO}}, kStoneX), (Cell{19, 19}));
  EXPECT_EQ(openingAnswer({{9, 9, kStoneO}}, kStoneX), (Cell{10, 10}));
}

TEST(PlayOpening, SingleStoneOnTheFarEdgesGetsTheCentre) {
  EXPECT_EQ(openingAnswer({{19, 0, kStoneO}}, kStoneX), (Cell{9, 9}));
  EXPECT_EQ(openingAnswer({{0, 19, kStoneO}}, kStoneX), (Cell{9, 9}));
  EXPECT_EQ(openingAnswer({{19, 19, kStoneX}}, kStoneO), (Cell{9, 9}));
  EXPECT_EQ(openingAnswer({{19, 12, kStoneO}}, kStoneX), (Cell{9, 9}));
}

TEST(PlayOpening, SingleOwnStoneIsAnsweredLikeAnOpponentStone) {
  EXPECT_EQ(openingAnswer({{5, 7, kStoneX}}, kStoneX), (Cell{6, 8}));
  EXPECT_EQ(openingAnswer({{12, 3, kStoneO}}, kStoneO), (Cell{13, 4}));
  EXPECT_EQ(openingAnswer({{19, 3, kStoneX}}, kStoneX), (Cell{9, 9}));
  EXPECT_EQ(openingAnswer({{4, 19, kStoneO}}, kStoneO), (Cell{9, 9}));
}

TEST(PlayOpening, TwoStonesAndFourOrMoreAreLeftToTheLaterRules) {
  Position two = loaded({{9, 9, kStoneX}, {10, 10, kStoneO}}, kStoneX);
  EXPECT_FALSE(PlayOpening(two));
  Position four = loaded({{9, 9, kStoneX}, {10, 10, kStoneO}, {9, 10, kStoneX}, {8, 8, kStoneO}}, kStoneX);
  EXPECT_FALSE(PlayOpening(four));
  Position many = loaded({{0, 0, 1}, {0, 2, 0}, {0, 4, 1}, {0, 6, 0}, {0, 8, 1}, {0, 10, 0}}, kStoneO);
  EXPECT_FALSE(PlayOpening(many));
}

// x on (9,9) and (9,10), o on (10,9), the engine plays o. The opponent's best cells lie on row 9:
// (9,11) has the window ..xxx.... (5294) and three open singles ....x.... (6 each): 5313;
// (9,8) has ....xxx.. (5294) but its main diagonal is cut by (10,9): 1 + 5294 + 6 + 6 + 2 = 5309;
// (9,7) and (9,12) make only an open three (5292): 5311. No other line holds two x.
TEST(PlayOpening, ThreeStonesTakeTheBestOpponentCell) {
  EXPECT_EQ(openingAnswer({{9, 9, kStoneX}, {9, 10, kStoneX}, {10, 9, kStoneO}}, kStoneO), (Cell{9, 11}));
}

// Runs the driver with a fresh clock and a small iteration cap, so a search stays short.
DriverReport decide(Position& pos, RecordingSink& sink, const Clock& clock) {
  DriverOptions options;
  options.limits.clock = &clock;
  options.limits.timeAllowanceMs = 2000;
  options.limits.maxIterations = 40;
  std::ostringstream diagnostics;
  options.diagnostics = &diagnostics;
  return decideMove(pos, sink, options);
}

Cell moveOf(const RecordingSink& sink) { return {sink.row(), sink.col()}; }

TEST(DecideMove, OpeningMoveGoesToTheSink) {
  const Clock clock;
  Position pos = loaded({{5, 7, kStoneO}}, kStoneX);
  RecordingSink sink;
  const DriverReport report = decide(pos, sink, clock);
  EXPECT_EQ(report.decision, Decision::Opening);
  EXPECT_FALSE(report.searched);
  ASSERT_TRUE(sink.hasMove());
  EXPECT_EQ(moveOf(sink), (Cell{6, 8}));
}

std::vector<Stone> row(int r, int fromCol, int toCol, int value) {
  std::vector<Stone> stones;
  for (int c = fromCol; c <= toCol; ++c) stones.push_back({r, c, value});
  return stones;
}

std::vector<Stone> joined(std::vector<Stone> a, const std::vector<Stone>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(DecideMove, OwnFiveComesBeforeBlockingTheOpponentsFive) {
  // Both fours lean on the left edge, so each has one completion cell: (0,4) and (10,4).
  const Clock clock;
  Position pos = loaded(joined(row(0, 0, 3, kStoneX), row(10, 0, 3, kStoneO)), kStoneX);
  RecordingSink sink;
  const DriverReport report = decide(pos, sink, clock);
  EXPECT_EQ(report.decision, Decision::OwnFive);
  EXPECT_EQ(moveOf(sink), (Cell{0, 4}));

  Position mirrored = loaded(joined(row(0, 0, 3, kStoneX), row(10, 0, 3, kStoneO)), kStoneO);
  RecordingSink other;
  EXPECT_EQ(decide(mirrored, other, clock).decision, Decision::OwnFive);
  EXPECT_EQ(moveOf(other), (Cell{10, 4}));
}

TEST(DecideMove, OpponentsFiveIsBlocked) {
  const Clock clock;
  const std::vector<Stone> scattered = {{5, 5, kStoneX}, {5, 15, kStoneX}, {15, 15, kStoneX}, {17, 9, kStoneX}};
  Position pos = loaded(joined(scattered, row(10, 16, 19, kStoneO)), kStoneX);
  RecordingSink sink;
  const DriverReport report = decide(pos, sink, clock);
  EXPECT_EQ(report.decision, Decision::BlockFive);
  EXPECT_EQ(moveOf(sink), (Cell{10, 15}));
  EXPECT_FALSE(report.searched);
}

// A full board without any five: colour (c + 2r) mod 4 / 2 repeats o o x x along rows and both
// diagonals and alternates down the columns, so no line holds more than two alike in a row.
// Row 0 reads o o x x o o x x o o ...; emptying (0,6) and (0,7) leaves o o . . o o between x on
// cols 3 and 10: for o each of the two cells has one completion cell, the other (5795, score
// 5796), and (0,7) is scanned later. Every other empty cell is isolated, so no window through it
// reaches five cells and it scores 1 for both sides; the engine plays x.
const std::vector<Cell> kNearlyFullEmpties = {{0, 7},  {0, 6},  {2, 17},  {3, 5},   {4, 12}, {5, 18}, {6, 6},
                                              {7, 13}, {8, 19}, {9, 7},   {10, 14}, {11, 0}, {12, 8}, {13, 15},
                                              {14, 1}, {15, 9}, {16, 16}, {17, 2},  {18, 10}};

Position nearlyFull(const std::vector<Cell>& empties) {
  std::vector<Stone> stones;
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      bool empty = false;
      for (const Cell& e : empties) empty = empty || (e == Cell{r, c});
      if (!empty) stones.push_back({r, c, ((c + 2 * r) % 4) / 2});
    }
  }
  return loaded(stones, kStoneX);
}

// Cells of one line through (row, col) that a player's window can use: up to 4 on each side,
// stopping before a stone of the other player or at the edge, plus the cell itself.
int windowLength(const Position& pos, int row, int col, int dr, int dc, int32_t other) {
  int length = 1;
  for (int side : {-1, 1}) {
    for (int d = 1; d <= 4; ++d) {
      const int r = row + side * d * dr, c = col + side * d * dc;
      if (!onBoard(r, c) || pos.cells[r][c] == other) break;
      ++length;
    }
  }
  return length;
}

// Checks the construction itself, independently of the scoring code: which lines have room.
void expectOnlyTheRow0PairHasRoom(const Position& pos) {
  const int dirs[4][2] = {{1, 0}, {0, 1}, {1, -1}, {1, 1}};
  for (int r = 0; r < SOB; ++r) {
    for (int c = 0; c < SOB; ++c) {
      if (pos.cells[r][c] != kEmpty) continue;
      for (const auto& d : dirs) {
        const bool pairRow = r == 0 && (c == 6 || c == 7) && d[0] == 0;
        EXPECT_LT(windowLength(pos, r, c, d[0], d[1], kStoneO), 5) << r << "," << c << " for x";
        if (!pairRow) {
          EXPECT_LT(windowLength(pos, r, c, d[0], d[1], kStoneX), 5) << r << "," << c << " for o";
        }
      }
    }
  }
}

TEST(DecideMove, MoreThan380StonesPlaysTheBestOpponentCellAtOnce) {
  const Clock clock;
  Position pos = nearlyFull(kNearlyFullEmpties);
  ASSERT_EQ(pos.stoneCount, 381);
  expectOnlyTheRow0PairHasRoom(pos);
  RecordingSink sink;
  const DriverReport report = decide(pos, sink, clock);
  EXPECT_EQ(report.decision, Decision::BlockFive);
  EXPECT_EQ(moveOf(sink), (Cell{0, 7}));
  EXPECT_FALSE(report.searched);
}

TEST(DecideMove, Exactly380StonesGoOnToTheVerdict) {
  const Clock clock;
  std::vector<Cell> empties = kNearlyFullEmpties;
  empties.push_back({19, 1});
  Position pos = nearlyFull(empties);
  ASSERT_EQ(pos.stoneCount, 380);
  expectOnlyTheRow0PairHasRoom(pos);
  RecordingSink sink;
  const DriverReport report = decide(pos, sink, clock);
  EXPECT_NE(report.decision, Decision::BlockFive);
  EXPECT_NE(report.decision, Decision::OwnFive);
  ASSERT_TRUE(sink.hasMove());
  bool onEmpty = false;
  for (const Cell& e : empties) onEmpty = onEmpty || e == moveOf(sink);
  EXPECT_TRUE(onEmpty) << moveOf(sink);
}

TEST(DecideMove, QuietPositionIsSearchedAndAnswersOnAnEmptyCell) {
  const Clock clock;
  Position pos = loaded({{9, 9, kStoneX}, {10, 10, kStoneO}}, kStoneX);
  const Position before = pos;
  RecordingSink sink;
  const DriverReport report = decide(pos, sink, clock);
  EXPECT_TRUE(report.searched);
  EXPECT_TRUE(report.decision == Decision::Search || report.decision == Decision::ForcedRoot)
      << decisionName(report.decision);
  ASSERT_TRUE(sink.hasMove());
  const Cell move = moveOf(sink);
  ASSERT_TRUE(onBoard(move.row, move.col)) << move;
  EXPECT_EQ(before.cells[move.row][move.col], kEmpty) << move;
  EXPECT_LE(report.stats.iterations, 40);
}

TEST(DecisionName, EveryDecisionHasItsOwnName) {
  const Decision all[] = {Decision::None,    Decision::Opening,    Decision::OwnFive, Decision::BlockFive,
                          Decision::Verdict, Decision::ForcedRoot, Decision::Search,  Decision::SearchError};
  std::vector<std::string> names;
  for (Decision d : all) {
    const std::string name = decisionName(d);
    EXPECT_FALSE(name.empty());
    for (const std::string& seen : names) EXPECT_NE(name, seen);
    names.push_back(name);
  }
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

TEST(Banner, TextLetterForLetter) {
  const std::string rule(74, '-');
  std::ostringstream out;
  const int32_t saved = timeAllowance;
  timeAllowance = 3500;
  writeBanner(out);
  timeAllowance = saved;
  const std::string text = out.str();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.front(), '\n') << "the banner starts with an empty line";
  EXPECT_EQ(text.back(), '\n');
  const std::vector<std::string> lines = linesOf(text);
  ASSERT_EQ(lines.size(), 18u) << text;
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], rule);
  EXPECT_EQ(lines[2], "Piskvorkovy mozek Brenk verze 0.274 pro turnajove rozhrani Gomocup");
  EXPECT_EQ(lines[3].rfind("Zkompilovano ", 0), 0u) << lines[3];
  EXPECT_TRUE(isBuildStamp(lines[3].substr(13))) << lines[3];
  EXPECT_EQ(lines[4].rfind("Naprogramoval ", 0), 0u) << lines[4];
  EXPECT_EQ(lines[5], rule);
  EXPECT_EQ(lines[6], "Direktivy:");
  EXPECT_EQ(lines[7], "Size of board (SOB) = 20");
  EXPECT_EQ(lines[8], "Time for searching (TFS) = 3500 miliseconds");
  EXPECT_EQ(lines[9], "Coefficient of ommision value (COV) = 0.5");
  EXPECT_EQ(lines[10], "Scoring algoritm: exponencial threat score ;version: 200");
  EXPECT_EQ(lines[11], "Moving coefficient (MC) = 5");
  EXPECT_EQ(lines[12], "Game result algoritm: propable-left score");
  EXPECT_EQ(lines[13], "Tree search algoritm: pn-search");
  EXPECT_EQ(lines[14], "no");
  EXPECT_EQ(lines[15], "RatingPnSelect: no");
  EXPECT_EQ(lines[16], "OneChildAway: no");
  EXPECT_EQ(lines[17], rule);
}

TEST(Banner, BuildStampForm) {
  EXPECT_TRUE(isBuildStamp("Dec  8 2025 18:14:02"));
  EXPECT_TRUE(isBuildStamp("Jan 31 1999 00:00:59"));
  EXPECT_FALSE(isBuildStamp("Dec 08 2025 18:14:02")) << "the day is padded with a space, not a zero";
  EXPECT_FALSE(isBuildStamp("Dez  8 2025 18:14:02"));
  EXPECT_FALSE(isBuildStamp("Dec  8 2025 24:14:02"));
  EXPECT_FALSE(isBuildStamp("Dec  8 2025 18:14"));
  EXPECT_TRUE(isBuildStamp(std::string(__DATE__) + " " + __TIME__));
}

TEST(Banner, ShowsTheCurrentAllowance) {
  std::ostringstream out;
  const int32_t saved = timeAllowance;
  timeAllowance = 1234;
  writeBanner(out);
  timeAllowance = saved;
  EXPECT_NE(out.str().find("\nTime for searching (TFS) = 1234 miliseconds\n"), std::string::npos);
}

// Each failure-log case runs in a fresh working directory, since the log goes to the current one.
using testsupport::InTempWorkingDir;
using testsupport::readFile;

TEST(FailureLog, EachEscapedErrorAppendsOneLine) {
  InTempWorkingDir wd;
  runUnderOuterGuard([] { throw "Chyba nastala pri destruktoru."; });
  EXPECT_EQ(readFile(wd.dir() / "brenk.log"), "Naznama nezachytitelna chyba.\n");
  runUnderOuterGuard([] { throw Excpt(3, kUnexpectedError, "Node::SelectMostProoving()"); });
  runUnderOuterGuard([] { throw std::bad_alloc(); });
  runUnderOuterGuard([] { throw 42; });
  EXPECT_EQ(readFile(wd.dir() / "brenk.log"),
            "Naznama nezachytitelna chyba.\nNaznama nezachytitelna chyba.\n"
            "Naznama nezachytitelna chyba.\nNaznama nezachytitelna chyba.\n");
}

TEST(FailureLog, EarlierContentStays) {
  InTempWorkingDir wd;
  std::ofstream(wd.dir() / "brenk.log") << "line from an earlier run\nsecond\n";
  runUnderOuterGuard([] { throw "x"; });
  EXPECT_EQ(readFile(wd.dir() / "brenk.log"), "line from an earlier run\nsecond\nNaznama nezachytitelna chyba.\n");
}

TEST(FailureLog, RunWithoutErrorLeavesNoLog) {
  InTempWorkingDir wd;
  bool ran = false;
  runUnderOuterGuard([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(fs::exists(wd.dir() / "brenk.log"));
}

TEST(FailureLog, LogThatCannotBeOpenedIsSkippedQuietly) {
  InTempWorkingDir wd;
  fs::create_directory(wd.dir() / "brenk.log");  // a directory cannot be opened for appending
  EXPECT_NO_THROW(runUnderOuterGuard([] { throw "x"; }));
  EXPECT_TRUE(fs::is_directory(wd.dir() / "brenk.log"));
}

TEST(ProgramClock, RunsFromProgramStart) {
  const int32_t elapsed = programClock.Elapsed();
  EXPECT_GE(elapsed, 0);
  EXPECT_LT(elapsed, 10 * 60 * 1000) << "started with the process, not at some earlier epoch";
  EXPECT_GE(nowMs(), programClock.start);
  // The time base counts from process start, so its own readings are small too.
  EXPECT_GE(programClock.start, 0);
  EXPECT_LT(programClock.start, 10 * 60 * 1000);
  EXPECT_LT(nowMs(), 10 * 60 * 1000);
}

TEST(ProgramClock, ElapsedIsWallClockTime) {
  const Clock clock;
  EXPECT_GE(clock.Elapsed(), 0);
  // Sleeping uses no processor time, so a processor-time clock would not see it.
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_GE(clock.Elapsed(), 60);
  const int32_t a = nowMs();
  const int32_t b = nowMs();
  EXPECT_GE(b, a);
}

TEST(ProgramClock, ElapsedWrapsLikeSigned32BitDifferences) {
  Clock clock;
  clock.start = nowMs() + 1000;  // a start in the future gives a negative difference, not garbage
  EXPECT_LE(clock.Elapsed(), -900);
  clock.start = INT32_MIN;  // the difference wraps instead of overflowing
  const int32_t expected = static_cast<int32_t>(static_cast<uint32_t>(nowMs()) - static_cast<uint32_t>(INT32_MIN));
  EXPECT_NEAR(clock.Elapsed(), expected, 1000);
}

}  // namespace
}  // namespace brenk
