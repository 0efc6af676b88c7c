// A pbrain brain: one process per game on pipes. START 20 and the INFO limits open the game,
// the first move comes as BOARD (as Gomocup's manager sends it), later ones as TURN, and END
// closes it. MESSAGE and DEBUG lines are ignored; any other line that is not a move is a fault.
#include <poll.h>
#include <unistd.h>

#include <filesystem>

#include "apps/match/engine.h"
#include "apps/match/process.h"

namespace brenk::match {

namespace fs = std::filesystem;

namespace {

constexpr int64_t kEndGraceMs = 1000;  // managers kill a brain this long after END

enum class ReadStatus { Line, Eof, Timeout };

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

class PbrainEngine : public MatchEngine {
 public:
  PbrainEngine(std::string path, const EngineLimits& limits) : path_(std::move(path)), limits_(limits) {}
  ~PbrainEngine() override { stop(); }

  void startGame() override {
    stop();
    startFault_.reset();
    boardSent_ = false;
    if (!spawn()) return;
    const int64_t start = monotonicMs();
    send("START 20\nINFO timeout_turn " + std::to_string(limits_.allowanceMs) +
         "\nINFO timeout_match 0\nINFO max_memory " + std::to_string(limits_.maxMemoryBytes) +
         "\nINFO rule 0\nINFO game_type 1\n");
    std::string line;
    const ReadStatus status = readAnswer(start + limits_.allowanceMs + limits_.marginMs, line);
    if (status == ReadStatus::Line && line != "OK")
      startFault_ = fault(MoveFault::Crash, "START answered \"" + line + "\"");
    if (status != ReadStatus::Line) startFault_ = lostBrain(status, "START");
  }

  MoveOutcome play(const MatchBoard& board, char symbol, std::optional<MatchMove> last) override {
    if (startFault_) return *startFault_;
    if (pid_ < 0) return fault(MoveFault::Crash, "the brain is not running");
    const int64_t start = monotonicMs();
    send(boardSent_ && last ? "TURN " + std::to_string(last->x) + "," + std::to_string(last->y) + "\n"
                            : boardCommand(board, symbol));
    boardSent_ = true;
    std::string line;
    const ReadStatus status = readAnswer(start + limits_.allowanceMs + limits_.marginMs, line);
    const int64_t wall = monotonicMs() - start;
    MoveOutcome outcome = status == ReadStatus::Line ? judgeMoveLine(line, board) : lostBrain(status, "a move");
    outcome.wallMs = wall;
    outcome.peakKiB = std::max(outcome.peakKiB, pid_ >= 0 ? peakRssKiB(pid_) : 0);
    return outcome;
  }

  std::optional<MoveOutcome> endGame() override {
    std::optional<MoveOutcome> result;
    if (pid_ >= 0) {
      send("END\n");
      const ChildExit exit = waitChild(pid_, monotonicMs() + kEndGraceMs);
      pid_ = -1;
      if (exit.killed) result = fault(MoveFault::Crash, "still running 1 s after END");
      if (exit.crashed) result = fault(MoveFault::Crash, "after END: " + exit.describe());
    }
    stop();
    return result;
  }

 private:
  static MoveOutcome fault(MoveFault kind, std::string note) {
    MoveOutcome outcome;
    outcome.fault = kind;
    outcome.note = std::move(note);
    return outcome;
  }

  static std::string boardCommand(const MatchBoard& board, char symbol) {
    std::string text = "BOARD\n";
    for (int y = 0; y < kMatchBoardSize; ++y) {
      for (int x = 0; x < kMatchBoardSize; ++x) {
        const char cell = board.cells[y][x];
        if (cell == '-') continue;
        text += std::to_string(x) + "," + std::to_string(y) + (cell == symbol ? ",1\n" : ",2\n");
      }
    }
    return text + "DONE\n";
  }

  bool spawn() {
    std::string pattern = (fs::temp_directory_path() / "brenk-pbrain-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      startFault_ = fault(MoveFault::Crash, "cannot create a working directory");
      return false;
    }
    workdir_ = pattern;
    int toBrain[2];
    int fromBrain[2];
    if (pipe(toBrain) != 0) return false;
    if (pipe(fromBrain) != 0) {
      close(toBrain[0]);
      close(toBrain[1]);
      return false;
    }
    pid_ = startChild(path_, workdir_.string(), ChildStreams{toBrain[0], fromBrain[1], -1});
    close(toBrain[0]);
    close(fromBrain[1]);
    toBrain_ = toBrain[1];
    fromBrain_ = fromBrain[0];
    if (pid_ < 0) startFault_ = fault(MoveFault::Crash, "fork failed");
    return pid_ >= 0;
  }

  // Writes fail quietly on a dead brain (SIGPIPE is ignored); the read that follows sees EOF.
  void send(const std::string& text) {
    size_t done = 0;
    while (toBrain_ >= 0 && done < text.size()) {
      const ssize_t n = write(toBrain_, text.data() + done, text.size() - done);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }

  ReadStatus readLine(int64_t deadlineMs, std::string& line) {
    for (;;) {
      const size_t end = buffer_.find('\n');
      if (end != std::string::npos) {
        line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return ReadStatus::Line;
      }
      const int64_t left = deadlineMs - monotonicMs();
      if (left <= 0) return ReadStatus::Timeout;
      pollfd ready{fromBrain_, POLLIN, 0};
      if (poll(&ready, 1, static_cast<int>(left)) <= 0) continue;
      char chunk[4096];
      const ssize_t n = read(fromBrain_, chunk, sizeof chunk);
      if (n <= 0) return ReadStatus::Eof;
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  // The next line that is not MESSAGE or DEBUG.
  ReadStatus readAnswer(int64_t deadlineMs, std::string& line) {
    for (;;) {
      const ReadStatus status = readLine(deadlineMs, line);
      if (status != ReadStatus::Line) return status;
      if (!startsWith(line, "MESSAGE") && !startsWith(line, "DEBUG")) return status;
    }
  }

  // The brain gave no answer: it died (a crash) or ran past the deadline (killed, an overrun).
  MoveOutcome lostBrain(ReadStatus status, const std::string& awaited) {
    MoveOutcome outcome;
    if (status == ReadStatus::Timeout) {
      outcome = fault(MoveFault::Overrun, "no answer to " + awaited + " before the deadline");
      waitChild(pid_, 0);
    } else {
      const ChildExit exit = waitChild(pid_, monotonicMs() + kEndGraceMs);
      outcome = fault(MoveFault::Crash, "output closed while awaiting " + awaited + " (" + exit.describe() + ")");
      outcome.peakKiB = exit.maxRssKiB;
    }
    pid_ = -1;
    return outcome;
  }

  void stop() {
    if (pid_ >= 0) waitChild(pid_, 0);
    pid_ = -1;
    if (toBrain_ >= 0) close(toBrain_);
    if (fromBrain_ >= 0) close(fromBrain_);
    toBrain_ = fromBrain_ = -1;
    buffer_.clear();
    if (!workdir_.empty()) {
      std::error_code ignored;
      fs::remove_all(workdir_, ignored);
      workdir_.clear();
    }
  }

  std::string path_;
  EngineLimits limits_;
  pid_t pid_ = -1;
  int toBrain_ = -1;
  int fromBrain_ = -1;
  std::string buffer_;
  fs::path workdir_;
  bool boardSent_ = false;
  std::optional<MoveOutcome> startFault_;
};

}  // namespace

std::unique_ptr<MatchEngine> makePbrainEngine(const std::string& path, const EngineLimits& limits) {
  return std::make_unique<PbrainEngine>(fs::absolute(path).string(), limits);
}

std::unique_ptr<MatchEngine> makeMatchEngine(const std::string& engineArg, const EngineLimits& limits) {
  static const std::string kPbrain = "pbrain:";
  if (engineArg.rfind(kPbrain, 0) == 0) return makePbrainEngine(engineArg.substr(kPbrain.size()), limits);
  return makeFileEngine(engineArg, limits);
}

}  // namespace brenk::match
