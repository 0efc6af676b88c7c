// Runs one of our executables (or a shell command) as a manager would: standard input from
// /dev/null, output collected, killed if it hangs, and the exit status.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace brenk::testsupport {

enum class Stderr {
  Inherit,  // to the test's own standard error
  Merge,    // into `out`, interleaved as written
  Capture,  // into `err`
  Discard,  // to /dev/null
};

struct RunOptions {
  std::vector<std::string> args;  // after the program name
  std::filesystem::path workDir;  // empty: the test's own working directory
  Stderr stderrTo = Stderr::Inherit;
  bool asNobody = false;         // as root, drop to nobody first: file modes do not stop root
  long long timeoutMs = 120000;  // a run still going then is killed; 0: wait for ever
};

struct ProcessRun {
  bool exited = false;  // ended by itself with an exit status
  int status = -1;      // the exit status, -1 unless exited
  std::string out;
  std::string err;
  long long wallMs = 0;
};

namespace detail {

constexpr uid_t kNobody = 65534;
constexpr int kSetupFailed = 120;  // the child could not set up its streams or directory
constexpr int kExecFailed = 127;

[[noreturn]] inline void execChild(const std::string& program, const RunOptions& options, int outFd, int errFd) {
  const int devNull = open("/dev/null", O_RDONLY);
  if (devNull < 0 || dup2(devNull, STDIN_FILENO) < 0 || dup2(outFd, STDOUT_FILENO) < 0) _exit(kSetupFailed);
  int errTarget = -1;
  if (options.stderrTo == Stderr::Merge) errTarget = outFd;
  if (options.stderrTo == Stderr::Capture) errTarget = errFd;
  if (options.stderrTo == Stderr::Discard) errTarget = open("/dev/null", O_WRONLY);
  if (options.stderrTo != Stderr::Inherit && (errTarget < 0 || dup2(errTarget, STDERR_FILENO) < 0)) _exit(kSetupFailed);
  close(outFd), close(errFd);
  if (options.asNobody && geteuid() == 0 &&
      (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
    _exit(kSetupFailed);
  if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) _exit(kSetupFailed);
  std::vector<std::string> copies{program};
  copies.insert(copies.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(kExecFailed);
}

// Reads both pipes to their ends or to the deadline; false when the deadline came first.
inline bool drain(int outFd, int errFd, ProcessRun& run, std::chrono::steady_clock::time_point deadline,
                  bool hasDeadline) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  char buffer[4096];
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    int waitMs = -1;
    if (hasDeadline) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      waitMs = static_cast<int>(left.count());
    }
    if (poll(fds, 2, waitMs) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      } else {
        fds[i].fd = -1;  // poll skips negative descriptors
      }
    }
  }
  return true;
}

}  // namespace detail

// Starts `program` (an absolute path) and waits for it, collecting its standard output and, as
// asked, its standard error. A run killed at the timeout is reported as not exited.
inline ProcessRun runProcess(const std::string& program, const RunOptions& options = {}) {
  ProcessRun run;
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0) return run;
  if (pipe(errPipe) != 0) {
    close(outPipe[0]), close(outPipe[1]);
    return run;
  }
  const auto began = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    close(outPipe[0]), close(errPipe[0]);
    detail::execChild(program, options, outPipe[1], errPipe[1]);
  }
  close(outPipe[1]), close(errPipe[1]);
  if (pid < 0) {
    close(outPipe[0]), close(errPipe[0]);
    return run;
  }
  const bool ended = detail::drain(outPipe[0], errPipe[0], run, began + std::chrono::milliseconds(options.timeoutMs),
                                   options.timeoutMs > 0);
  if (!ended) kill(pid, SIGKILL);
  close(outPipe[0]), close(errPipe[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  run.wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
  run.exited = ended && WIFEXITED(wstatus);
  run.status = run.exited ? WEXITSTATUS(wstatus) : -1;
  return run;
}

// A command line for /bin/sh, for callers whose arguments are written as one string.
inline ProcessRun runShell(const std::string& command, RunOptions options = {}) {
  options.args = {"-c", command};
  return runProcess("/bin/sh", options);
}

}  // namespace brenk::testsupport
