// A file-interface engine: for every move a fresh working directory with plocha.dat, tah.dat
// and brenk.cfg, one run of the executable under a hard deadline, and tah.dat read back.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/match/engine.h"
#include "apps/match/process.h"

namespace brenk::match {

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
}

std::optional<std::string> readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

fs::path freshWorkingDir() {
  std::string pattern = (fs::temp_directory_path() / "brenk-match-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return {};
  return pattern;
}

class FileEngine : public MatchEngine {
 public:
  FileEngine(std::string path, const EngineLimits& limits) : path_(std::move(path)), limits_(limits) {}

  void startGame() override {}
  std::optional<MoveOutcome> endGame() override { return std::nullopt; }

  MoveOutcome play(const MatchBoard& board, char symbol, std::optional<MatchMove>) override {
    const fs::path dir = freshWorkingDir();
    if (dir.empty()) return failed("cannot create a working directory");
    writeText(dir / "plocha.dat", boardFileText(board));
    writeText(dir / "tah.dat", std::string(1, symbol));
    writeText(dir / "brenk.cfg", std::to_string(limits_.allowanceMs) + "\n");
    const int out = open((dir / "engine.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    const int64_t start = monotonicMs();
    const pid_t pid = startChild(path_, dir.string(), ChildStreams{-1, out, out});
    if (out >= 0) close(out);
    if (pid < 0) return failed("fork failed");
    const ChildExit exit = waitChild(pid, start + limits_.allowanceMs + limits_.marginMs);
    const int64_t wall = monotonicMs() - start;

    MoveOutcome outcome = judge(exit, readText(dir / "tah.dat"), board, symbol);
    outcome.wallMs = wall;
    outcome.peakKiB = exit.maxRssKiB;
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return outcome;
  }

 private:
  static MoveOutcome failed(std::string note) {
    MoveOutcome outcome;
    outcome.fault = MoveFault::Crash;
    outcome.note = std::move(note);
    return outcome;
  }

  static MoveOutcome judge(const ChildExit& exit, const std::optional<std::string>& answer, const MatchBoard& board,
                           char symbol) {
    if (exit.killed) {
      MoveOutcome outcome;
      outcome.fault = MoveFault::Overrun;
      outcome.note = "no exit before the deadline";
      return outcome;
    }
    if (exit.crashed) return failed(exit.describe());
    return judgeMoveFile(answer, board, symbol);
  }

  std::string path_;
  EngineLimits limits_;
};

}  // namespace

std::unique_ptr<MatchEngine> makeFileEngine(const std::string& path, const EngineLimits& limits) {
  return std::make_unique<FileEngine>(fs::absolute(path).string(), limits);
}

}  // namespace brenk::match
