// Wall-clock milliseconds since process start. programClock starts during static initialisation,
// so loading, printing and scoring all count against the time allowance.
#pragma once

#include <cstdint>

namespace brenk {

// Monotonic milliseconds since the time base was first read (the earliest start-up step).
int32_t nowMs();

struct Clock {
  int32_t start;
  Clock() : start(nowMs()) {}
  int32_t Elapsed() const { return static_cast<int32_t>(static_cast<uint32_t>(nowMs()) - static_cast<uint32_t>(start)); }
};

extern Clock programClock;

}  // namespace brenk
