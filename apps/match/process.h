// Child processes for brenk-cli match: start an engine in a working directory with chosen
// standard streams, wait for it with a hard deadline, and read its resource usage.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace brenk::match {

int64_t monotonicMs();

struct ChildStreams {
  int in = -1;   // becomes the child's standard input; /dev/null when -1
  int out = -1;  // standard output; /dev/null when -1
  int err = -1;  // standard error; /dev/null when -1
};

// Starts `path` (no arguments) in `workdir`; -1 when fork fails. A failed exec ends the child
// with status 127, which the caller sees as a crash.
pid_t startChild(const std::string& path, const std::string& workdir, const ChildStreams& streams);

struct ChildExit {
  bool exited = false;    // reaped; false only while still running
  bool killed = false;    // we killed it at the deadline
  bool crashed = false;   // non-zero exit status or a signal we did not send
  int status = 0;         // raw wait status
  int64_t maxRssKiB = 0;  // peak resident memory from the child's resource usage
  std::string describe() const;
};

// Waits until the child ends or `deadlineMs` (monotonic) passes, then kills and reaps it.
ChildExit waitChild(pid_t pid, int64_t deadlineMs);
// Reaps the child if it has ended; `exited` stays false otherwise.
ChildExit pollChild(pid_t pid);
// Peak resident memory of a running process so far (VmHWM), 0 when unknown.
int64_t peakRssKiB(pid_t pid);

}  // namespace brenk::match
