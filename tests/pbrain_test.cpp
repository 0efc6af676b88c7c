// pbrain-brenk as a manager sees it: the real executable driven through its standard input and
// output, answer by answer, plus the arithmetic of its time and memory limits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "apps/pbrain/limits.h"
#include "apps/pbrain/notation.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace brenk::pbrain {
namespace {

constexpr int kReadTimeoutMs = 120000;  // only a hung brain gets near this
const char* const kAbout = "name=\"Brenk\", version=\"0.274\", author=\"Brenk team\", country=\"CZ\"";

// pbrain-brenk-threats is built next to pbrain-brenk.
const std::string kThreatsBrain = PBRAIN_THREATS_EXE;

// One running pbrain-brenk (or another brain, with arguments) with both standard streams in our
// hands.
class Brain {
 public:
  explicit Brain(const std::string& exe = PBRAIN_EXE, const std::vector<std::string>& args = {}) {
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    signal(SIGPIPE, SIG_IGN);  // a brain that has ended must not take the test with it
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) ADD_FAILURE() << "pipe failed";
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toChild[0], STDIN_FILENO);
      dup2(fromChild[1], STDOUT_FILENO);
      close(toChild[0]), close(toChild[1]), close(fromChild[0]), close(fromChild[1]);
      execv(exe.c_str(), argv.data());
      _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    input_ = toChild[1];
    output_ = fromChild[0];
  }
  ~Brain() {
    closeInput();
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(output_);
  }
  Brain(const Brain&) = delete;
  Brain& operator=(const Brain&) = delete;

  // Sends `lines`, each ended by CR LF as managers send them.
  void send(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) sendRaw(line + "\r\n");
  }
  void sendRaw(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(input_, bytes.data() + done, bytes.size() - done);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }
  void closeInput() {
    if (input_ >= 0) close(input_);
    input_ = -1;
  }

  // The next output line without its LF; false at end of output or on timeout.
  bool readLine(std::string& line) {
    while (true) {
      const size_t end = buffer_.find('\n');
      if (end != std::string::npos) {
        line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        lines_.push_back(line);
        return true;
      }
      pollfd fd{output_, POLLIN, 0};
      if (poll(&fd, 1, kReadTimeoutMs) <= 0) return false;
      char chunk[4096];
      const ssize_t n = read(output_, chunk, sizeof chunk);
      if (n <= 0) {
        if (!buffer_.empty()) lines_.push_back(buffer_);  // a last line without LF still counts
        return false;
      }
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  // The next line a manager acts on: DEBUG and MESSAGE lines are for people.
  std::string answer() {
    std::string line;
    while (readLine(line)) {
      if (line.rfind("DEBUG ", 0) != 0 && line.rfind("MESSAGE ", 0) != 0) return line;
    }
    return "<no answer>";
  }
  std::string ask(const std::string& command) {
    send({command});
    return answer();
  }

  // Reads to the end of output and returns the exit status (-1 if the brain did not end).
  int finish() {
    closeInput();
    std::string line;
    while (readLine(line)) {
    }
    int status = 0;
    for (int waited = 0; waited < kReadTimeoutMs; waited += 10) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return -1;
  }

  // Every line the brain wrote so far, in order.
  const std::vector<std::string>& transcript() const { return lines_; }
  std::vector<std::string> answersSoFar() const {
    std::vector<std::string> answers;
    for (const std::string& line : lines_) {
      if (line.rfind("DEBUG ", 0) != 0 && line.rfind("MESSAGE ", 0) != 0) answers.push_back(line);
    }
    return answers;
  }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string buffer_;
  std::vector<std::string> lines_;
};

// Every line on standard output must be one a manager understands; a bare diagnostic would be
// read as a broken move.
void expectOnlyProtocolLines(const std::vector<std::string>& lines) {
  static const std::regex allowed(
      R"(OK|\d{1,2},\d{1,2}|(DEBUG|MESSAGE|ERROR|UNKNOWN) \S.*|name="Brenk", version="[^"]+", author="[^"]+", country="[^"]+")");
  for (const std::string& line : lines) {
    EXPECT_TRUE(std::regex_match(line, allowed)) << "line not in the protocol: [" << line << "]";
  }
}

struct Cell {
  int x;
  int y;
  bool operator<(const Cell& other) const { return x != other.x ? x < other.x : y < other.y; }
};

bool parseMove(const std::string& text, Cell& cell) {
  static const std::regex move(R"((\d{1,2}),(\d{1,2}))");
  std::smatch m;
  if (!std::regex_match(text, m, move)) return false;
  cell = {std::stoi(m[1]), std::stoi(m[2])};
  return cell.x < 20 && cell.y < 20;
}

std::string cellText(Cell cell) { return std::to_string(cell.x) + "," + std::to_string(cell.y); }

// Five or more stones of `stones` in a row through `last`, by counting along the four lines.
bool makesFive(const std::set<Cell>& stones, Cell last) {
  const int directions[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (const auto& d : directions) {
    int run = 1;
    for (int sign : {1, -1}) {
      for (Cell c{last.x + sign * d[0], last.y + sign * d[1]}; stones.count(c) != 0;
           c = {c.x + sign * d[0], c.y + sign * d[1]}) {
        ++run;
      }
    }
    if (run >= 5) return true;
  }
  return false;
}

std::vector<std::string> boardCommand(const std::vector<std::string>& stoneLines) {
  std::vector<std::string> lines{"BOARD"};
  lines.insert(lines.end(), stoneLines.begin(), stoneLines.end());
  lines.push_back("DONE");
  return lines;
}

// brenk's move, as "x,y", for the board given as (x, y, f) lines with brenk playing f = 1.
std::string brenkMoveFor(const std::vector<std::array<int, 3>>& stones, const std::string& name) {
  const testsupport::TempDir dir("brenk-pbrain-" + name);
  std::string board(400, '-');
  for (const auto& s : stones) board[s[1] * 20 + s[0]] = s[2] == 1 ? 'x' : s[2] == 2 ? 'o' : '#';
  dir.write("plocha.dat", board);
  dir.write("tah.dat", "x");
  dir.write("brenk.cfg", "300");
  testsupport::RunOptions options;
  options.workDir = dir.path();
  options.stderrTo = testsupport::Stderr::Discard;
  options.timeoutMs = 0;
  EXPECT_EQ(testsupport::runProcess(BRENK_EXE, options).status, 0);  // -1 unless it exited by itself
  std::istringstream moveFile(dir.read("tah.dat"));
  std::string move;
  std::getline(moveFile, move);
  return move;
}

std::vector<std::string> stoneLines(const std::vector<std::array<int, 3>>& stones) {
  std::vector<std::string> lines;
  for (const auto& s : stones)
    lines.push_back(std::to_string(s[0]) + "," + std::to_string(s[1]) + "," + std::to_string(s[2]));
  return lines;
}

// ---- Limits from INFO values -------------------------------------------------------------------

TEST(PbrainLimits, AllowanceFromTurnAndMatchTime) {
  EXPECT_EQ(turnAllowanceMs({}), 3500 - (50 + 175)) << "no INFO: brenk's default allowance less the margin";
  EXPECT_EQ(turnAllowanceMs({200, {}, {}}), 200 - (50 + 10));
  EXPECT_EQ(turnAllowanceMs({5000, {}, {}}), 5000 - (50 + 250));
  // Gomocup's main league: 30 s a move, 180 s a match; at the start 1/20 of 180 s binds.
  EXPECT_EQ(turnAllowanceMs({30000, 180000, 180000}), 9000 - (50 + 450));
  EXPECT_EQ(turnAllowanceMs({30000, 180000, 400000}), 20000 - (50 + 1000));
  EXPECT_EQ(turnAllowanceMs({30000, 180000, 2000000}), 30000 - (50 + 1500)) << "the turn limit still binds";
  EXPECT_EQ(turnAllowanceMs({30000, 100000, {}}), 5000 - (50 + 250)) << "no time_left yet: the whole match is left";
}

TEST(PbrainLimits, UnlimitedAndExhaustedClocks) {
  EXPECT_EQ(turnAllowanceMs({1000, {}, kUnlimitedTimeLeft}), 1000 - (50 + 50));
  EXPECT_EQ(turnAllowanceMs({1000, 0, 3000}), 1000 - (50 + 50)) << "timeout_match 0: time_left does not bind";
  EXPECT_EQ(turnAllowanceMs({0, {}, {}}), 0) << "timeout_turn 0: as fast as possible";
  EXPECT_EQ(turnAllowanceMs({30000, 180000, -500}), 0) << "time_left may be negative";
  EXPECT_EQ(turnAllowanceMs({30000, 180000, 0}), 0);
  EXPECT_EQ(turnAllowanceMs({30000, 180000, 1000}), 0) << "50 ms of share is all margin";
  EXPECT_EQ(turnAllowanceMs({int64_t{1} << 40, {}, {}}), INT32_MAX);
  EXPECT_EQ(turnAllowanceMs({-7, {}, {}}), 0);
}

TEST(PbrainLimits, AllowanceLeavesTheMarginBeforeEveryDeadline) {
  const int64_t turns[] = {0, 1, 49, 50, 100, 200, 999, 5000, 30000, 300000};
  const int64_t lefts[] = {-1000, 0, 1, 999, 1000, 20000, 180000, 1000000, kUnlimitedTimeLeft};
  for (int64_t turn : turns) {
    for (int64_t left : lefts) {
      const int32_t allowance = turnAllowanceMs({turn, 180000, left});
      EXPECT_GE(allowance, 0);
      EXPECT_LE(allowance, std::max<int64_t>(turn - 50, 0)) << turn << " " << left;
      if (left != kUnlimitedTimeLeft) {
        EXPECT_LE(allowance, std::max<int64_t>(left / 20 - 50, 0)) << turn << " " << left;
      }
    }
  }
}

TEST(PbrainLimits, TreeBudgetFromMaxMemory) {
  constexpr int64_t MiB = int64_t{1} << 20;
  EXPECT_EQ(treeBudgetBytes({}), size_t{300} << 20) << "no max_memory: the engine's default";
  EXPECT_EQ(treeBudgetBytes(0), size_t{300} << 20) << "0 means no limit";
  EXPECT_EQ(treeBudgetBytes(-5), size_t{300} << 20);
  EXPECT_EQ(treeBudgetBytes(350 * MiB), size_t{310} << 20);
  EXPECT_EQ(treeBudgetBytes(1024 * MiB), size_t{984} << 20);
  EXPECT_EQ(treeBudgetBytes(49 * MiB), size_t{9} << 20);
  EXPECT_EQ(treeBudgetBytes(48 * MiB), size_t{8} << 20) << "floor";
  EXPECT_EQ(treeBudgetBytes(10 * MiB), size_t{8} << 20) << "floor";
}

// ---- Sessions through the real executable -----------------------------------------------------

TEST(PbrainSession, AboutStartAndEmptyBoardBeforeAnyAnswerIsRead) {
  Brain brain;
  // GomocupJudge's way: everything up front, the first move as an empty BOARD.
  brain.send({"ABOUT", "START 20", "INFO timeout_turn 300", "INFO timeout_match 180000", "INFO time_left 180000",
              "INFO max_memory 367001600", "INFO game_type 2", "INFO rule 0", "INFO folder /tmp/x y", "BOARD", "DONE"});
  EXPECT_EQ(brain.answer(), kAbout);
  EXPECT_EQ(brain.answer(), "OK");
  EXPECT_EQ(brain.answer(), "9,9") << "empty board: the centre";
  EXPECT_EQ(brain.finish(), 0);
  EXPECT_EQ(brain.answersSoFar(), (std::vector<std::string>{kAbout, "OK", "9,9"}));
  expectOnlyProtocolLines(brain.transcript());
}

TEST(PbrainSession, FullShortGameAgainstAPassiveOpponentEndsInAFive) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 300", "INFO max_memory 134217728"});
  ASSERT_EQ(brain.answer(), "OK");
  std::set<Cell> own;
  std::set<Cell> taken;
  Cell move{};
  ASSERT_TRUE(parseMove(brain.ask("BEGIN"), move));
  EXPECT_EQ(cellText(move), "9,9");
  own.insert(move);
  taken.insert(move);
  // The opponent walks along the top edge, far from the engine's stones.
  bool won = false;
  for (int turn = 0; turn < 20 && !won; ++turn) {
    Cell reply{turn, 0};
    if (taken.count(reply) != 0) reply = {turn, 1};
    taken.insert(reply);
    const std::string answer = brain.ask("TURN " + cellText(reply));
    ASSERT_TRUE(parseMove(answer, move)) << answer;
    ASSERT_EQ(taken.count(move), 0u) << "occupied cell " << answer;
    own.insert(move);
    taken.insert(move);
    won = makesFive(own, move);
  }
  EXPECT_TRUE(won) << "no five after 20 moves against an opponent that never blocks";
  brain.send({"END"});
  EXPECT_EQ(brain.finish(), 0);
  expectOnlyProtocolLines(brain.transcript());
}

TEST(PbrainSession, BoardWithAFiveToComplete) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 300"});
  ASSERT_EQ(brain.answer(), "OK");
  // Own stones 5,6,8,9 on row 10 (gap at 7); the opponent's stones lie scattered, in any order.
  brain.send(boardCommand({"3,3,2", "9,10,1", "15,2,2", "5,10,1", "12,16,2", "8,10,1", "6,10,1", "2,17,2"}));
  EXPECT_EQ(brain.answer(), "7,10");
  // Own open four on column 4: either end completes five.
  brain.send(boardCommand({"4,5,1", "4,6,1", "4,7,1", "4,8,1", "10,10,2", "11,11,2", "12,9,2"}));
  const std::string openFour = brain.answer();
  EXPECT_TRUE(openFour == "4,4" || openFour == "4,9") << openFour;
  EXPECT_EQ(brain.finish(), 0);
}

TEST(PbrainSession, BoardOwnFiveBeforeBlockAndBlockOtherwise) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 300"});
  ASSERT_EQ(brain.answer(), "OK");
  // The opponent has four on row 3 (3..6, closed at 2 by us), open only at 7.
  const std::vector<std::string> threat{"2,3,1", "3,3,2", "4,3,2", "5,3,2", "6,3,2", "15,15,1", "16,14,1"};
  brain.send(boardCommand(threat));
  EXPECT_EQ(brain.answer(), "7,3") << "the only cell that stops the opponent's five";
  std::vector<std::string> bothFours = threat;
  for (const char* stone : {"10,12,1", "10,13,1", "10,14,1", "10,15,1", "10,16,2"}) bothFours.push_back(stone);
  brain.send(boardCommand(bothFours));
  EXPECT_EQ(brain.answer(), "10,11") << "completing our own five comes before blocking";
  EXPECT_EQ(brain.finish(), 0);
}

TEST(PbrainSession, SpecialStonesOfAContinuousGameAreNeverPlayed) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 300"});
  ASSERT_EQ(brain.answer(), "OK");
  // Own open-ended four 5..8 on row 10, with a special stone on its right end: only 4,10 is free.
  brain.send(boardCommand({"5,10,1", "6,10,1", "7,10,1", "8,10,1", "9,10,3", "1,1,2", "17,3,2"}));
  EXPECT_EQ(brain.answer(), "4,10");
  EXPECT_EQ(brain.finish(), 0);
}

TEST(PbrainSession, OpeningRulesSeeColumnAsXAndRowAsY) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 300"});
  ASSERT_EQ(brain.answer(), "OK");
  // One stone at column 7, row 5: the answer is the cell one row down and one column right.
  brain.send(boardCommand({"7,5,2"}));
  EXPECT_EQ(brain.answer(), "8,6");
  brain.send({"START 20"});
  EXPECT_EQ(brain.answer(), "OK") << "a new game without RESTART";
  EXPECT_EQ(brain.ask("TURN 0,19"), "9,9") << "a stone on the last row: the centre";
  brain.send(boardCommand({"7,5,1"}));
  EXPECT_EQ(brain.answer(), "8,6") << "a lone own stone is answered like the opponent's";
  EXPECT_EQ(brain.finish(), 0);
}

TEST(PbrainSession, DecidesLikeBrenkOnTheSameBoard) {
  // Positions that brenk settles without a timed search, so the move does not depend on the clock.
  const std::vector<std::vector<std::array<int, 3>>> boards{
      // three stones
      {{3, 4, 2}, {12, 8, 1}, {6, 6, 2}},
      // own four with one end blocked
      {{9, 9, 1}, {10, 10, 2}, {9, 10, 1}, {8, 11, 2}, {9, 11, 1}, {9, 12, 2}, {9, 8, 1}, {0, 0, 2}},
      // the opponent's four
      {{4, 4, 2}, {5, 5, 2}, {6, 6, 2}, {7, 7, 2}, {3, 3, 1}, {12, 3, 1}, {13, 3, 1}},
      // a special stone on the end of our four
      {{5, 10, 1}, {6, 10, 1}, {7, 10, 1}, {8, 10, 1}, {9, 10, 3}, {1, 1, 2}},
  };
  for (size_t i = 0; i < boards.size(); ++i) {
    Brain brain;
    brain.send({"START 20", "INFO timeout_turn 300"});
    ASSERT_EQ(brain.answer(), "OK");
    brain.send(boardCommand(stoneLines(boards[i])));
    EXPECT_EQ(brain.answer(), brenkMoveFor(boards[i], std::to_string(i))) << "board " << i;
    EXPECT_EQ(brain.finish(), 0);
  }
}

TEST(PbrainSession, TakebackRemovesStonesOfBothSides) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 200"});
  ASSERT_EQ(brain.answer(), "OK");
  ASSERT_EQ(brain.ask("BEGIN"), "9,9");
  const std::string reply = brain.ask("TURN 10,10");
  Cell move{};
  ASSERT_TRUE(parseMove(reply, move)) << reply;
  EXPECT_EQ(brain.ask("TAKEBACK " + reply), "OK");
  EXPECT_EQ(brain.ask("TAKEBACK 10,10"), "OK");
  EXPECT_EQ(brain.ask("TAKEBACK 9,9"), "OK");
  // The board is empty again: a lone opponent stone gets the diagonal answer.
  EXPECT_EQ(brain.ask("TURN 10,10"), "11,11");
  EXPECT_EQ(brain.ask("TAKEBACK 20,1"), "ERROR TAKEBACK needs a cell x,y on the 20x20 board");
  EXPECT_EQ(brain.finish(), 0);
}

TEST(PbrainSession, RestartAndStartAgainClearTheBoard) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 200"});
  ASSERT_EQ(brain.answer(), "OK");
  ASSERT_EQ(brain.ask("BEGIN"), "9,9");
  EXPECT_EQ(brain.ask("RESTART"), "OK");
  EXPECT_EQ(brain.ask("BEGIN"), "9,9") << "a kept own stone would have been answered at 10,10";
  EXPECT_EQ(brain.ask("START 20"), "OK");
  EXPECT_EQ(brain.ask("TURN 9,9"), "10,10") << "the centre is free again after START";
  EXPECT_EQ(brain.ask("RECTSTART 20,20"), "OK");
  EXPECT_EQ(brain.ask("BEGIN"), "9,9");
  EXPECT_EQ(brain.finish(), 0);
}

// The mode a turn ran in, from its "DEBUG threat-space mode" line.
std::vector<bool> threatTurns(const Brain& brain) {
  std::vector<bool> turns;
  bool threats = false;
  for (const std::string& line : brain.transcript()) {
    if (line == "DEBUG threat-space mode") threats = true;
    Cell move{};
    if (parseMove(line, move)) {
      turns.push_back(threats);
      threats = false;
    }
  }
  return turns;
}

// The same bad commands in both modes, the threat-space one switched on as a manager would.
TEST(PbrainSession, ErrorsAndUnknownCommandsKeepTheGame) {
  for (const bool threats : {false, true}) {
    SCOPED_TRACE(threats ? "threat-space mode" : "exact mode");
    Brain brain;
    if (threats) brain.send({"INFO brenk_threats 1"});
    EXPECT_EQ(brain.ask("START 15").rfind("ERROR ", 0), 0u);
    EXPECT_EQ(brain.ask("START").rfind("ERROR ", 0), 0u);
    EXPECT_EQ(brain.ask("RECTSTART 20,15").rfind("ERROR ", 0), 0u);
    EXPECT_EQ(brain.ask("START 20"), "OK");
    brain.send({"INFO timeout_turn 200", "INFO unheard_of 17", "INFO timeout_turn many", "YXSTOP"});
    EXPECT_EQ(brain.ask("BEGIN"), "9,9") << "INFO and YXSTOP are not answered";
    EXPECT_EQ(brain.ask("TURN 9,9"), "ERROR cell 9,9 is already taken");
    EXPECT_EQ(brain.ask("TURN 20,3").rfind("ERROR ", 0), 0u);
    EXPECT_EQ(brain.ask("TURN -1,3").rfind("ERROR ", 0), 0u);
    EXPECT_EQ(brain.ask("TURN 4294967296,3").rfind("ERROR ", 0), 0u) << "must not wrap to 0,3";
    EXPECT_EQ(brain.ask("TURN ten,ten").rfind("ERROR ", 0), 0u);
    EXPECT_EQ(brain.ask("TURN 10,10,1").rfind("ERROR ", 0), 0u);
    EXPECT_EQ(brain.ask("SWAP2BOARD").rfind("UNKNOWN ", 0), 0u);
    EXPECT_EQ(brain.ask("FROBNICATE 1,2").rfind("UNKNOWN ", 0), 0u);
    // None of the refused moves reached the board: with our 9,9 taken back it is empty, and a lone
    // opponent stone at column 0, row 3 gets the diagonal answer (the mode searches instead, but
    // still on a free cell).
    EXPECT_EQ(brain.ask("TAKEBACK 9,9"), "OK");
    const std::string reply = brain.ask("TURN 0,3");
    Cell move{};
    EXPECT_TRUE(parseMove(reply, move) && reply != "0,3") << reply;
    if (!threats) {
      EXPECT_EQ(reply, "1,4");
    }
    EXPECT_EQ(brain.ask("INFO rule 4").rfind("ERROR ", 0), 0u) << "renju is refused at once";
    EXPECT_EQ(brain.finish(), 0);
    expectOnlyProtocolLines(brain.transcript());
    EXPECT_EQ(threatTurns(brain), std::vector<bool>(2, threats));
  }
}

TEST(PbrainSession, UnsupportedRulePlaysOnWithAMessage) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 200", "INFO rule 1"});
  EXPECT_EQ(brain.answer(), "OK");
  EXPECT_EQ(brain.answer().rfind("ERROR ", 0), 0u);
  EXPECT_EQ(brain.ask("BEGIN"), "9,9");
  std::vector<std::string> messages;
  for (const std::string& line : brain.transcript()) {
    if (line.rfind("MESSAGE ", 0) == 0) messages.push_back(line);
  }
  // The warning shares the move's one MESSAGE line, so a manager showing the last one shows both.
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "MESSAGE Brenk plays on by freestyle rules: five or more in a row wins; opening at J10"}));
  brain.send({"INFO rule 2"});  // continuous game: five or more still wins, nothing to refuse
  EXPECT_EQ(brain.ask("ABOUT"), kAbout);
  EXPECT_EQ(brain.finish(), 0);
}

TEST(PbrainSession, WindowsLineEndsCaseAndSpaces) {
  Brain brain;
  brain.sendRaw("  start 20  \r\n\r\ninfo   TIMEOUT_TURN   200\r\nBegin\r\nturn 10 , 10 \r\n");
  EXPECT_EQ(brain.answer(), "OK");
  EXPECT_EQ(brain.answer(), "9,9");
  Cell move{};
  EXPECT_TRUE(parseMove(brain.answer(), move));
  brain.sendRaw("board\r\n 7 , 5 , 2 \r\ndone\r\n");
  EXPECT_EQ(brain.answer(), "8,6");
  brain.sendRaw("end\r\n");
  EXPECT_EQ(brain.finish(), 0);
  EXPECT_EQ(brain.answersSoFar().size(), 4u) << "nothing after END";
  expectOnlyProtocolLines(brain.transcript());  // no CR and no trailing space in any answer
}

TEST(PbrainSession, EndOfInputEndsTheBrain) {
  {
    Brain brain;
    brain.send({"START 20"});
    EXPECT_EQ(brain.finish(), 0) << "EOF without END";
    EXPECT_EQ(brain.answersSoFar(), (std::vector<std::string>{"OK"}));
  }
  {
    Brain brain;
    brain.sendRaw("START 20\r\nBOARD\r\n3,3,1\r\n");
    EXPECT_EQ(brain.finish(), 0) << "EOF inside BOARD";
  }
  {
    Brain brain;
    brain.sendRaw("START 20\r\nINFO timeout_turn 200\r\nBEGIN");
    EXPECT_EQ(brain.finish(), 0);
    EXPECT_EQ(brain.answersSoFar(), (std::vector<std::string>{"OK", "9,9"})) << "a last line without line end";
  }
  {
    Brain brain;
    brain.send({"START 20", "END", "BEGIN"});
    EXPECT_EQ(brain.finish(), 0);
    EXPECT_EQ(brain.answersSoFar(), (std::vector<std::string>{"OK"})) << "END ends at once";
  }
}

// The iteration count of the last turn, from the brain's "DEBUG decision ..." line.
long lastIterations(const Brain& brain) {
  static const std::regex summary(R"(DEBUG decision [a-z-]+, iterations (\d+), nodes \d+)");
  long iterations = -1;
  std::smatch m;
  for (const std::string& line : brain.transcript()) {
    if (std::regex_match(line, m, summary)) iterations = std::stol(m[1]);
  }
  return iterations;
}

TEST(PbrainSession, TurnTimeRunsFromTheTurnsOwnCommand) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 0"});
  ASSERT_EQ(brain.answer(), "OK");
  brain.send(boardCommand({"9,9,1", "10,10,2"}));
  Cell move{};
  ASSERT_TRUE(parseMove(brain.answer(), move));
  EXPECT_EQ(lastIterations(brain), 0) << "timeout_turn 0: no search iteration";
  // Long after the brain started, a 600 ms turn still gets its own time to search.
  usleep(800 * 1000);
  brain.send({"INFO timeout_turn 600"});
  ASSERT_TRUE(parseMove(brain.ask("TURN 12,12"), move));
  EXPECT_GT(lastIterations(brain), 0);
  EXPECT_EQ(brain.finish(), 0);
}

// Two brains play each other through a referee that checks every move.
struct SelfPlayResult {
  int moves = 0;
  int illegal = 0;
  bool five = false;
};

// Each brain learns the game by BOARD on its first move (as GomocupJudge does), then by TURN.
// `opening` holds (x, y, side) stones; side 0 moves next.
SelfPlayResult selfPlay(const std::vector<std::array<int, 3>>& opening) {
  Brain brains[2];
  std::set<Cell> stones[2];
  for (const auto& s : opening) stones[s[2]].insert({s[0], s[1]});
  for (Brain& brain : brains) {
    brain.send({"START 20", "INFO timeout_turn 100", "INFO max_memory 104857600"});
    EXPECT_EQ(brain.answer(), "OK");
  }
  SelfPlayResult result;
  bool seenBoard[2] = {false, false};
  Cell last{-1, -1};
  for (int side = 0; result.moves < 120; side = 1 - side) {
    std::string move;
    if (!seenBoard[side]) {
      std::vector<std::string> lines;
      for (int owner : {0, 1}) {
        for (Cell c : stones[owner]) lines.push_back(cellText(c) + (owner == side ? ",1" : ",2"));
      }
      brains[side].send(boardCommand(lines));
      move = brains[side].answer();
      seenBoard[side] = true;
    } else {
      move = brains[side].ask("TURN " + cellText(last));
    }
    ++result.moves;
    if (!parseMove(move, last) || stones[0].count(last) != 0 || stones[1].count(last) != 0) {
      ++result.illegal;
      ADD_FAILURE() << "illegal move [" << move << "] after " << result.moves << " moves";
      break;
    }
    stones[side].insert(last);
    if (makesFive(stones[side], last)) {
      result.five = true;
      break;
    }
  }
  for (Brain& brain : brains) {
    brain.send({"END"});
    EXPECT_EQ(brain.finish(), 0);
    expectOnlyProtocolLines(brain.transcript());
  }
  return result;
}

TEST(PbrainSelfPlay, GamesAgainstItselfHaveOnlyLegalMoves) {
  // From an empty board, and from a few stones of both sides.
  const SelfPlayResult empty = selfPlay({});
  EXPECT_EQ(empty.illegal, 0);
  EXPECT_GT(empty.moves, 8) << "no five can come sooner";
  const SelfPlayResult opened = selfPlay({{9, 9, 1}, {10, 9, 0}, {8, 10, 1}, {12, 12, 0}});
  EXPECT_EQ(opened.illegal, 0);
  EXPECT_GT(opened.moves, 6);
}

// ---- What a watching person reads ---------------------------------------------------------------

TEST(PbrainNotation, CornersAndCentreAsManagersShowThem) {
  // Column letters from A at x = 0 with none skipped (I and J both used), rows from 1 at y = 0.
  EXPECT_EQ(cellName(0, 0), "A1");
  EXPECT_EQ(cellName(19, 0), "T1");
  EXPECT_EQ(cellName(0, 19), "A20");
  EXPECT_EQ(cellName(19, 19), "T20");
  EXPECT_EQ(cellName(9, 9), "J10");
  EXPECT_EQ(cellName(8, 3), "I4");
  EXPECT_EQ(cellName(10, 11), "K12");
}

// The lines the brain wrote after the answer before `move`, up to and including `move`.
std::vector<std::string> linesOfMove(const std::vector<std::string>& transcript, size_t& from) {
  std::vector<std::string> lines;
  while (from < transcript.size()) {
    lines.push_back(transcript[from++]);
    const std::string& line = lines.back();
    if (line.rfind("DEBUG ", 0) != 0 && line.rfind("MESSAGE ", 0) != 0) break;
  }
  return lines;
}

// Exactly one MESSAGE for the move that ends `lines`, standing right before it.
std::string messageOf(const std::vector<std::string>& lines) {
  int messages = 0;
  for (const std::string& line : lines) messages += line.rfind("MESSAGE ", 0) == 0;
  EXPECT_EQ(messages, 1) << lines.back();
  if (lines.size() < 2 || lines[lines.size() - 2].rfind("MESSAGE ", 0) != 0) return "<no message before the move>";
  return lines[lines.size() - 2].substr(8);
}

TEST(PbrainMessages, QuickDecisionsNameTheirCellAtCornersAndCentre) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 200", "BEGIN"});
  ASSERT_EQ(brain.answer(), "OK");
  struct Case {
    std::vector<std::string> board;
    std::string move, message;
  };
  const std::vector<Case> cases = {
      {{}, "9,9", "opening at J10"},
      // Own four along the top edge, closed at x = 5 by the opponent: only the corner completes it.
      {{"1,0,1", "2,0,1", "3,0,1", "4,0,1", "5,0,2", "12,12,2", "14,9,2", "7,16,2"}, "0,0", "own five at A1"},
      {{"15,0,1", "16,0,1", "17,0,1", "18,0,1", "14,0,2", "12,12,2", "4,9,2", "7,16,2"}, "19,0", "own five at T1"},
      // The opponent's four down an edge column, closed by us at one end: we block at the corner.
      {{"0,15,2", "0,16,2", "0,17,2", "0,18,2", "0,14,1", "9,3,1", "12,7,1"}, "0,19", "block five at A20"},
      {{"19,15,2", "19,16,2", "19,17,2", "19,18,2", "19,14,1", "3,5,1", "10,2,1"}, "19,19", "block five at T20"},
  };
  size_t from = 1;  // after the OK
  for (size_t i = 0; i < cases.size(); ++i) {
    if (i > 0) brain.send(boardCommand(cases[i].board));
    EXPECT_EQ(brain.answer(), cases[i].move);
    EXPECT_EQ(messageOf(linesOfMove(brain.transcript(), from)), cases[i].message);
  }
  EXPECT_EQ(brain.finish(), 0);
  expectOnlyProtocolLines(brain.transcript());
}

TEST(PbrainMessages, SearchedMovesTellStateNumbersEffortAndLine) {
  Brain brain;
  brain.send({"START 20", "INFO timeout_turn 200"});
  ASSERT_EQ(brain.answer(), "OK");
  // Two stones each near the centre: past the opening rules, nothing forced, so the search decides.
  brain.send(boardCommand({"9,9,1", "10,10,2", "8,10,1", "11,9,2"}));
  Cell move{};
  ASSERT_TRUE(parseMove(brain.answer(), move));
  ASSERT_TRUE(parseMove(brain.ask("TURN 12,12"), move));
  ASSERT_TRUE(parseMove(brain.ask("TURN 3,16"), move));
  EXPECT_EQ(brain.finish(), 0);
  expectOnlyProtocolLines(brain.transcript());

  const std::string cell = "[A-T](?:[1-9]|1[0-9]|20)";
  const std::regex searched("search: (proved|disproved|open), proof (inf|[0-9.e+-]+) disproof (inf|[0-9.e+-]+), "
                            "(\\d+) iterations, (\\d+) nodes, \\d+ ms(, line " + cell + "(?: " + cell +
                            "){0,9}(?: \\.\\.\\.)?)?");
  const std::regex summary(R"(DEBUG decision search, iterations (\d+), nodes (\d+))");
  size_t from = 1;
  int searchedMoves = 0;
  for (int answer = 0; answer < 3; ++answer) {
    const std::vector<std::string> lines = linesOfMove(brain.transcript(), from);
    ASSERT_TRUE(parseMove(lines.back(), move)) << lines.back();
    const std::string message = messageOf(lines);
    std::smatch debug;
    if (!std::regex_match(lines.front(), debug, summary)) continue;  // decided without the search
    ++searchedMoves;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(message, m, searched)) << message;
    EXPECT_EQ(m[4].str(), debug[1].str()) << "the iterations of this turn's search";
    EXPECT_EQ(m[5].str(), debug[2].str()) << "the nodes of this turn's search";
    EXPECT_TRUE(m[6].matched) << "a search of 200 ms leaves a line: " << message;
  }
  EXPECT_GE(searchedMoves, 1);
}

// A letter-number cell of a MESSAGE line ("K13": column K, row 13) as x, y from 0.
Cell fromLetterNumber(const std::string& name) {
  return {name[0] - 'A', std::stoi(name.substr(1)) - 1};
}

TEST(PbrainMessages, ThreatModeSearchTellsDepthScoreNodesSpeedAndVariation) {
  Brain brain(kThreatsBrain);
  brain.send({"START 20", "INFO timeout_turn 400"});
  ASSERT_EQ(brain.answer(), "OK");
  // Two stones each near the centre: nothing forced yet, so the alpha-beta search chooses.
  const std::vector<std::string> opening{"9,9,1", "10,10,2", "8,10,1", "11,9,2"};
  std::set<Cell> taken{{9, 9}, {10, 10}, {8, 10}, {11, 9}};
  std::vector<std::set<Cell>> before;  // the stones on the board as each answer was decided
  before.push_back(taken);
  brain.send(boardCommand(opening));
  Cell move{};
  ASSERT_TRUE(parseMove(brain.answer(), move));
  taken.insert(move);
  for (const Cell reply : {Cell{12, 12}, Cell{3, 16}, Cell{6, 6}}) {
    if (taken.count(reply) != 0) continue;
    taken.insert(reply);
    before.push_back(taken);
    ASSERT_TRUE(parseMove(brain.ask("TURN " + cellText(reply)), move));
    taken.insert(move);
  }
  EXPECT_EQ(brain.finish(), 0);
  expectOnlyProtocolLines(brain.transcript());

  const std::string cell = "[A-T](?:[1-9]|1[0-9]|20)";
  const std::regex searched("alpha-beta: depth (\\d+), score ([+-][1-9]\\d*|0|win in \\d+|loss in \\d+), (\\d+) nodes, "
                            "(\\d+) kN/s, (\\d+) ms, pv (" + cell + "(?: " + cell + "){0,9})( \\.\\.\\.)?");
  size_t from = 1;
  int searchedMoves = 0;
  for (const std::set<Cell>& stones : before) {
    const std::vector<std::string> lines = linesOfMove(brain.transcript(), from);
    ASSERT_TRUE(parseMove(lines.back(), move)) << lines.back();
    const std::string message = messageOf(lines);
    if (message.rfind("alpha-beta: ", 0) != 0) continue;  // a forced win or a quick decision
    ++searchedMoves;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(message, m, searched)) << message;
    EXPECT_GE(std::stoi(m[1]), 1) << message;
    // kN/s is nodes per millisecond, whole.
    const long long nodes = std::stoll(m[3]), ms = std::stoll(m[5]);
    EXPECT_EQ(std::stoll(m[4]), ms > 0 ? nodes / ms : 0) << message;
    // The variation: distinct empty cells, the first of them the move played.
    std::istringstream pv(m[6].str());
    std::set<Cell> seen;
    std::string name;
    for (bool first = true; pv >> name; first = false) {
      const Cell at = fromLetterNumber(name);
      if (first) {
        EXPECT_EQ(cellText(at), cellText(move)) << message;
      }
      EXPECT_EQ(stones.count(at), 0u) << name << " is taken: " << message;
      EXPECT_TRUE(seen.insert(at).second) << name << " twice: " << message;
    }
  }
  EXPECT_GE(searchedMoves, 1) << "no move of the alpha-beta search to look at";
}

TEST(PbrainThreats, CommandLineSetsTheModeAndInfoChangesIt) {
  // Each brain plays the opening move four times: before and after INFO brenk_threats 1, 0 and
  // an unreadable value, which changes nothing.
  const std::vector<std::string> script{"START 20", "INFO timeout_turn 100", "BEGIN",    "RESTART",
                                        "INFO brenk_threats 1", "BEGIN", "RESTART", "INFO brenk_threats 0",
                                        "BEGIN", "RESTART", "INFO brenk_threats 2", "BEGIN", "END"};
  struct Case {
    std::string exe;
    std::vector<std::string> args;
    std::vector<bool> modes;
  };
  const std::vector<Case> cases = {
      {PBRAIN_EXE, {}, {false, true, false, false}},
      {PBRAIN_EXE, {"--threats"}, {true, true, false, false}},
      {kThreatsBrain, {}, {true, true, false, false}},
      {kThreatsBrain, {"--no-threats"}, {false, true, false, false}},
  };
  for (const Case& c : cases) {
    Brain brain(c.exe, c.args);
    brain.send(script);
    EXPECT_EQ(brain.finish(), 0) << c.exe;
    EXPECT_EQ(threatTurns(brain), c.modes) << c.exe << (c.args.empty() ? "" : " " + c.args[0]);
    expectOnlyProtocolLines(brain.transcript());
  }
}

}  // namespace
}  // namespace brenk::pbrain
