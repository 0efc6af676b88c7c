#include "engine/host/clock.h"

#include <chrono>

namespace brenk {

int32_t nowMs() {
  using namespace std::chrono;
  // Set on first use, which programClock's construction guarantees happens before main.
  static const steady_clock::time_point base = steady_clock::now();
  return static_cast<int32_t>(duration_cast<milliseconds>(steady_clock::now() - base).count());
}

Clock programClock;

}  // namespace brenk
