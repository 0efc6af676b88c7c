// Forced wins found and played end to end: solved VCF positions through decideMove with an
// iteration cap (so the result does not depend on the machine), brenk itself on a four-three, a
// double four and a short VCF with its default allowance, and a fixed-iteration signature.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/host/driver.h"
#include "engine/host/files.h"
#include "engine/position/scoring.h"
#include "tests/support/board_text.h"
#include "tests/support/loaded_position.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace brenk {
namespace {

using Cell = std::pair<int, int>;  // row, col
using Cells = std::vector<Cell>;

// "x,y;x,y" as in the solved-position files: x is the column, y the row.
Cells parseCells(const std::string& text) {
  Cells cells;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ';')) {
    const size_t comma = item.find(',');
    cells.emplace_back(std::stoi(item.substr(comma + 1)), std::stoi(item.substr(0, comma)));
  }
  return cells;
}

// The board file's text: x for the first list, o for the second, one row a line.
std::string boardText(const Cells& xs, const Cells& os) {
  return testsupport::BoardText{}.place(xs, 'x').place(os, 'o').inRows();
}

Position loadedPosition(const Cells& xs, const Cells& os, const char* symbol) {
  return testsupport::loadedPosition(boardText(xs, os), symbol);
}

struct Outcome {
  DriverReport report;
  Cell move;
};

Outcome decide(const Cells& xs, const Cells& os, const char* symbol, int64_t maxIterations) {
  Position pos = loadedPosition(xs, os, symbol);
  RecordingSink sink;
  std::ostringstream diagnostics;
  const Clock clock;
  DriverOptions options;
  options.limits.clock = &clock;
  options.limits.timeAllowanceMs = INT32_MAX;  // the cap alone ends the search
  options.limits.maxIterations = maxIterations;
  options.diagnostics = &diagnostics;
  Outcome outcome{decideMove(pos, sink, options), {sink.row(), sink.col()}};
  EXPECT_TRUE(sink.hasMove());
  EXPECT_EQ(diagnostics.str(), "");
  return outcome;
}

bool contains(const Cells& cells, Cell cell) { return std::find(cells.begin(), cells.end(), cell) != cells.end(); }

// Positions from the solved VCF collection: the side to move (B = x, W = o) wins by fours,
// and every winning first move is listed.
struct SolvedVcf {
  const char* id;
  const char* symbol;
  const char* black;  // x
  const char* white;  // o
  const char* winning;
};

const SolvedVcf kVcfs[] = {
    {"4", "x", "9,4;12,4;11,5;13,5;8,6;13,7;8,8;9,8;10,8;14,8;9,9;12,9",
     "10,3;11,4;8,5;9,5;10,5;10,7;12,7;11,8;12,8;15,8;15,9;15,10", "10,4;10,6;12,6;9,7;11,7;6,8;7,8"},
    {"12", "x", "7,5;8,6;11,7;12,7;9,8;10,8;7,9;11,9;9,10;8,11", "11,5;9,6;11,6;12,6;8,7;9,7;10,7;12,8;13,8;9,9",
     "11,8"},
    {"18", "x", "8,5;9,5;7,7;10,7;6,8;8,8;12,8;13,8;8,9;9,9;11,9;14,9",
     "8,6;10,6;9,7;11,7;10,8;11,8;7,9;12,9;7,10;8,10;10,10;10,11", "5,5"},
    {"1741", "o", "11,6;12,6;13,6;8,7;13,7;10,8;9,9;13,10;9,11", "10,7;11,7;12,7;9,8;11,8;12,8;10,9;12,9",
     "9,6;9,10;8,11;12,11"},
};

TEST(SolvedVcfPositions, SearchProvesTheWinAndPlaysAWinningFirstMove) {
  for (const SolvedVcf& vcf : kVcfs) {
    const Outcome outcome = decide(parseCells(vcf.black), parseCells(vcf.white), vcf.symbol, 2000);
    EXPECT_EQ(outcome.report.decision, Decision::Search) << "id " << vcf.id;
    EXPECT_EQ(outcome.report.rootValue, 1) << "id " << vcf.id;
    EXPECT_TRUE(outcome.report.rootProof == 0.0f) << "id " << vcf.id;
    EXPECT_TRUE(outcome.report.rootDisproof.inf) << "id " << vcf.id;
    EXPECT_LT(outcome.report.stats.iterations, 2000) << "id " << vcf.id << ": the proof ends the loop";
    EXPECT_TRUE(contains(parseCells(vcf.winning), outcome.move))
        << "id " << vcf.id << " played row " << outcome.move.first << " col " << outcome.move.second;
  }
}

// x's three on row 9 is closed by o at (9,5); with the two stones on column 9, the cell (9,9)
// makes a four and an open three at once: o must block the four at (9,10), and the three then
// becomes an open four. No other cell makes two threats. o's loose stones threaten nothing.
const Cells kFourThreeX = {{9, 6}, {9, 7}, {9, 8}, {10, 9}, {11, 9}};
const Cells kFourThreeO = {{9, 5}, {15, 3}, {16, 16}, {2, 18}, {17, 12}};

// Two threes, each closed at its far end by o, pointing at (9,9) along row 9 and column 9.
// Playing there makes two fours, completed at (9,10) and at (10,9): o can block only one.
const Cells kDoubleFourX = {{9, 6}, {9, 7}, {9, 8}, {6, 9}, {7, 9}, {8, 9}};
const Cells kDoubleFourO = {{9, 5}, {5, 9}, {15, 3}, {16, 16}, {2, 18}, {17, 12}};

TEST(ForcedWins, FourThreeIsFoundBySearch) {
  const Outcome outcome = decide(kFourThreeX, kFourThreeO, "x", 2000);
  EXPECT_EQ(outcome.report.decision, Decision::Search);
  EXPECT_EQ(outcome.report.rootValue, 1);
  EXPECT_EQ(outcome.move, Cell(9, 9));
}

TEST(ForcedWins, DoubleFourIsSeenWithoutSearch) {
  const Outcome outcome = decide(kDoubleFourX, kDoubleFourO, "x", 2000);
  EXPECT_EQ(outcome.report.decision, Decision::Verdict);
  EXPECT_FALSE(outcome.report.searched);
  EXPECT_EQ(outcome.move, Cell(9, 9));
}

// Runs brenk in a fresh directory holding the two input files and no brenk.cfg, so the
// allowance is the default; returns what it left in tah.dat.
std::string runBrenk(const std::string& board, const char* symbol) {
  const testsupport::TempDir dir("brenk-e2e");
  dir.write("plocha.dat", board);
  dir.write("tah.dat", symbol);
  testsupport::RunOptions options;
  options.workDir = dir.path();
  options.stderrTo = testsupport::Stderr::Merge;
  options.timeoutMs = 0;  // the default allowance, however slow the machine
  const testsupport::ProcessRun run = testsupport::runProcess(BRENK_EXE, options);
  EXPECT_EQ(run.status, 0) << run.out;  // -1 unless it exited by itself
  EXPECT_FALSE(dir.has("brenk.log")) << "no error may escape";
  return dir.read("tah.dat");
}

TEST(BrenkPlaysForcedWins, FourThree) { EXPECT_EQ(runBrenk(boardText(kFourThreeX, kFourThreeO), "x"), "9,9"); }

TEST(BrenkPlaysForcedWins, DoubleFour) { EXPECT_EQ(runBrenk(boardText(kDoubleFourX, kDoubleFourO), "x"), "9,9"); }

TEST(BrenkPlaysForcedWins, ShortVcf) {
  const SolvedVcf& vcf = kVcfs[0];
  const std::string move = runBrenk(boardText(parseCells(vcf.black), parseCells(vcf.white)), vcf.symbol);
  // The move file holds column,row, exactly as the collection writes x,y.
  std::istringstream in(vcf.winning);
  std::string item;
  bool found = false;
  while (std::getline(in, item, ';')) found = found || item == move;
  EXPECT_TRUE(found) << "played " << move;
}

// A fixed number of iterations on three positions. The outcomes are facts of the game where the
// comments say so; the node counts, and the numbers and move of the open position, are a
// signature of the search's behaviour: any change in generation, ordering, selection or
// evaluation moves them, a pure speed-up does not. When a change is meant to alter behaviour,
// check the new figures by hand and update them here.
struct Signature {
  const char* name;
  Cells xs, os;
  const char* symbol;
  int64_t maxIterations;
  int32_t rootValue;
  infFloat proof, disproof;
  Cell move;
  int64_t iterations;
  uint64_t nodesCreated;
};

TEST(SearchSignature, FixedIterationsGiveTheRecordedResults) {
  const SolvedVcf& vcf12 = kVcfs[1];
  const Signature signatures[] = {
      // Solved: x wins, and (8,11) is the only winning first move. Proof 0, and the proved
      // child's evaluation made the defender's number infinite.
      {"vcf 12",
       parseCells(vcf12.black),
       parseCells(vcf12.white),
       "x",
       2000,
       1,
       finite(0),
       infinite(),
       {8, 11},
       49,
       465},
      // x cannot meet both of o's four-threes, (9,9) and (3,15): lost, and the move is the root's
      // best opponent cell, (9,9) of the two.
      {"two four-threes against",
       {{9, 5}, {3, 11}, {15, 3}, {16, 16}, {0, 19}},
       {{9, 6}, {9, 7}, {9, 8}, {10, 9}, {11, 9}, {3, 12}, {3, 13}, {3, 14}, {4, 15}, {5, 15}},
       "x",
       2000,
       0,
       infinite(),
       finite(0),
       {9, 9},
       3,
       41},
      // A quiet middle game from self-play: still open after 300 iterations. The proof number is
      // 42.4 as the float additions leave it.
      {"middle game",
       {{7, 10}, {7, 11}, {8, 9}, {9, 9}, {10, 12}},
       {{7, 9}, {8, 10}, {9, 11}, {10, 10}, {11, 9}},
       "x",
       300,
       2,
       finite(0x1.533332p+5f),
       finite(18),
       {8, 12},
       300,
       1905},
  };
  for (const Signature& expected : signatures) {
    const Outcome outcome = decide(expected.xs, expected.os, expected.symbol, expected.maxIterations);
    const DriverReport& report = outcome.report;
    EXPECT_EQ(report.decision, Decision::Search) << expected.name;
    EXPECT_EQ(report.rootValue, expected.rootValue) << expected.name;
    EXPECT_EQ(report.rootProof.inf, expected.proof.inf) << expected.name;
    EXPECT_EQ(report.rootDisproof.inf, expected.disproof.inf) << expected.name;
    if (!expected.proof.inf) {
      EXPECT_EQ(report.rootProof.value, expected.proof.value) << expected.name;
    }
    if (!expected.disproof.inf) {
      EXPECT_EQ(report.rootDisproof.value, expected.disproof.value) << expected.name;
    }
    EXPECT_EQ(outcome.move, expected.move) << expected.name;
    const auto [row, col] = outcome.move;
    EXPECT_EQ(loadedPosition(expected.xs, expected.os, expected.symbol).cells[row][col], kEmpty) << expected.name;
    EXPECT_EQ(report.stats.iterations, expected.iterations) << expected.name;
    EXPECT_EQ(report.nodesCreated, expected.nodesCreated) << expected.name;
  }
}

}  // namespace
}  // namespace brenk
