// The body of POST /api/decide: a board as plocha.dat holds it, the side to move and one limit,
// checked completely before anything runs, so a bad request changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/host/clock.h"
#include "engine/host/driver.h"
#include "engine/position/position.h"

namespace brenk::serve {

inline constexpr size_t kMaxBodyBytes = 64 * 1024;
inline constexpr int64_t kMaxIterations = 10'000'000;
inline constexpr int64_t kMaxTimeMs = 60'000;

struct DecideRequest {
  Position position;  // loaded exactly as brenk loads plocha.dat and tah.dat
  std::optional<int64_t> iterations;
  std::optional<int64_t> timeMs;  // exactly one of the two limits is set
  bool threats = false;
};

// On failure returns nothing and puts a message for the caller in `error`.
std::optional<DecideRequest> parseDecideRequest(std::string_view body, std::string& error);

// The options brenk-cli analyze builds for the same limit: a fixed count alone ends the search,
// so the answer is the same on every machine. The time runs on `clock`.
DriverOptions driverOptionsFor(const DecideRequest& request, const Clock& clock, std::ostream& diagnostics);

}  // namespace brenk::serve
