// brenk-cli analyze and show, run as people run them: a game directory in a fresh temporary
// folder, then standard output, standard error and the exit status. The expected JSON objects are
// worked out from the scoring rules by a slow reference scorer written here from those rules
// alone, and by hand for the best cells, the verdict, the decision and the search figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/cli_run.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// ---- running the tool ---------------------------------------------------------------------------

using brenk::testsupport::readFile;
using brenk::testsupport::TempDir;

using CliRun = brenk::testsupport::ProcessRun;
using brenk::testsupport::runCli;

// ---- boards -------------------------------------------------------------------------------------

using Board = std::array<std::array<char, 20>, 20>;  // 'x', 'o' or '-'

Board emptyBoard() {
  Board board;
  for (auto& row : board) row.fill('-');
  return board;
}

Board withStones(std::vector<std::array<int, 2>> xs, std::vector<std::array<int, 2>> os) {
  Board board = emptyBoard();
  for (const auto& [row, col] : xs) board[row][col] = 'x';
  for (const auto& [row, col] : os) board[row][col] = 'o';
  return board;
}

std::string boardText(const Board& board) {
  std::string text;
  for (const auto& row : board) text += std::string(row.begin(), row.end()) + "\n";
  return text;
}

void writeGame(const TempDir& dir, const Board& board, const std::string& symbol) {
  dir.write("plocha.dat", boardText(board));
  dir.write("tah.dat", symbol);
}

// ---- reference scorer, straight from the rules --------------------------------------------------

using Window = std::string;  // 'x' own stone (the judged cell included), '.' empty

bool hasFive(const Window& w) { return w.find("xxxxx") != std::string::npos; }

int completionCount(const Window& w) {
  int count = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    if (w[i] != '.') continue;
    Window filled = w;
    filled[i] = 'x';
    if (hasFive(filled)) ++count;
  }
  return count;
}

// Whether filling some empty cell other than `skip` leaves two or more completion cells.
bool someFillMakesTwoCompletions(const Window& w, size_t skip) {
  for (size_t i = 0; i < w.size(); ++i) {
    if (w[i] != '.' || i == skip) continue;
    Window filled = w;
    filled[i] = 'x';
    if (completionCount(filled) >= 2) return true;
  }
  return false;
}

int mostInFive(const Window& w) {
  int best = 0;
  for (size_t i = 0; i + 5 <= w.size(); ++i)
    best = std::max(best, static_cast<int>(std::count(w.begin() + i, w.begin() + i + 5, 'x')));
  return best;
}

// Some 6 consecutive cells that begin and end empty and hold exactly `stones` between.
bool hasFramedRun(const Window& w, int stones) {
  for (size_t i = 0; i + 6 <= w.size(); ++i) {
    if (w[i] == '.' && w[i + 5] == '.' && std::count(w.begin() + i + 1, w.begin() + i + 5, 'x') == stones) return true;
  }
  return false;
}

bool contains(const Window& w, const char* part) { return w.find(part) != std::string::npos; }

int windowCode(const Window& w) {
  int code = 1;
  for (char ch : w) code = code * 2 + (ch == 'x' ? 1 : 0);
  return code;
}

int ruleEntry(const Window& w) {
  if (hasFive(w)) return 2333772;
  const int completions = completionCount(w);
  if (completions >= 2) return 111132;
  if (completions == 1) {
    size_t at = 0;
    for (size_t i = 0; i < w.size(); ++i) {
      if (w[i] != '.') continue;
      Window filled = w;
      filled[i] = 'x';
      if (hasFive(filled)) at = i;
    }
    return someFillMakesTwoCompletions(w, at) ? 5796 : 5795;
  }
  if (someFillMakesTwoCompletions(w, w.size())) return contains(w, "..xxx..") ? 5294 : 5292;
  if (mostInFive(w) >= 3) return 255;
  if (hasFramedRun(w, 2)) return contains(w, "...xx...") ? 254 : 252;
  if (mostInFive(w) >= 2) return 12;
  if (hasFramedRun(w, 1)) return contains(w, "....x....") ? 6 : 4;
  if (mostInFive(w) >= 1) return 2;
  return 0;
}

int tableEntry(const Window& w) {
  static const std::map<int, int> kExceptions = {{427, 255},  {469, 255},  {695, 5795}, {727, 5795},
                                                 {823, 5795}, {855, 5795}, {919, 5795}, {979, 5795},
                                                 {981, 5795}, {982, 5795}, {985, 5795}, {986, 5795}};
  const auto exception = kExceptions.find(windowCode(w));
  return exception != kExceptions.end() ? exception->second : ruleEntry(w);
}

int lineClass(const Window& w) { return w.size() < 5 ? 5 : 5 - mostInFive(w); }

// Near-side steps of the four lines, in scoring order: vertical, horizontal, anti-diagonal, main.
constexpr int kNear[4][2] = {{-1, 0}, {0, -1}, {-1, 1}, {-1, -1}};

bool inside(int row, int col) { return row >= 0 && row < 20 && col >= 0 && col < 20; }

Window lineWindow(const Board& board, int row, int col, int line, char own) {
  const char other = own == 'x' ? 'o' : 'x';
  auto side = [&](int dr, int dc) {
    std::string cells;
    for (int d = 1; d <= 4; ++d) {
      const int r = row + d * dr, c = col + d * dc;
      if (!inside(r, c) || board[r][c] == other) break;
      cells += board[r][c] == own ? 'x' : '.';
    }
    return cells;
  };
  std::string near = side(kNear[line][0], kNear[line][1]);
  std::reverse(near.begin(), near.end());
  return near + "x" + side(-kNear[line][0], -kNear[line][1]);
}

char stoneOf(int value) { return value == 0 ? 'o' : 'x'; }

uint32_t referenceScore(const Board& board, int row, int col, int stoneValue) {
  if (board[row][col] != '-') return 0;
  uint32_t score = 1;
  for (int line = 0; line < 4; ++line) score += tableEntry(lineWindow(board, row, col, line, stoneOf(stoneValue)));
  return score;
}

std::array<int, 2> referenceClasses(const Board& board, int row, int col, int stoneValue) {
  std::vector<int> classes;
  for (int line = 0; line < 4; ++line)
    classes.push_back(lineClass(lineWindow(board, row, col, line, stoneOf(stoneValue))));
  std::sort(classes.begin(), classes.end());
  return {classes[0], classes[1]};
}

std::string referenceScoresJson(const Board& board) {
  std::ostringstream out;
  out << '[';
  for (int stone = 0; stone < 2; ++stone) {
    out << (stone ? ",[" : "[");
    for (int row = 0; row < 20; ++row) {
      out << (row ? ",[" : "[");
      for (int col = 0; col < 20; ++col) out << (col ? "," : "") << referenceScore(board, row, col, stone);
      out << ']';
    }
    out << ']';
  }
  out << ']';
  return out.str();
}

struct Box {
  int minRow, maxRow, minCol, maxCol;
};

// The loader's box: starts at 10/9, grows to the stones, then widens by 2 within the board.
Box referenceBox(const Board& board) {
  Box box{10, 9, 10, 9};
  for (int row = 0; row < 20; ++row) {
    for (int col = 0; col < 20; ++col) {
      if (board[row][col] == '-') continue;
      box = Box{std::min(box.minRow, row), std::max(box.maxRow, row), std::min(box.minCol, col),
                std::max(box.maxCol, col)};
    }
  }
  return Box{std::max(0, box.minRow - 2), std::min(19, box.maxRow + 2), std::max(0, box.minCol - 2),
             std::min(19, box.maxCol + 2)};
}

struct BestCell {
  int row = 0, col = 0;
  uint32_t score = 0;
};

struct BestCells {
  BestCell own, opp, mix;
};

// Ties go to the cell scanned last.
BestCells referenceBest(const Board& board, int toMove) {
  const Box box = referenceBox(board);
  BestCells best;
  for (int row = box.minRow; row <= box.maxRow; ++row) {
    for (int col = box.minCol; col <= box.maxCol; ++col) {
      if (board[row][col] != '-') continue;
      const uint32_t own = referenceScore(board, row, col, toMove);
      const uint32_t opp = referenceScore(board, row, col, 1 - toMove);
      if (own >= best.own.score) best.own = {row, col, own};
      if (opp >= best.opp.score) best.opp = {row, col, opp};
      if (5 * own + opp >= best.mix.score) best.mix = {row, col, 5 * own + opp};
    }
  }
  return best;
}

std::string moveJson(int row, int col) {
  std::ostringstream out;
  out << '[' << row << ',' << col << ']';
  return out.str();
}

std::string cellJson(const BestCell& cell) {
  std::ostringstream out;
  out << '[' << cell.row << ',' << cell.col << ',' << cell.score << ']';
  return out.str();
}

// The object with the fixed keys in their order; the hand-worked parts come in as JSON text.
std::string expectedJson(int toMove, int stoneCount, const Board& board, const std::string& best,
                         const std::string& verdict, const std::string& decision, const std::string& move,
                         const std::string& search, const std::string& principalLine) {
  const Box box = referenceBox(board);
  std::ostringstream out;
  out << "{\"toMove\":" << toMove << ",\"stoneCount\":" << stoneCount << ",\"box\":[" << box.minRow << ',' << box.maxRow
      << ',' << box.minCol << ',' << box.maxCol << "],\"scores\":" << referenceScoresJson(board) << ",\"best\":" << best
      << ",\"verdict\":" << verdict << ",\"decision\":\"" << decision << "\",\"move\":" << move
      << ",\"search\":" << search << ",\"principalLine\":" << principalLine << "}\n";
  return out.str();
}

// ---- the reference scorer itself, against the published entries ---------------------------------

Window windowOfCode(int code) {
  Window w;
  for (int bit = 9; bit >= 0; --bit) {
    if (!w.empty() || (code >> bit) == 1) w += ((code >> bit) & 1) ? 'x' : '.';
  }
  return w.substr(1);  // drop the leading 1
}

// A window arises when an own stone stands where the cell could: at most 4 cells from either end.
bool canArise(const Window& w) {
  for (size_t p = 0; p < w.size(); ++p) {
    if (w[p] == 'x' && p <= 4 && w.size() - 1 - p <= 4) return true;
  }
  return false;
}

TEST(CliReferenceScorer, AgreesWithThePublishedEntriesAndCounts) {
  const std::map<int, int> telling = {
      {63, 2333772}, {94, 111132}, {221, 111132}, {475, 111132}, {47, 5795}, {157, 5796}, {78, 5292}, {156, 5294},
      {213, 5292},   {185, 5292},  {39, 255},     {42, 12},      {76, 252},  {148, 252},  {280, 254}, {197, 12},
      {35, 12},      {72, 4},      {528, 6},      {36, 2},       {15, 0},    {3, 0}};
  for (const auto& [code, entry] : telling) EXPECT_EQ(tableEntry(windowOfCode(code)), entry) << "code " << code;
  const std::map<int, int> counts = {{2333772, 80}, {111132, 72}, {5796, 50}, {5795, 109}, {5294, 17},
                                     {5292, 92},    {255, 121},   {254, 5},   {252, 50},   {12, 40},
                                     {6, 1},        {4, 9},       {2, 5},     {0, 26}};
  std::map<int, int> seen;
  int arising = 0;
  for (int code = 2; code < 1024; ++code) {
    const Window w = windowOfCode(code);
    if (!canArise(w)) continue;
    ++arising;
    ++seen[tableEntry(w)];
  }
  EXPECT_EQ(arising, 677);
  EXPECT_EQ(seen, counts);
}

TEST(CliReferenceScorer, EmptyBoardScoresAndBestCells) {
  const Board board = emptyBoard();
  EXPECT_EQ(referenceScore(board, 9, 9, 1), 25u);
  EXPECT_EQ(referenceScore(board, 0, 0, 0), 7u);
  const BestCells best = referenceBest(board, 1);
  EXPECT_EQ(cellJson(best.own), "[11,11,25]");
  EXPECT_EQ(cellJson(best.mix), "[11,11,150]");
}

// ---- golden JSON --------------------------------------------------------------------------------

// The JSON of `analyze DIR --iterations N --json` on a fresh directory.
CliRun analyzeJson(const Board& board, const std::string& symbol, const std::string& iterations = "50") {
  TempDir dir;
  writeGame(dir, board, symbol);
  return runCli({"analyze", dir.path().string(), "--iterations", iterations, "--json"});
}

TEST(CliAnalyzeJson, EmptyBoardIsTheOpeningCentreWithoutSearch) {
  const Board board = emptyBoard();
  const CliRun run = analyzeJson(board, "x");
  ASSERT_EQ(run.status, 0) << run.err;
  // All sixteen cells of the box 8..11 score 25 for both sides; the last one scanned wins. The
  // evaluator sees class 4 on every line of (11,11) for both sides: row 8.7 seeds 4+1 and 4+1.
  const std::string expected =
      expectedJson(1, 0, board, R"({"own":[11,11,25],"opp":[11,11,25],"mix":[11,11,150]})",
                   R"({"value":2,"proof":5,"disproof":5,"movingCategory":1})", "opening", "[9,9]", "null", "null");
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.err, "");
}

TEST(CliAnalyzeJson, SingleOpponentStoneIsAnsweredDiagonally) {
  const Board board = withStones({}, {{5, 7}});
  const CliRun run = analyzeJson(board, "x");
  ASSERT_EQ(run.status, 0) << run.err;
  // x has no stone: (11,11) scores 1 + 4 x 6 = 25 and no cell more. o's best cells are the eight
  // neighbours, 1 + 254 + 3 x 6 = 273, the last scanned being (6,8). The best mix is a cell two or
  // three steps from the stone along a line: o 1 + 252 + 18 = 271, x 1 + 4 + 18 = 23, so
  // 5 x 23 + 271 = 386, and in the box (rows 3..11, columns 5..11) the last one is (8,10).
  // Verdict: x class 4 at (11,11), o class 3 at (6,8), no threat: row 8.7 gives 5 and 4.
  const std::string expected =
      expectedJson(1, 1, board, R"({"own":[11,11,25],"opp":[6,8,273],"mix":[8,10,386]})",
                   R"({"value":2,"proof":5,"disproof":4,"movingCategory":1})", "opening", "[6,8]", "null", "null");
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(referenceBest(board, 1).mix.score, 386u) << "the reference scorer disagrees with the hand count";
}

TEST(CliAnalyzeJson, OwnFourIsCompletedToFive) {
  const Board board = withStones({{9, 5}, {9, 6}, {9, 7}, {9, 8}}, {{10, 5}, {10, 6}, {10, 7}, {3, 3}});
  const CliRun run = analyzeJson(board, "x");
  ASSERT_EQ(run.status, 0) << run.err;
  // (9,9): 1 + 2333772 + three open lines of 6 = 2333791. (9,4): 1 + 2333772 + 6 + 6 + 2 (its main
  // diagonal ends at o on (10,5)) = 2333787, but o there scores 1 + 254 + 2 + 6 + 6 = 269, so its
  // mix 5 x 2333787 + 269 = 11669204 beats (9,9)'s 5 x 2333791 + 21 = 11668976. o's open three
  // gives (10,4) 1 + 111132 + 6 + 2 + 6 = 111147, one more than (10,8). The mover completes five:
  // won, proof 0, disproof infinite, category 1 as step 1 set it.
  const std::string expected =
      expectedJson(1, 8, board, R"({"own":[9,9,2333791],"opp":[10,4,111147],"mix":[9,4,11669204]})",
                   R"({"value":1,"proof":0,"disproof":"inf","movingCategory":1})", "own-five", "[9,9]", "null", "null");
  EXPECT_EQ(run.out, expected);
}

TEST(CliAnalyzeJson, SingleCandidateAtTheRootEndsTheSearchAtOnce) {
  // o can make two open threes at (9,10); x has four lone stones far away.
  const Board board = withStones({{3, 3}, {3, 16}, {16, 3}, {16, 16}}, {{9, 7}, {9, 8}, {7, 10}, {8, 10}});
  const CliRun run = analyzeJson(board, "x");
  ASSERT_EQ(run.status, 0) << run.err;
  // o at (9,10): 1 + 5292 (.xx.x....) + 5294 (..xxx....) + 6 + 6 = 10599, the only cell at 10584
  // or more; x there 1 + 4 + 2 + 6 + 6 = 19, mix 95 + 10599 = 10694. x's best is (15,15),
  // 1 + 254 + 3 x 6 = 273, class 3. Row 8.5: category 6, seed (3, 0.5). Category 6 tries only
  // o's cells of 10584 or more: one child, so the root's best mix cell is played. The root and
  // that child are the two nodes; the interrupted iteration is not counted.
  const std::string expected =
      expectedJson(1, 8, board, R"({"own":[15,15,273],"opp":[9,10,10599],"mix":[9,10,10694]})",
                   R"({"value":2,"proof":3,"disproof":0.5,"movingCategory":6})", "forced-root", "[9,10]",
                   R"({"iterations":0,"rootValue":2,"rootProof":3,"rootDisproof":0.5,"nodesCreated":2})", "[]");
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(referenceClasses(board, 15, 15, 1), (std::array<int, 2>{3, 4}));
  EXPECT_EQ(referenceClasses(board, 9, 10, 0), (std::array<int, 2>{2, 2}));
}

std::string jsonField(const std::string& json, const std::string& key) {
  const std::regex pattern("\"" + key + "\":(\\[[^\\]]*\\]|\"[^\"]*\"|null|[-0-9.]+)");
  std::smatch match;
  return std::regex_search(json, match, pattern) ? match[1].str() : "";
}

TEST(CliAnalyzeJson, OpponentFiveIsBlockedAndOwnFiveComesFirst) {
  // o threatens five at (9,9) only; x has nothing.
  const Board block = withStones({{9, 4}, {2, 2}, {17, 17}}, {{9, 5}, {9, 6}, {9, 7}, {9, 8}});
  CliRun run = analyzeJson(block, "x");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(jsonField(run.out, "decision"), "\"block-five\"");
  EXPECT_EQ(jsonField(run.out, "move"), "[9,9]");
  EXPECT_EQ(jsonField(run.out, "search"), "null");

  // Both sides can complete five: the side to move does.
  const Board both = withStones({{9, 5}, {9, 6}, {9, 7}, {9, 8}}, {{12, 5}, {12, 6}, {12, 7}, {12, 8}});
  run = analyzeJson(both, "o");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(jsonField(run.out, "decision"), "\"own-five\"");
  const BestCells best = referenceBest(both, 0);
  EXPECT_EQ(jsonField(run.out, "move"), moveJson(best.own.row, best.own.col));
  EXPECT_EQ(best.own.row, 12);
}

// Stripes that never hold three in a row in any direction, with `empties` cells cleared.
Board stripedBoard(int empties) {
  Board board;
  for (int row = 0; row < 20; ++row) {
    for (int col = 0; col < 20; ++col) board[row][col] = (col + 2 * row) % 4 < 2 ? 'x' : 'o';
  }
  for (int i = 0; i < empties; ++i) board[i][(7 * i + 3) % 20] = '-';
  return board;
}

TEST(CliAnalyzeJson, MoreThan380StonesPlaysTheBestOpponentCell) {
  const Board full = stripedBoard(19);  // 381 stones
  const CliRun run = analyzeJson(full, "o");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(jsonField(run.out, "stoneCount"), "381");
  EXPECT_EQ(jsonField(run.out, "decision"), "\"block-five\"");
  const BestCells best = referenceBest(full, 0);
  EXPECT_EQ(jsonField(run.out, "move"), moveJson(best.opp.row, best.opp.col));

  const CliRun at380 = analyzeJson(stripedBoard(20), "o");
  ASSERT_EQ(at380.status, 0) << at380.err;
  EXPECT_NE(jsonField(at380.out, "decision"), "\"block-five\"") << "380 stones go on to the evaluator";
}

// ---- search runs --------------------------------------------------------------------------------

fs::path exampleDir() { return fs::path(BRENK_SOURCE_DIR) / "examples" / "midgame"; }

TEST(CliAnalyzeSearch, IterationCapGivesTheSameObjectEveryRun) {
  TempDir dir;
  for (const char* name : {"plocha.dat", "tah.dat", "brenk.cfg"}) dir.write(name, readFile(exampleDir() / name));
  const CliRun first = runCli({"analyze", dir.path().string(), "--iterations", "300", "--json"});
  const CliRun second = runCli({"analyze", dir.path().string(), "--iterations", "300", "--json"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(jsonField(first.out, "decision"), "\"search\"");
  const std::string iterations = std::regex_replace(first.out, std::regex(".*\"iterations\":([0-9]+).*\n"), "$1");
  const std::string rootValue = std::regex_replace(first.out, std::regex(".*\"rootValue\":([0-9]+).*\n"), "$1");
  // An open root means the cap ended the search, after exactly that many iterations.
  if (rootValue == "2") {
    EXPECT_EQ(iterations, "300");
  }
  EXPECT_LE(std::stoi(iterations), 300);
}

TEST(CliAnalyzeSearch, PrincipalLineAlternatesSidesOnEmptyCells) {
  const CliRun run = runCli({"analyze", exampleDir().string(), "--iterations", "200", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::smatch match;
  ASSERT_TRUE(std::regex_search(run.out, match, std::regex("\"principalLine\":\\[(.*)\\]\\}")));
  const std::string stones = match[1].str();
  ASSERT_FALSE(stones.empty()) << "200 iterations develop the root";
  const std::string board = readFile(exampleDir() / "plocha.dat");
  std::vector<std::string> rows;
  std::istringstream in(board);
  for (std::string row; in >> row;) rows.push_back(row);
  std::set<std::pair<int, int>> seen;
  int expectedStone = 1;  // x is to move in the example
  const std::regex stonePattern("\\[([0-9]+),([0-9]+),([01])\\]");
  for (auto it = std::sregex_iterator(stones.begin(), stones.end(), stonePattern); it != std::sregex_iterator(); ++it) {
    const int row = std::stoi((*it)[1]), col = std::stoi((*it)[2]), stone = std::stoi((*it)[3]);
    EXPECT_EQ(rows[row][col], '-') << row << "," << col << " is not empty on the board";
    EXPECT_TRUE(seen.insert({row, col}).second) << row << "," << col << " twice";
    EXPECT_EQ(stone, expectedStone) << "at " << row << "," << col;
    expectedStone = 1 - expectedStone;
  }
}

// ---- the directory is only read -----------------------------------------------------------------

struct FileState {
  std::string bytes;
  fs::file_time_type mtime;
  bool operator==(const FileState&) const = default;
};

std::map<std::string, FileState> snapshot(const fs::path& dir) {
  std::map<std::string, FileState> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    files[entry.path().filename().string()] = FileState{readFile(entry.path()), fs::last_write_time(entry.path())};
  }
  return files;
}

TEST(CliReadOnly, AnalyzeAndShowLeaveTheDirectoryAsItWas) {
  TempDir dir;
  for (const char* name : {"plocha.dat", "tah.dat", "brenk.cfg"}) dir.write(name, readFile(exampleDir() / name));
  const auto before = snapshot(dir.path());
  EXPECT_EQ(runCli({"analyze", dir.path().string(), "--iterations", "100"}).status, 0);
  EXPECT_EQ(runCli({"analyze", dir.path().string(), "--iterations", "100", "--json"}).status, 0);
  EXPECT_EQ(runCli({"analyze", dir.path().string(), "--time", "100"}).status, 0);
  EXPECT_EQ(runCli({"show", dir.path().string()}).status, 0);
  EXPECT_EQ(snapshot(dir.path()), before) << "no file may be written, added or touched";
}

// ---- bad input ----------------------------------------------------------------------------------

TEST(CliBadInput, MissingOrMalformedDirectoryIsAClearError) {
  TempDir dir;
  const std::string missing = (dir.path() / "no-such-game").string();
  for (const char* command : {"analyze", "show"}) {
    CliRun run = runCli({command, missing});
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find("is not a directory"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    run = runCli({command, dir.path().string()});  // exists, but holds nothing
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Nemohu otevrit soubor plocha.dat!"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  dir.write("plocha.dat", boardText(emptyBoard()));
  CliRun run = runCli({"analyze", dir.path().string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Nemohu otevrit soubor tah.dat!"), std::string::npos) << run.err;

  dir.write("tah.dat", "x");
  run = runCli({"analyze", (dir.path() / "plocha.dat").string()});
  EXPECT_EQ(run.status, 1) << "a file is not a game directory";
  EXPECT_NE(run.err.find("is not a directory"), std::string::npos) << run.err;
}

TEST(CliBadInput, UsageErrorsExitWithStatusTwo) {
  TempDir dir;
  writeGame(dir, emptyBoard(), "x");
  const std::string game = dir.path().string();
  const std::vector<std::vector<std::string>> misuses = {
      {},
      {"frobnicate"},
      {"analyze"},
      {"analyze", game, "--iterations"},
      {"analyze", game, "--iterations", "many"},
      {"analyze", game, "--iterations", "-5"},
      {"analyze", game, "--iterations", "10", "--time", "10"},
      {"analyze", game, "--memory", "0"},
      {"analyze", game, "--colour"},
      {"analyze", game, game},
      {"show"},
      {"bench", "--iterations", "x"},
  };
  for (const auto& args : misuses) {
    const CliRun run = runCli(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(run.status, 2) << joined;
    EXPECT_EQ(run.out, "") << joined;
    EXPECT_NE(run.err.find("Usage: brenk-cli"), std::string::npos) << joined << ": " << run.err;
  }
}

TEST(CliBadInput, ShortBoardIsLoadedAsBrenkWouldButWarnedAbout) {
  TempDir dir;
  dir.write("plocha.dat", "----------\n");  // 10 cells: the rest repeats '-'
  dir.write("tah.dat", "x");
  const CliRun run = runCli({"analyze", dir.path().string(), "--json", "--iterations", "10"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("fewer than 400"), std::string::npos) << run.err;
  EXPECT_EQ(jsonField(run.out, "decision"), "\"opening\"");
  EXPECT_EQ(jsonField(run.out, "move"), "[9,9]");
}

// ---- the bench positions as game directories ------------------------------------------------------

std::vector<std::string> outputLines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CliBenchWrite, PositionsBecomeGameDirectoriesThatLoadAsTheBenchBoards) {
  TempDir dir;
  const fs::path root = dir.path() / "positions";  // not there yet: bench makes it
  CliRun run = runCli({"bench", "--write", root.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> written = outputLines(run.out);
  ASSERT_GE(written.size(), 24u) << run.out;
  const std::regex namePattern(R"(([0-9]{2})-[a-z0-9]+(-[a-z0-9]+)*)");
  const std::regex rowPattern(R"([-xo]{20})");
  for (size_t i = 0; i < written.size(); ++i) {
    const fs::path game = written[i];
    EXPECT_EQ(game.parent_path(), root) << written[i];
    std::smatch name;
    const std::string base = game.filename().string();
    ASSERT_TRUE(std::regex_match(base, name, namePattern)) << base;
    EXPECT_EQ(std::stoi(name[1].str()), static_cast<int>(i + 1)) << "numbered from 01 in order: " << base;
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(game)) files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"plocha.dat", "tah.dat"})) << base;
    const std::string symbol = readFile(game / "tah.dat");
    EXPECT_TRUE(symbol == "x" || symbol == "o") << base << ": \"" << symbol << "\"";
    const std::string board = readFile(game / "plocha.dat");
    const std::vector<std::string> rows = outputLines(board);
    EXPECT_EQ(board.size(), 20u * 21u) << base << ": 20 lines of 20 cells and a line end";
    ASSERT_EQ(rows.size(), 20u) << base;
    for (const std::string& row : rows) EXPECT_TRUE(std::regex_match(row, rowPattern)) << base << ": " << row;
  }

  // Read off apps/cli/bench_positions.cpp by hand: the third position, "opening four", x to move,
  // x on (8,10) and (9,9), o on (10,8) and (10,10); the fourth, "opening five", o to move, o on
  // (8,8) and (10,10), x on (9,9), (9,10) and (10,9).
  const fs::path four = root / "03-opening-four";
  const fs::path five = root / "04-opening-five";
  ASSERT_EQ(written[2], four.string());
  ASSERT_EQ(written[3], five.string());
  const Board fourBoard = withStones({{8, 10}, {9, 9}}, {{10, 8}, {10, 10}});
  const Board fiveBoard = withStones({{9, 9}, {9, 10}, {10, 9}}, {{8, 8}, {10, 10}});
  EXPECT_EQ(readFile(four / "plocha.dat"), boardText(fourBoard));
  EXPECT_EQ(readFile(four / "tah.dat"), "x");
  EXPECT_EQ(readFile(five / "plocha.dat"), boardText(fiveBoard));
  EXPECT_EQ(readFile(five / "tah.dat"), "o");
  struct Loaded {
    fs::path game;
    const Board& board;
    std::string toMove, stoneCount;
  };
  for (const Loaded& expected : {Loaded{four, fourBoard, "1", "4"}, Loaded{five, fiveBoard, "0", "5"}}) {
    const CliRun loaded = runCli({"analyze", expected.game.string(), "--iterations", "0", "--json"});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(jsonField(loaded.out, "toMove"), expected.toMove) << expected.game;
    EXPECT_EQ(jsonField(loaded.out, "stoneCount"), expected.stoneCount) << expected.game;
    const Box box = referenceBox(expected.board);
    std::ostringstream boxJson;
    boxJson << '[' << box.minRow << ',' << box.maxRow << ',' << box.minCol << ',' << box.maxCol << ']';
    EXPECT_EQ(jsonField(loaded.out, "box"), boxJson.str()) << expected.game;
  }

  // Written again over an old run, a directory is the position alone: no stale allowance.
  fs::create_directories(four);
  std::ofstream(four / "brenk.cfg") << "100\n";
  std::ofstream(four / "tah.dat") << "12,3";
  run = runCli({"bench", "--write", root.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(outputLines(run.out), written);
  EXPECT_FALSE(fs::exists(four / "brenk.cfg"));
  EXPECT_EQ(readFile(four / "tah.dat"), "x");

  // A directory that cannot be made is an error of the input, with nothing written.
  dir.write("a-file", "not a directory");
  run = runCli({"bench", "--write", (dir.path() / "a-file" / "positions").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("cannot create"), std::string::npos) << run.err;
  for (const std::vector<std::string>& misuse :
       {std::vector<std::string>{"bench", "--write"}, {"bench", "--write", root.string(), "--iterations", "5"}}) {
    run = runCli(misuse);
    EXPECT_EQ(run.status, 2) << misuse.size();
    EXPECT_NE(run.err.find("Usage: brenk-cli bench"), std::string::npos) << run.err;
  }
}

// ---- readable output ----------------------------------------------------------------------------

TEST(CliShow, DrawsStonesNumbersAndTheMoveInTahDat) {
  TempDir dir;
  writeGame(dir, withStones({{0, 0}, {9, 10}}, {{9, 9}, {19, 19}}), "o");
  CliRun run = runCli({"show", dir.path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "no colour when standard output is a file";
  std::istringstream lines(run.out);
  std::vector<std::string> text;
  for (std::string line; std::getline(lines, line);) text.push_back(line);
  ASSERT_GE(text.size(), 23u);
  EXPECT_EQ(text[0], "    0  1  2  3  4  5  6  7  8  9 10 11 12 13 14 15 16 17 18 19");
  EXPECT_EQ(text[1], " 0  x  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  0");
  EXPECT_EQ(text[10], " 9  .  .  .  .  .  .  .  .  .  o  x  .  .  .  .  .  .  .  .  .  9");
  EXPECT_EQ(text[20], "19  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  o  19");
  EXPECT_EQ(text[21], text[0]);
  EXPECT_EQ(text[22], "o to move; stones: x 2, o 2");

  dir.write("tah.dat", "12,3");  // brenk's answer: column 12, row 3
  run = runCli({"show", dir.path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream marked(run.out);
  text.clear();
  for (std::string line; std::getline(marked, line);) text.push_back(line);
  ASSERT_GE(text.size(), 24u);
  EXPECT_EQ(text[4], " 3  .  .  .  .  .  .  .  .  .  .  .  . [*] .  .  .  .  .  .  .  3");
  EXPECT_NE(text[23].find("tah.dat holds the move 12,3 (column 12, row 3)"), std::string::npos) << text[23];
}

TEST(CliAnalyzeText, ReportNamesTheRuleTheMoveAndTheSearch) {
  TempDir dir;
  writeGame(dir, emptyBoard(), "x");
  CliRun run = runCli({"analyze", dir.path().string(), "--iterations", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
  EXPECT_NE(run.out.find("Decision: opening"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Move: row 9, column 9"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("tah.dat would hold 9,9"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Verdict: 2 (open), proof 5, disproof 5, moving category 1"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Search:"), std::string::npos) << "no root was built";

  writeGame(dir, withStones({{3, 3}, {3, 16}, {16, 3}, {16, 16}}, {{9, 7}, {9, 8}, {7, 10}, {8, 10}}), "x");
  run = runCli({"analyze", dir.path().string(), "--iterations", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Decision: forced-root"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Search: 0 iterations, 2 nodes created"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Root: value 2 (open), proof 3, disproof 0.5"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  own row 15, column 15: 273"), std::string::npos) << run.out;
}

}  // namespace
