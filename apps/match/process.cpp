#include "apps/match/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <fstream>
#include <sstream>

namespace brenk::match {

int64_t monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

namespace {

void redirect(int from, int to, int devNull) { dup2(from >= 0 ? from : devNull, to); }

ChildExit fromStatus(int status, const rusage& usage, bool killed) {
  ChildExit result;
  result.exited = true;
  result.killed = killed;
  result.status = status;
  result.maxRssKiB = usage.ru_maxrss;
  result.crashed = !killed && (WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) != 0));
  return result;
}

}  // namespace

pid_t startChild(const std::string& path, const std::string& workdir, const ChildStreams& streams) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // Only async-signal-safe calls between fork and exec.
  const int devNull = open("/dev/null", O_RDWR);
  redirect(streams.in, STDIN_FILENO, devNull);
  redirect(streams.out, STDOUT_FILENO, devNull);
  redirect(streams.err, STDERR_FILENO, devNull);
  if (chdir(workdir.c_str()) != 0) _exit(127);
  for (int fd = 3; fd < 256; ++fd) close(fd);
  execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

std::string ChildExit::describe() const {
  std::ostringstream text;
  if (killed) {
    text << "killed at the deadline";
  } else if (WIFSIGNALED(status)) {
    text << "signal " << WTERMSIG(status);
  } else if (WIFEXITED(status)) {
    text << "exit status " << WEXITSTATUS(status);
  }
  return text.str();
}

ChildExit pollChild(pid_t pid) {
  int status = 0;
  rusage usage{};
  const pid_t done = wait4(pid, &status, WNOHANG, &usage);
  if (done == pid) return fromStatus(status, usage, false);
  return ChildExit{};
}

ChildExit waitChild(pid_t pid, int64_t deadlineMs) {
  // Polling every millisecond keeps the measured wall time within a millisecond of the exit.
  while (monotonicMs() < deadlineMs) {
    ChildExit result = pollChild(pid);
    if (result.exited) return result;
    const timespec pause{0, 1000000};
    nanosleep(&pause, nullptr);
  }
  ChildExit last = pollChild(pid);
  if (last.exited) return last;
  kill(pid, SIGKILL);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  return fromStatus(status, usage, true);
}

int64_t peakRssKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      int64_t kib = 0;
      status >> kib;
      return kib;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

}  // namespace brenk::match
