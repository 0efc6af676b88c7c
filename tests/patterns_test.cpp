// Line-pattern codes and the two tables read through them. The tables are checked against figures
// that do not come from their own construction: published value counts and named entries, plus a
// second, bit-wise transcription of the rules written only for these tests.
#include "engine/position/patterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace brenk {
namespace {

using Cells = int32_t[SOB][SOB];

void clearBoard(Cells& cells) {
  for (auto& row : cells) std::fill(std::begin(row), std::end(row), kEmpty);
}

// A window written as text ("x" own, "." empty) turned into a code by the definition: a leading 1,
// then one digit per cell in line order. Kept apart from codeOf so a fault there cannot hide.
uint32_t codeFromText(const std::string& window) {
  uint32_t code = 1;
  for (char c : window) code = (code << 1) | (c == 'x' ? 1u : 0u);
  return code;
}

// Window of a code as bits, cell 0 first, and its length.
struct Bits {
  std::vector<bool> own;
};

Bits bitsOf(uint32_t code) {
  int length = 0;
  while ((code >> (length + 1)) != 0) ++length;
  Bits bits;
  for (int i = length - 1; i >= 0; --i) bits.own.push_back((code >> i) & 1u);
  return bits;
}

uint32_t reversedCode(uint32_t code) {
  const Bits bits = bitsOf(code);
  uint32_t out = 1;
  for (auto it = bits.own.rbegin(); it != bits.own.rend(); ++it) out = (out << 1) | (*it ? 1u : 0u);
  return out;
}

// A code arises when some own cell has at most four cells on either side of it.
bool arises(uint32_t code) {
  if (code < 2) return false;
  const Bits bits = bitsOf(code);
  const int length = static_cast<int>(bits.own.size());
  for (int p = 0; p < length; ++p) {
    if (bits.own[p] && p <= 4 && length - 1 - p <= 4) return true;
  }
  return false;
}

// ---- A second transcription of the scoring rules, over bit vectors ----

int stonesInRun(const std::vector<bool>& w, size_t from, size_t count) {
  int n = 0;
  for (size_t i = from; i < from + count; ++i) n += w[i] ? 1 : 0;
  return n;
}

bool fiveInRow(const std::vector<bool>& w) {
  for (size_t i = 0; i + 5 <= w.size(); ++i) {
    if (stonesInRun(w, i, 5) == 5) return true;
  }
  return false;
}

std::vector<size_t> completionCellsOf(const std::vector<bool>& w) {
  std::vector<size_t> cells;
  for (size_t i = 0; i < w.size(); ++i) {
    if (w[i]) continue;
    std::vector<bool> filled = w;
    filled[i] = true;
    if (fiveInRow(filled)) cells.push_back(i);
  }
  return cells;
}

bool fillingGivesTwoCompletions(const std::vector<bool>& w, size_t cell) {
  std::vector<bool> filled = w;
  filled[cell] = true;
  return completionCellsOf(filled).size() >= 2;
}

int mostStonesInFive(const std::vector<bool>& w) {
  int best = 0;
  for (size_t i = 0; i + 5 <= w.size(); ++i) best = std::max(best, stonesInRun(w, i, 5));
  return best;
}

bool framedSix(const std::vector<bool>& w, int between) {
  for (size_t i = 0; i + 6 <= w.size(); ++i) {
    if (!w[i] && !w[i + 5] && stonesInRun(w, i + 1, 4) == between) return true;
  }
  return false;
}

bool holds(const std::vector<bool>& w, const std::string& pattern) {
  for (size_t i = 0; i + pattern.size() <= w.size(); ++i) {
    bool match = true;
    for (size_t k = 0; k < pattern.size() && match; ++k) match = w[i + k] == (pattern[k] == 'x');
    if (match) return true;
  }
  return false;
}

int32_t ruleScore(uint32_t code) {
  const std::vector<bool> w = bitsOf(code).own;
  if (fiveInRow(w)) return 2333772;
  const std::vector<size_t> completions = completionCellsOf(w);
  if (completions.size() >= 2) return 111132;
  if (completions.size() == 1) {
    for (size_t i = 0; i < w.size(); ++i) {
      if (!w[i] && i != completions[0] && fillingGivesTwoCompletions(w, i)) return 5796;
    }
    return 5795;
  }
  for (size_t i = 0; i < w.size(); ++i) {
    if (!w[i] && fillingGivesTwoCompletions(w, i)) return holds(w, "..xxx..") ? 5294 : 5292;
  }
  if (w.size() >= 5 && mostStonesInFive(w) == 3) return 255;
  if (framedSix(w, 2)) return holds(w, "...xx...") ? 254 : 252;
  if (w.size() >= 5 && mostStonesInFive(w) == 2) return 12;
  if (framedSix(w, 1)) return holds(w, "....x....") ? 6 : 4;
  if (w.size() >= 5 && mostStonesInFive(w) == 1) return 2;
  return 0;
}

int ruleClass(uint32_t code) {
  const std::vector<bool> w = bitsOf(code).own;
  if (w.size() < 5) return 5;
  return 5 - mostStonesInFive(w);
}

// The twelve codes whose entries are not what the rules give.
const std::map<uint32_t, std::pair<int32_t, int32_t>> kExceptions = {
    // code: {entry, what the rules give}
    {427, {255, 5292}},  {469, {255, 5292}},  {695, {5795, 5796}}, {727, {5795, 5796}},
    {823, {5795, 5796}}, {855, {5795, 5796}}, {919, {5795, 5796}}, {979, {5795, 5796}},
    {981, {5795, 5796}}, {982, {5795, 5796}}, {985, {5795, 5796}}, {986, {5795, 5796}},
};

// ---- line-pattern codes on boards ----

TEST(LinePatternCode, EmptyBoardCentreAndCorner) {
  Cells cells;
  clearBoard(cells);
  for (const LineDirection& dir : kLines) {
    EXPECT_EQ(linePatternCode(cells, 10, 10, dir, kStoneX, kStoneO), 528u);  // ....x....
    EXPECT_EQ(linePatternCode(cells, 4, 15, dir, kStoneO, kStoneX), 528u);   // four cells from each edge
  }
  // (0, 0): x.... along the column, the row and the main diagonal; the anti-diagonal is the cell alone.
  EXPECT_EQ(linePatternCode(cells, 0, 0, kLines[0], kStoneX, kStoneO), 48u);
  EXPECT_EQ(linePatternCode(cells, 0, 0, kLines[1], kStoneX, kStoneO), 48u);
  EXPECT_EQ(linePatternCode(cells, 0, 0, kLines[3], kStoneX, kStoneO), 48u);
  EXPECT_EQ(linePatternCode(cells, 0, 0, kLines[2], kStoneX, kStoneO), 3u);
  // (19, 19) mirrors it: ....x ends the window, so the code is 1 0000 1 = 33.
  EXPECT_EQ(linePatternCode(cells, 19, 19, kLines[0], kStoneX, kStoneO), 33u);
  EXPECT_EQ(linePatternCode(cells, 19, 19, kLines[2], kStoneX, kStoneO), 3u);
}

TEST(LinePatternCode, NearSideIsReadFromItsFarthestCell) {
  // One own stone right beside (10, 10) on the near side reads ...xx.... (560); on the far side
  // ....xx... (536). Near sides: up, left, up-right, up-left, in scoring order.
  struct Beside {
    int nearRow, nearCol, farRow, farCol;
  };
  const Beside beside[4] = {{9, 10, 11, 10}, {10, 9, 10, 11}, {9, 11, 11, 9}, {9, 9, 11, 11}};
  Cells cells;
  for (int line = 0; line < 4; ++line) {
    clearBoard(cells);
    cells[beside[line].nearRow][beside[line].nearCol] = kStoneX;
    EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[line], kStoneX, kStoneO), 560u) << "line " << line;
    clearBoard(cells);
    cells[beside[line].farRow][beside[line].farCol] = kStoneX;
    EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[line], kStoneX, kStoneO), 536u) << "line " << line;
  }
  EXPECT_EQ(codeFromText("...xx...."), 560u);
  EXPECT_EQ(codeFromText("....xx..."), 536u);
}

TEST(LinePatternCode, LeadingOneFollowsTheNearSideWhereverItStops) {
  Cells cells;
  clearBoard(cells);
  // Stopped by a stone of the other side at distance 3: window x.x.... = 1 1010000 = 208.
  cells[10][7] = kStoneO;
  cells[10][8] = kStoneX;
  EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[1], kStoneX, kStoneO), 208u);
  // Stopped by the board edge after two cells: the same window, x.x...., from row 2.
  clearBoard(cells);
  cells[0][10] = kStoneX;
  EXPECT_EQ(linePatternCode(cells, 2, 10, kLines[0], kStoneX, kStoneO), 208u);
  // Stopped by the reach of four: an own stone five cells away is not read.
  clearBoard(cells);
  cells[10][5] = kStoneX;
  cells[10][15] = kStoneX;
  EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[1], kStoneX, kStoneO), 528u);
  // The other side's stone right beside the cell on both sides leaves the cell alone: code 3.
  clearBoard(cells);
  cells[9][11] = kStoneO;
  cells[11][9] = kStoneO;
  EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[2], kStoneX, kStoneO), 3u);
  // Seen by the other player, the same stones are own ones: ...xxx... on the anti-diagonal.
  EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[2], kStoneO, kStoneX), codeFromText("...xxx..."));
}

TEST(LinePatternCode, FarSideDoublesAndStops) {
  Cells cells;
  clearBoard(cells);
  // ....xxx then a stone of the other side: 1 0000 111 = 135.
  cells[10][11] = kStoneX;
  cells[10][12] = kStoneX;
  cells[10][13] = kStoneO;
  cells[10][14] = kStoneX;  // beyond the stop: never read
  EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[1], kStoneX, kStoneO), 135u);
  // Far side cut by the edge: (10, 18) reads ....x. (1 0000 10 = 66).
  clearBoard(cells);
  EXPECT_EQ(linePatternCode(cells, 10, 18, kLines[1], kStoneX, kStoneO), 66u);
  // From (17, 2) the main diagonal reaches two cells each way (left edge, bottom edge); the
  // anti-diagonal four cells up-right and two down-left.
  EXPECT_EQ(linePatternCode(cells, 17, 2, kLines[3], kStoneX, kStoneO), codeFromText("..x.."));
  EXPECT_EQ(linePatternCode(cells, 17, 2, kLines[2], kStoneX, kStoneO), codeFromText("....x.."));
}

// An independent reading of the definition: collect the window's cells, then write the code.
uint32_t codeByWalking(const Cells& cells, int row, int col, LineDirection dir, int32_t own, int32_t other) {
  std::string nearSide, farSide;
  for (int d = 1; d <= 4; ++d) {
    const int r = row - d * dir.dRow, c = col - d * dir.dCol;
    if (!onBoard(r, c) || cells[r][c] == other) break;
    nearSide.insert(nearSide.begin(), cells[r][c] == own ? 'x' : '.');
  }
  for (int d = 1; d <= 4; ++d) {
    const int r = row + d * dir.dRow, c = col + d * dir.dCol;
    if (!onBoard(r, c) || cells[r][c] == other) break;
    farSide.push_back(cells[r][c] == own ? 'x' : '.');
  }
  return codeFromText(nearSide + "x" + farSide);
}

TEST(LinePatternCode, AgreesWithTheWindowOnRandomBoards) {
  std::mt19937 rng(20260405);
  std::uniform_int_distribution<int> stone(0, 5);
  Cells cells;
  for (int board = 0; board < 60; ++board) {
    for (auto& row : cells) {
      for (int32_t& cell : row) {
        const int v = stone(rng);
        cell = v == 0 ? kStoneO : v == 1 ? kStoneX : kEmpty;
      }
    }
    for (int row = 0; row < SOB; ++row) {
      for (int col = 0; col < SOB; ++col) {
        for (const LineDirection& dir : kLines) {
          ASSERT_EQ(linePatternCode(cells, row, col, dir, kStoneX, kStoneO),
                    codeByWalking(cells, row, col, dir, kStoneX, kStoneO));
          ASSERT_EQ(linePatternCode(cells, row, col, dir, kStoneO, kStoneX),
                    codeByWalking(cells, row, col, dir, kStoneO, kStoneX));
        }
      }
    }
  }
}

// ---- window text helpers ----

TEST(WindowText, RoundTripsAndMarksArisingCodes) {
  EXPECT_EQ(windowOf(528), "....x....");
  EXPECT_EQ(windowOf(3), "x");
  EXPECT_EQ(codeOf("x...."), 48u);
  int arising = 0;
  for (uint32_t code = 2; code < 1024; ++code) {
    EXPECT_EQ(codeFromText(windowOf(code)), code);
    EXPECT_EQ(codeCanArise(code), arises(code)) << code;
    arising += arises(code) ? 1 : 0;
  }
  EXPECT_EQ(arising, 677);
  EXPECT_FALSE(codeCanArise(0));
  EXPECT_FALSE(codeCanArise(1));
  EXPECT_FALSE(codeCanArise(codeFromText(".....")));      // no own cell at all
  EXPECT_FALSE(codeCanArise(codeFromText("x........")));  // eight cells beyond the only stone
}

// ---- threat score table ----

TEST(ThreatScoreTable, ValueCountsOverArisingCodes) {
  const std::vector<std::pair<int32_t, int>> published = {
      {2333772, 80}, {111132, 72}, {5796, 50}, {5795, 109}, {5294, 17}, {5292, 92}, {255, 121},
      {254, 5},      {252, 50},    {12, 40},   {6, 1},      {4, 9},     {2, 5},     {0, 26},
  };
  std::map<int32_t, int> counted;
  for (uint32_t code = 0; code < 1024; ++code) {
    if (arises(code)) ++counted[threatScoreTable[code]];
  }
  EXPECT_EQ(counted.size(), published.size()) << "an arising code holds a value outside the 14";
  for (const auto& [value, count] : published) EXPECT_EQ(counted[value], count) << "value " << value;
}

TEST(ThreatScoreTable, TellingEntries) {
  struct Entry {
    uint32_t code;
    const char* window;
    int32_t score;
  };
  const Entry entries[] = {
      {63, "xxxxx", 2333772},   {94, ".xxxx.", 111132},
      {221, "x.xxx.x", 111132}, {475, "xx.xx.xx", 111132},
      {47, ".xxxx", 5795},      {157, "..xxx.x", 5796},
      {78, "..xxx.", 5292},     {156, "..xxx..", 5294},
      {213, "x.x.x.x", 5292},   {185, ".xxx..x", 5292},
      {39, "..xxx", 255},       {42, ".x.x.", 12},
      {76, "..xx..", 252},      {148, "..x.x..", 252},
      {280, "...xx...", 254},   {197, "x...x.x", 12},
      {35, "...xx", 12},        {72, "..x...", 4},
      {528, "....x....", 6},    {36, "..x..", 2},
      {15, "xxx", 0},           {3, "x", 0},
  };
  for (const Entry& e : entries) {
    EXPECT_EQ(codeFromText(e.window), e.code) << e.window;
    EXPECT_EQ(threatScoreTable[e.code], e.score) << e.window;
    EXPECT_EQ(ruleScore(e.code), e.score) << "the test's own rules disagree on " << e.window;
  }
}

TEST(ThreatScoreTable, TwelveExceptionsKeepTheirEntries) {
  const std::map<uint32_t, const char*> windows = {
      {427, "x.x.x.xx"},  {469, "xx.x.x.x"},  {695, ".x.xx.xxx"}, {727, ".xx.x.xxx"},
      {823, "x..xx.xxx"}, {855, "x.x.x.xxx"}, {919, "xx..x.xxx"}, {979, "xxx.x..xx"},
      {981, "xxx.x.x.x"}, {982, "xxx.x.xx."}, {985, "xxx.xx..x"}, {986, "xxx.xx.x."},
  };
  ASSERT_EQ(windows.size(), 12u);
  for (const auto& [code, window] : windows) {
    const auto [entry, ruled] = kExceptions.at(code);
    EXPECT_EQ(codeFromText(window), code) << window;
    EXPECT_TRUE(arises(code)) << window;
    EXPECT_EQ(threatScoreTable[code], entry) << window;
    EXPECT_EQ(ruleScore(code), ruled) << window;
    EXPECT_EQ(threatScoreOfWindow(window), ruled) << "the engine's rule function on " << window;
  }
}

TEST(ThreatScoreTable, EveryOtherArisingEntryFollowsTheRules) {
  for (uint32_t code = 0; code < 1024; ++code) {
    if (!arises(code) || kExceptions.count(code)) continue;
    EXPECT_EQ(threatScoreTable[code], ruleScore(code)) << windowOf(code);
    EXPECT_EQ(threatScoreOfWindow(windowOf(code)), ruleScore(code)) << windowOf(code);
  }
}

TEST(ThreatScoreTable, WindowAndItsReverseScoreAlike) {
  int checked = 0;
  for (uint32_t code = 0; code < 1024; ++code) {
    if (!arises(code)) continue;
    const uint32_t mirror = reversedCode(code);
    ASSERT_TRUE(arises(mirror));
    EXPECT_EQ(threatScoreTable[code], threatScoreTable[mirror]) << windowOf(code);
    EXPECT_EQ(threatClassTable[code], threatClassTable[mirror]) << windowOf(code);
    ++checked;
  }
  EXPECT_EQ(checked, 677);
  EXPECT_EQ(reversedCode(codeFromText("x...x.x")), codeFromText("x.x...x"));
}

// ---- threat class table ----

TEST(ThreatClassTable, FollowsItsRuleOnArisingCodes) {
  for (uint32_t code = 0; code < 1024; ++code) {
    if (!arises(code)) continue;
    EXPECT_EQ(threatClassTable[code], ruleClass(code)) << windowOf(code);
  }
}

TEST(ThreatClassTable, HandWorkedWindows) {
  // Stones still lacking for five once the cell is played; short windows cannot hold five.
  EXPECT_EQ(threatClassTable[codeFromText("..xxxxx..")], 0);
  EXPECT_EQ(threatClassTable[codeFromText("xxxx.")], 1);      // other side's stone, cell, three own, empty
  EXPECT_EQ(threatClassTable[codeFromText(".xxxx....")], 1);  // open four
  EXPECT_EQ(threatClassTable[codeFromText("x.x.x.xx")], 2);   // best five cells hold three
  EXPECT_EQ(threatClassTable[codeFromText("...xx....")], 3);
  EXPECT_EQ(threatClassTable[codeFromText("x...x.x")], 3);  // no five cells hold more than two
  EXPECT_EQ(threatClassTable[codeFromText("....x....")], 4);
  EXPECT_EQ(threatClassTable[codeFromText("xxxx")], 5);
  EXPECT_EQ(threatClassTable[codeFromText(".x..")], 5);
  EXPECT_EQ(threatClassTable[3], 5);
}

TEST(ThreatClassTable, LineClassesOnBoards) {
  Cells cells;
  // Two own stones on each side of the cell, empty cells beyond: class 0.
  clearBoard(cells);
  for (int c : {8, 9, 11, 12}) cells[10][c] = kStoneX;
  EXPECT_EQ(threatClassTable[linePatternCode(cells, 10, 10, kLines[1], kStoneX, kStoneO)], 0);
  // The other side right next to the cell, three own stones and an empty cell on the far side:
  // the window reads 1, 1, 1, 1, 0, class 1.
  clearBoard(cells);
  cells[9][10] = kStoneO;
  for (int r : {11, 12, 13}) cells[r][10] = kStoneX;
  EXPECT_EQ(linePatternCode(cells, 10, 10, kLines[0], kStoneX, kStoneO), codeFromText("xxxx."));
  EXPECT_EQ(threatClassTable[linePatternCode(cells, 10, 10, kLines[0], kStoneX, kStoneO)], 1);
  // One own stone next to the cell, only empty cells around: class 3.
  clearBoard(cells);
  cells[11][11] = kStoneX;
  EXPECT_EQ(threatClassTable[linePatternCode(cells, 10, 10, kLines[3], kStoneX, kStoneO)], 3);
  // Between two stones of the other side with three cells besides it, whatever they hold: class 5.
  clearBoard(cells);
  cells[10][6] = kStoneO;
  cells[10][7] = kStoneX;
  cells[10][8] = kStoneX;
  cells[10][9] = kStoneX;
  cells[10][11] = kStoneO;
  EXPECT_EQ(threatClassTable[linePatternCode(cells, 10, 10, kLines[1], kStoneX, kStoneO)], 5);
  // Between such a stone and the board edge: (2, 2) with the other side at (2, 4) and (4, 0).
  cells[2][4] = kStoneO;
  cells[4][0] = kStoneO;
  EXPECT_EQ(threatClassTable[linePatternCode(cells, 2, 2, kLines[1], kStoneX, kStoneO)], 5);
  EXPECT_EQ(threatClassTable[linePatternCode(cells, 2, 2, kLines[2], kStoneX, kStoneO)], 5);
}

}  // namespace
}  // namespace brenk
