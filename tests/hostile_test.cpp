// Positions no real game reaches but a manager can send, and working files brenk cannot read or
// write: every run ends with status 0, without a crash, with a legal move wherever one exists and
// a line in brenk.log only for an error that escapes a run. The positions go to the threat-space
// mode as well, as a manager hands them to pbrain-brenk-threats and as analyze --threats reads them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSize = 20;

// Cells as [row][col]: '-', 'x' or 'o'.
struct Board {
  char cells[kSize][kSize];
  Board() { std::memset(cells, '-', sizeof cells); }
  std::string text() const {
    std::string out;
    for (const auto& row : cells) out.append(row, kSize) += '\n';
    return out;
  }
  int stones() const {
    int n = 0;
    for (const auto& row : cells)
      for (char c : row) n += c != '-';
    return n;
  }
};

// Pairs along the rows, rows shifted by two: no line of the board holds more than two of a kind.
Board fullBoardWithoutFive() {
  Board board;
  for (int r = 0; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c) board.cells[r][c] = "xo"[((c + 2 * (r % 2)) / 2) % 2];
  return board;
}

bool fiveAnywhere(const Board& board) {
  const int dirs[4][2] = {{0, 1}, {1, 0}, {1, 1}, {1, -1}};
  for (int r = 0; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c)
      for (const auto& d : dirs) {
        const char s = board.cells[r][c];
        int n = 0;
        for (int rr = r, cc = c; s != '-' && rr >= 0 && rr < kSize && cc >= 0 && cc < kSize && board.cells[rr][cc] == s;
             rr += d[0], cc += d[1])
          ++n;
        if (n >= 5) return true;
      }
  return false;
}

// Reachable by the unprivileged user the permission cases run as.
struct TempDir : brenk::testsupport::TempDir {
  TempDir() : brenk::testsupport::TempDir("brenk-hostile", Access::Everyone) {}
};

using BrenkRun = brenk::testsupport::ProcessRun;

// A copy of brenk that the user nobody can start: the build tree may sit in a directory only its
// owner can enter (a checkout inside a private folder). Made once per test process, in a
// directory others can reach, and removed with that directory when the process ends.
const std::string& brenkEveryoneCanRun() {
  static const brenk::testsupport::TempDir home("brenk-hostile-exe", brenk::testsupport::TempDir::Access::Everyone);
  static const std::string copy = [] {
    const fs::path target = home.path() / "brenk";
    fs::copy_file(BRENK_EXE, target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    return target.string();
  }();
  return copy;
}

// Runs brenk in `dir` with no console. As root, `unprivileged` drops to nobody first, since
// file modes do not stop root, and then runs that copy. A run that hangs is killed after 30 s
// and fails the test.
BrenkRun runBrenk(const fs::path& dir, bool unprivileged = false) {
  brenk::testsupport::RunOptions options;
  options.workDir = dir;
  options.stderrTo = brenk::testsupport::Stderr::Merge;
  options.asNobody = unprivileged;
  options.timeoutMs = 30000;
  return brenk::testsupport::runProcess(unprivileged ? brenkEveryoneCanRun() : std::string(BRENK_EXE), options);
}

// The move brenk writes for `board` with `symbol` to play, after checking the run ended cleanly.
std::string brenkMoveFor(const Board& board, const char* symbol, int allowance) {
  TempDir dir;
  dir.write("plocha.dat", board.text());
  dir.write("tah.dat", symbol);
  dir.write("brenk.cfg", std::to_string(allowance));
  const BrenkRun run = runBrenk(dir.path());
  EXPECT_TRUE(run.exited) << "brenk did not exit normally";
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "") << "brenk prints nothing when it succeeds";
  EXPECT_FALSE(dir.has("brenk.log")) << dir.read("brenk.log");
  return dir.read("tah.dat");
}

// True when `move` is "col,row" of an empty cell of `board`.
bool legalOn(const Board& board, const std::string& move) {
  int col = -1, row = -1;
  char comma = 0;
  std::istringstream in(move);
  if (!(in >> col >> comma >> row) || comma != ',' || in.peek() != EOF) return false;
  if (std::to_string(col) + "," + std::to_string(row) != move) return false;
  return row >= 0 && row < kSize && col >= 0 && col < kSize && board.cells[row][col] == '-';
}

// pbrain-brenk-threats given the board by BOARD (`symbol`'s stones its own) with a turn limit of
// `allowance` plus the margin it keeps: its answer as "x,y", which is brenk's "col,row".
std::string threatsBrainMoveFor(const Board& board, const char* symbol, int allowance) {
  TempDir dir;
  std::string script = "START 20\r\nINFO timeout_turn " + std::to_string(allowance + 60) + "\r\nBOARD\r\n";
  for (int r = 0; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c)
      if (board.cells[r][c] != '-')
        script += std::to_string(c) + "," + std::to_string(r) + "," + (board.cells[r][c] == *symbol ? "1" : "2") + "\r\n";
  dir.write("script", script + "DONE\r\nEND\r\n");
  brenk::testsupport::RunOptions options;
  options.args = {"-c", "exec \"$0\" < \"$1\"", PBRAIN_THREATS_EXE, (dir.path() / "script").string()};
  options.stderrTo = brenk::testsupport::Stderr::Merge;
  options.timeoutMs = 30000;
  const BrenkRun run = brenk::testsupport::runProcess("/bin/sh", options);
  EXPECT_TRUE(run.exited) << "the brain did not exit normally";
  EXPECT_EQ(run.status, 0);
  // The manager reads the last line that is neither DEBUG nor MESSAGE.
  std::istringstream lines(run.out);
  std::string answer;
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("DEBUG ", 0) != 0 && line.rfind("MESSAGE ", 0) != 0) answer = line;
  EXPECT_EQ(answer.find("ERROR"), std::string::npos) << run.out;
  return answer;
}

// brenk-cli analyze --threats on the board as a game directory, with an iteration cap: the move of
// its JSON object as "col,row".
std::string threatsAnalyzeMoveFor(const Board& board, const char* symbol) {
  TempDir dir;
  dir.write("plocha.dat", board.text());
  dir.write("tah.dat", symbol);
  brenk::testsupport::RunOptions options;
  options.args = {"analyze", dir.path().string(), "--threats", "--iterations", "30", "--json"};
  options.stderrTo = brenk::testsupport::Stderr::Discard;
  options.timeoutMs = 30000;
  const BrenkRun run = brenk::testsupport::runProcess(BRENK_CLI_EXE, options);
  EXPECT_TRUE(run.exited) << "brenk-cli did not exit normally";
  EXPECT_EQ(run.status, 0);
  const size_t key = run.out.find("\"move\":[");
  if (key == std::string::npos) return "no move in " + run.out.substr(0, 80);
  int row = -1, col = -1;
  char comma = 0;
  std::istringstream(run.out.substr(key + 8)) >> row >> comma >> col;
  return std::to_string(col) + "," + std::to_string(row);
}

// The ways a position reaches a decision: brenk's files, and the threat-space mode's two doors.
enum class Front { Brenk, ThreatsBrain, ThreatsAnalyze };

class HostilePosition : public ::testing::TestWithParam<Front> {
 protected:
  static std::string moveFor(const Board& board, const char* symbol, int allowance = 100) {
    switch (GetParam()) {
      case Front::Brenk: return brenkMoveFor(board, symbol, allowance);
      case Front::ThreatsBrain: return threatsBrainMoveFor(board, symbol, allowance);
      case Front::ThreatsAnalyze: return threatsAnalyzeMoveFor(board, symbol);
    }
    return "";
  }
  static void expectLegal(const Board& board, const char* symbol) {
    const std::string move = moveFor(board, symbol);
    EXPECT_TRUE(legalOn(board, move)) << "\"" << move << "\" for " << symbol << "\n" << board.text();
  }
};

std::string frontName(const ::testing::TestParamInfo<Front>& info) {
  switch (info.param) {
    case Front::Brenk: return "Brenk";
    case Front::ThreatsBrain: return "ThreatsBrain";
    case Front::ThreatsAnalyze: return "ThreatsAnalyze";
  }
  return "";
}

INSTANTIATE_TEST_SUITE_P(Fronts, HostilePosition,
                         ::testing::Values(Front::Brenk, Front::ThreatsBrain, Front::ThreatsAnalyze), frontName);

TEST(HostileFixture, FullBoardHoldsNoFive) {
  const Board full = fullBoardWithoutFive();
  EXPECT_FALSE(fiveAnywhere(full));
  EXPECT_EQ(full.stones(), 400);
  Board five;
  for (int c = 3; c < 8; ++c) five.cells[2][c] = 'x';
  EXPECT_TRUE(fiveAnywhere(five)) << "the five finder must see a five";
}

TEST_P(HostilePosition, OneSideHasManyMoreStones) {
  Board board;
  const int xs[][2] = {{3, 3}, {3, 9}, {5, 14}, {8, 2}, {9, 9}, {11, 16}, {14, 5}, {15, 12}, {17, 8}, {6, 6}, {12, 12}};
  for (const auto& s : xs) board.cells[s[0]][s[1]] = 'x';
  board.cells[10][10] = 'o';
  expectLegal(board, "x");
  expectLegal(board, "o");
}

TEST_P(HostilePosition, FiveAlreadyOnTheBoard) {
  Board board;
  for (int c = 3; c < 8; ++c) board.cells[5][c] = 'x';
  for (int c = 3; c < 7; ++c) board.cells[6][c] = 'o';
  expectLegal(board, "x");
  expectLegal(board, "o");
  Board six = board;  // freestyle: six in a row is a five too
  six.cells[5][8] = 'x';
  six.cells[7][3] = 'o';
  expectLegal(six, "o");
}

TEST_P(HostilePosition, BothSidesWithOpenFoursCompleteTheirOwnFive) {
  Board board;
  for (int c = 5; c < 9; ++c) board.cells[4][c] = 'x';
  for (int c = 5; c < 9; ++c) board.cells[12][c] = 'o';
  const std::string xMove = moveFor(board, "x");
  EXPECT_TRUE(xMove == "4,4" || xMove == "9,4") << xMove;
  const std::string oMove = moveFor(board, "o");
  EXPECT_TRUE(oMove == "4,12" || oMove == "9,12") << oMove;
}

TEST_P(HostilePosition, OneEmptyCellIsTheMove) {
  const int holes[][2] = {{7, 13}, {0, 0}, {19, 19}, {0, 19}, {19, 0}, {10, 0}};
  for (const auto& hole : holes) {
    Board board = fullBoardWithoutFive();
    board.cells[hole[0]][hole[1]] = '-';
    const std::string expected = std::to_string(hole[1]) + "," + std::to_string(hole[0]);
    EXPECT_EQ(moveFor(board, "x"), expected);
    EXPECT_EQ(moveFor(board, "o"), expected);
  }
}

TEST_P(HostilePosition, NearlyFullBoardsOf381And399Stones) {
  std::mt19937 random(20240611);
  for (int stones : {381, 399, 381, 390, 399}) {
    Board board = fullBoardWithoutFive();
    while (board.stones() > stones) board.cells[random() % kSize][random() % kSize] = '-';
    expectLegal(board, "x");
    expectLegal(board, "o");
  }
}

TEST(HostileBrenk, FullBoardHasNoMoveAndEndsCleanly) {
  // No legal move exists: brenk writes 0,0, the best cell it starts with, and exits 0.
  EXPECT_EQ(brenkMoveFor(fullBoardWithoutFive(), "x", 100), "0,0");
  Board allX;
  std::memset(allX.cells, 'x', sizeof allX.cells);
  EXPECT_EQ(brenkMoveFor(allX, "o", 100), "0,0");
}

TEST_P(HostilePosition, StonesOnEveryEdgeSoEveryScanReachesIt) {
  Board board;
  for (int i = 0; i < kSize; ++i) {
    board.cells[0][i] = "xxoo"[i % 4];
    board.cells[19][i] = "ooxx"[i % 4];
    board.cells[i][0] = "xoox"[i % 4];
    board.cells[i][19] = "oxxo"[i % 4];
  }
  board.cells[9][9] = 'x';
  board.cells[10][10] = 'o';
  ASSERT_FALSE(fiveAnywhere(board));
  expectLegal(board, "x");
  expectLegal(board, "o");
  Board corners;  // four stones only in the corners: the opening rules do not apply
  corners.cells[0][0] = corners.cells[19][19] = 'x';
  corners.cells[0][19] = corners.cells[19][0] = 'o';
  expectLegal(corners, "x");
  expectLegal(corners, "o");
}

TEST_P(HostilePosition, RandomBoardsOfEveryDensity) {
  std::mt19937 random(7);
  for (int round = 0; round < 16; ++round) {
    Board board;
    const unsigned density = 5 + round * 6;  // percent of the cells holding a stone
    for (auto& row : board.cells)
      for (char& c : row) c = random() % 100 < density ? "xo"[random() % 2] : '-';
    if (board.stones() == kSize * kSize) board.cells[4][4] = '-';
    SCOPED_TRACE("round " + std::to_string(round));
    expectLegal(board, round % 2 ? "x" : "o");
  }
}

Board smallGame() {
  Board board;
  board.cells[9][9] = board.cells[10][10] = 'x';
  board.cells[9][10] = board.cells[11][8] = 'o';
  return board;
}

TEST(HostileFiles, ReadOnlyMoveFileKeepsItsContentWithoutCrash) {
  TempDir dir;
  dir.write("plocha.dat", smallGame().text());
  dir.write("tah.dat", "x");
  dir.write("brenk.cfg", "100");
  chmod((dir.path() / "tah.dat").c_str(), 0444);
  const BrenkRun run = runBrenk(dir.path(), true);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(dir.read("tah.dat"), "x");
  EXPECT_FALSE(dir.has("brenk.log")) << "an unwritable move file is not an escaped error";
}

TEST(HostileFiles, ReadOnlyDirectoryStillTakesTheMoveInAnExistingFile) {
  TempDir dir;
  const Board board = smallGame();
  dir.write("plocha.dat", board.text());
  dir.write("tah.dat", "o");
  dir.write("brenk.cfg", "100");
  chmod((dir.path() / "tah.dat").c_str(), 0666);
  chmod(dir.path().c_str(), 0555);
  const BrenkRun run = runBrenk(dir.path(), true);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(legalOn(board, dir.read("tah.dat"))) << dir.read("tah.dat");
  EXPECT_FALSE(dir.has("brenk.log"));
}

TEST(HostileFiles, UnreadableBoardFileIsReportedLikeAMissingOne) {
  TempDir dir;
  dir.write("plocha.dat", smallGame().text());
  dir.write("tah.dat", "x");
  chmod((dir.path() / "plocha.dat").c_str(), 0);
  const BrenkRun run = runBrenk(dir.path(), true);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Nemohu otevrit soubor plocha.dat!\n", 0), 0u) << run.out;
  EXPECT_EQ(dir.read("tah.dat"), "x");
  EXPECT_FALSE(dir.has("brenk.log"));
}

TEST(HostileFiles, MoveFileThatIsADirectory) {
  TempDir dir;
  dir.write("plocha.dat", smallGame().text());
  dir.write("brenk.cfg", "100");
  fs::create_directory(dir.path() / "tah.dat");
  const BrenkRun run = runBrenk(dir.path());
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 0);
  // Refused like a missing file, as Windows refuses to open it, so both builds say the same.
  EXPECT_EQ(run.out.rfind("Nemohu otevrit soubor tah.dat!\n", 0), 0u) << run.out;
  EXPECT_TRUE(fs::is_directory(dir.path() / "tah.dat"));
  EXPECT_FALSE(dir.has("brenk.log"));
}

TEST(HostileFiles, EmptyOrMissingFilesNeverLeaveALogLine) {
  {
    TempDir dir;  // empty board file and no configuration: the centre, at once
    dir.write("plocha.dat", "");
    dir.write("tah.dat", "o");
    const BrenkRun run = runBrenk(dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(dir.read("tah.dat"), "9,9");
    EXPECT_FALSE(dir.has("brenk.log"));
  }
  {
    TempDir dir;  // nothing at all
    const BrenkRun run = runBrenk(dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Nemohu otevrit soubor plocha.dat!\n", 0), 0u) << run.out;
    EXPECT_FALSE(dir.has("tah.dat"));
    EXPECT_FALSE(dir.has("brenk.log"));
  }
  {
    TempDir dir;  // a configuration that is a directory: the default allowance
    dir.write("plocha.dat", "");
    dir.write("tah.dat", "x");
    fs::create_directory(dir.path() / "brenk.cfg");
    const BrenkRun run = runBrenk(dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(dir.read("tah.dat"), "9,9");
  }
}

}  // namespace
