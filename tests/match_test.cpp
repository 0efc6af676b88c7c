// brenk-cli match as a manager: scripted engines whose games are known in advance, and engines
// that break every rule a tournament punishes, each of which must be caught and counted.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

using brenk::testsupport::readFile;
using brenk::testsupport::TempDir;

fs::path writeScript(const fs::path& dir, const std::string& name, const std::string& body) {
  const fs::path file = dir / name;
  std::ofstream(file) << body;
  chmod(file.c_str(), 0755);
  return file;
}

using RunResult = brenk::testsupport::ProcessRun;

RunResult runMatch(const std::string& args) {
  brenk::testsupport::RunOptions options;
  options.timeoutMs = 0;  // the harness has its own limits on every engine
  return brenk::testsupport::runShell(std::string(BRENK_CLI_EXE) + " match --quiet " + args + " 2>/dev/null", options);
}

// Plays the first empty cell row by row. Two of them fill row 0 alternately and every row
// after it starts with x (cell 20r is even), so x completes column 0 with its stone at (0,4):
// the 81st stone, x's 41st move.
const char* const kFirstEmptyFileEngine =
    "#!/bin/sh\n"
    "awk '{ i = index($0, \"-\"); if (i) { printf \"%d,%d\", i - 1, NR - 1 > \"tah.dat\"; exit } }' plocha.dat\n";

// The same player on the pbrain protocol; `extra` adds case branches that override it.
std::string firstEmptyBrain(const std::string& extra = "") {
  return "#!/bin/bash\n"
         "declare -A taken\n"
         "play() { for ((y=0;y<20;y++)); do for ((x=0;x<20;x++)); do\n"
         "  if [ -z \"${taken[$x,$y]}\" ]; then taken[$x,$y]=1; echo \"$x,$y\"; return; fi; done; done; }\n"
         "while IFS= read -r line; do\n"
         "  line=${line%$'\\r'}\n"
         "  case \"$line\" in\n" +
         extra +
         "    START*) echo OK ;;\n"
         "    BOARD) while IFS= read -r s; do s=${s%$'\\r'}; [ \"$s\" = DONE ] && break;\n"
         "             IFS=, read -r x y f <<< \"$s\"; taken[$x,$y]=1; done; play ;;\n"
         "    TURN*) IFS=, read -r x y <<< \"${line#TURN }\"; taken[$x,$y]=1; play ;;\n"
         "    END) exit 0 ;;\n"
         "  esac\n"
         "done\n";
}

TEST(MatchGames, FirstEmptyCellEnginesEndInTheKnownFiveWithTheGameKept) {
  TempDir dir;
  const fs::path engine = writeScript(dir.path(), "first-empty", kFirstEmptyFileEngine);
  const fs::path out = dir.path() / "games";
  const RunResult run =
      runMatch(engine.string() + " " + engine.string() + " --games 1 --opening-stones 0 --out " + out.string());
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("game 1: x=A o=B, x wins by five (81 moves)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("A wins 1, B wins 0, draws 0"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("total: 81 moves, illegal 0, missing 0, crashes 0, overruns 0"), std::string::npos);

  const std::string game = readFile(out / "game-001.txt");
  EXPECT_NE(game.find("# result: x wins by five"), std::string::npos) << game;
  EXPECT_EQ(game.find("0,0  # A"), game.find("0,0"));  // the first move, by A playing x
  const size_t lastMove = game.rfind("0,4  # A");
  ASSERT_NE(lastMove, std::string::npos) << game;
  EXPECT_EQ(game.find('\n', lastMove), game.size() - 1) << "the five ends the game";
  EXPECT_NE(readFile(out / "summary.txt").find("total: 81 moves"), std::string::npos);
}

TEST(MatchGames, ColoursAlternateAndOpeningsComeFromTheFile) {
  TempDir dir;
  const fs::path engine = writeScript(dir.path(), "first-empty", kFirstEmptyFileEngine);
  // x holds (1..4, 0) and is to move: first-empty takes (0,0) at once, a five in row 0.
  std::ofstream(dir.path() / "openings.txt") << "# four in row 0\n\n1,0 19,19 2,0;18,19 3,0 17,19 4,0 16,19\n";
  const fs::path out = dir.path() / "games";
  const RunResult run = runMatch(engine.string() + " " + engine.string() + " --games 2 --openings " +
                                 (dir.path() / "openings.txt").string() + " --out " + out.string());
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("game 1: x=A o=B, x wins by five (1 moves)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("game 2: x=B o=A, x wins by five (1 moves)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("A wins 1, B wins 1"), std::string::npos) << run.out;
  const std::string game = readFile(out / "game-002.txt");
  EXPECT_NE(
      game.find(
          "# opening: 8 stones\n# result: x wins by five\n1,0\n19,19\n2,0\n18,19\n3,0\n17,19\n4,0\n16,19\n0,0  # B"),
      std::string::npos)
      << game;
}

TEST(MatchGames, EngineSeesTwentyLinesTheSymbolAndTheAllowance) {
  TempDir dir;
  // Answers only when the files are exactly as a manager writes them; otherwise it writes nothing.
  const fs::path engine = writeScript(dir.path(), "picky",
                                      "#!/bin/sh\n"
                                      "[ \"$(cat brenk.cfg)\" = 250 ] || exit 0\n"
                                      "[ \"$(awk 'length($0) == 20' plocha.dat | wc -l)\" = 20 ] || exit 0\n"
                                      "[ \"$(wc -l < plocha.dat)\" = 20 ] || exit 0\n"
                                      "s=$(cat tah.dat); [ \"$s\" = x ] || [ \"$s\" = o ] || exit 0\n"
                                      "n=$(awk '{ n += gsub(/[xo]/, \"\") } END { print n }' plocha.dat)\n"
                                      "want=x; [ $((n % 2)) = 1 ] && want=o; [ \"$s\" = \"$want\" ] || exit 0\n" +
                                          std::string(kFirstEmptyFileEngine).substr(10));
  const RunResult run = runMatch(engine.string() + " " + engine.string() + " --games 1 --max-moves 3 --allowance 250");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("unfinished after 3 moves"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("total: 3 moves, illegal 0, missing 0"), std::string::npos) << run.out;
}

struct FaultCase {
  const char* name;
  std::string body;     // the o player's script
  const char* verdict;  // in the game line
  const char* counted;  // in the total line
};

TEST(MatchFaults, EveryFaultOfAFileEngineLosesTheGameAndIsCounted) {
  const std::vector<FaultCase> cases = {
      {"occupied", "#!/bin/sh\nprintf 0,0 > tah.dat\n", "B (o) illegal move: occupied cell: 0,0", "illegal 1,"},
      {"off-board", "#!/bin/sh\nprintf 20,3 > tah.dat\n", "B (o) illegal move: off the board: 20,3", "illegal 1,"},
      {"garbage", "#!/bin/sh\nprintf ' 3,4' > tah.dat\n", "B (o) illegal move: not a move", "illegal 1,"},
      {"silent", "#!/bin/sh\nexit 0\n", "B (o) missing move: tah.dat still holds the symbol", "missing 1,"},
      {"emptied", "#!/bin/sh\n: > tah.dat\n", "B (o) missing move: tah.dat is empty", "missing 1,"},
      {"deleted", "#!/bin/sh\nrm tah.dat\n", "B (o) missing move: tah.dat is gone", "missing 1,"},
      {"segfault", "#!/bin/sh\nprintf 5,5 > tah.dat\nkill -SEGV $$\n", "B (o) crash: signal 11", "crashes 1,"},
      {"exit-3", "#!/bin/sh\nprintf 5,5 > tah.dat\nexit 3\n", "B (o) crash: exit status 3", "crashes 1,"},
      {"sleeper", "#!/bin/sh\nexec sleep 5\n", "B (o) time overrun: no exit before the deadline", "overruns 1,"},
  };
  TempDir dir;
  const fs::path good = writeScript(dir.path(), "first-empty", kFirstEmptyFileEngine);
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path bad = writeScript(dir.path(), c.name, c.body);
    const RunResult run =
        runMatch(good.string() + " " + bad.string() + " --games 1 --opening-stones 0 --allowance 100 --margin 200");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find(std::string("game 1: x=A o=B, x wins, ") + c.verdict), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("A wins 1, B wins 0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(std::string("B ") + bad.string() + ": 1 moves, "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(c.counted), std::string::npos) << run.out;
  }
}

TEST(MatchFaults, OverrunIsKilledAtAllowancePlusMarginAndTimed) {
  TempDir dir;
  const fs::path good = writeScript(dir.path(), "first-empty", kFirstEmptyFileEngine);
  const fs::path slow = writeScript(dir.path(), "slow", "#!/bin/sh\nexec sleep 30\n");
  const RunResult run =
      runMatch(good.string() + " " + slow.string() + " --games 1 --opening-stones 0 --allowance 100 --margin 300");
  EXPECT_EQ(run.status, 1);
  const size_t at = run.out.find("B " + slow.string() + ": 1 moves");
  ASSERT_NE(at, std::string::npos) << run.out;
  const size_t wall = run.out.find("max wall ", at);
  const int ms = std::atoi(run.out.c_str() + wall + 9);
  EXPECT_GE(ms, 400) << "killed before allowance + margin";
  EXPECT_LT(ms, 5000) << "the hard timeout did not fire";
}

TEST(MatchPbrain, ScriptedBrainPlaysTheSameGameAsTheFileEngine) {
  TempDir dir;
  const fs::path file = writeScript(dir.path(), "first-empty", kFirstEmptyFileEngine);
  const fs::path brain = writeScript(dir.path(), "pbrain-first", firstEmptyBrain());
  // Brain as x in game 1 (BOARD first, TURN after) and as o in game 2 (BOARD with one stone).
  const RunResult run = runMatch("pbrain:" + brain.string() + " " + file.string() + " --games 2 --opening-stones 0");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("game 1: x=A o=B, x wins by five (81 moves)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("game 2: x=B o=A, x wins by five (81 moves)"), std::string::npos) << run.out;
}

TEST(MatchPbrain, ProtocolFaultsOfABrainAreCaught) {
  const std::vector<FaultCase> cases = {
      {"trailing-space", "    TURN*) echo '5,5 ' ;;\n", "B (o) illegal move: not a move: \"5,5 \"", "illegal 1,"},
      {"bare-text", "    TURN*) echo thinking; echo 5,5 ;;\n", "B (o) illegal move: not a move: \"thinking\"",
       "illegal 1,"},
      {"dies", "    TURN*) exit 0 ;;\n", "B (o) crash: output closed while awaiting a move", "crashes 1,"},
      {"bad-start", "    START*) echo ok ;;\n", "B (o) crash: START answered \"ok\"", "crashes 1,"},
      {"mute", "    TURN*) sleep 5 ;;\n", "B (o) time overrun: no answer to a move", "overruns 1,"},
  };
  TempDir dir;
  const fs::path good = writeScript(dir.path(), "first-empty", kFirstEmptyFileEngine);
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path brain = writeScript(dir.path(), std::string("pbrain-") + c.name, firstEmptyBrain(c.body));
    // x opens with a stone of the opening... none here, so the brain's first command is BOARD,
    // and the overriding TURN branches only fire from its second move on: make it move twice.
    const RunResult run = runMatch(good.string() + " pbrain:" + brain.string() +
                                   " --games 1 --opening-stones 0 --allowance 100 --margin 300");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find(c.verdict), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(c.counted), std::string::npos) << run.out;
  }
}

TEST(MatchPbrain, MessageAndDebugLinesAreNotMoves) {
  TempDir dir;
  const fs::path file = writeScript(dir.path(), "first-empty", kFirstEmptyFileEngine);
  const fs::path brain = writeScript(
      dir.path(), "pbrain-chatty",
      firstEmptyBrain("    TURN*) echo 'MESSAGE hello'; echo 'DEBUG depth 3'; IFS=, read -r x y <<< \"${line#TURN }\";"
                      " taken[$x,$y]=1; play ;;\n"));
  const RunResult run = runMatch(file.string() + " pbrain:" + brain.string() + " --games 1 --opening-stones 0");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("x wins by five (81 moves)"), std::string::npos) << run.out;
}

TEST(MatchCommandLine, BadUsageExitsTwo) {
  TempDir dir;
  std::ofstream(dir.path() / "bad-openings.txt") << "9,9 9,9\n";
  EXPECT_EQ(runMatch("only-one-engine").status, 2);
  EXPECT_EQ(runMatch("a b --games 0").status, 2);
  EXPECT_EQ(runMatch("a b --allowance ten").status, 2);
  EXPECT_EQ(runMatch("a b --nonsense 3").status, 2);
  EXPECT_EQ(runMatch("a b --openings " + (dir.path() / "missing.txt").string()).status, 2);
  EXPECT_EQ(runMatch("a b --openings " + (dir.path() / "bad-openings.txt").string()).status, 2);
}

TEST(MatchBrenk, BrenkPlaysItselfWithoutFault) {
  const RunResult run = runMatch(std::string(BRENK_EXE) + " " + BRENK_EXE + " --games 2 --allowance 100");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("illegal 0, missing 0, crashes 0, overruns 0"), std::string::npos) << run.out;
}

TEST(MatchBrenk, PbrainBrenkPlaysFileBrenkWithoutFault) {
  const RunResult run =
      runMatch(std::string("pbrain:") + PBRAIN_EXE + " " + BRENK_EXE + " --games 2 --allowance 200 --max-moves 30");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("total: "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("illegal 0, missing 0, crashes 0, overruns 0"), std::string::npos) << run.out;
}

}  // namespace
