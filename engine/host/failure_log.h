// The failure log "brenk.log": one appended line for every error that escapes a run.
#pragma once

namespace brenk {

inline constexpr const char* kFailureLogLine = "Naznama nezachytitelna chyba.";

// Appends the line; a log that cannot be opened is silently skipped.
void appendFailureLog();

// Runs `body` under the outer guard: any error that leaves it is logged, never propagated.
template <typename Body>
void runUnderOuterGuard(Body&& body) {
  try {
    body();
  } catch (...) {
    appendFailureLog();
  }
}

}  // namespace brenk
