// How long a pbrain turn may search and how much tree it may hold, from the manager's INFO
// values. Pure arithmetic, kept apart from the protocol so that it can be checked by itself.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/host/game_time.h"
#include "engine/search/search.h"

namespace brenk::pbrain {

// The manager's time INFO values as last received; absent until the manager sends them.
struct TimeInfo {
  std::optional<int64_t> turnMs;   // timeout_turn: 0 asks for a move as fast as possible
  std::optional<int64_t> matchMs;  // timeout_match: 0 means the match has no limit
  std::optional<int64_t> leftMs;   // time_left: may be negative; kUnlimitedTimeLeft means no limit
};

inline constexpr int64_t kUnlimitedTimeLeft = 2147483647;
// A manager that names no turn limit gets what brenk takes without a brenk.cfg.
inline constexpr int64_t kTurnWithoutInfoMs = 3500;
// One turn spends at most 1/20 of the match time left, so a long game still has time at the end
// (quick decisions cost nothing, so the clock lasts well beyond 20 moves).
inline constexpr int64_t kMatchShareDivisor = 20;
// The search loop only looks at the clock between iterations, and a longer turn builds a larger
// tree to hand back: the answer margin (answerMarginMs, 50 ms plus 5 % of the turn) grows with it.

// The manager's clock: the turn's limit (3500 without timeout_turn), and the time left when the
// match is limited (time_left, or timeout_match before any time_left; none when timeout_match is
// 0 or time_left is 2147483647).
inline GameTime gameTimeOf(const TimeInfo& info) {
  GameTime time;
  time.turnMs = info.turnMs.value_or(kTurnWithoutInfoMs);
  const bool noMatchLimit = info.matchMs.has_value() && *info.matchMs == 0;
  std::optional<int64_t> left = info.leftMs;
  if (!left && info.matchMs && *info.matchMs > 0) left = info.matchMs;  // no time_left yet: the game's start
  if (left && *left != kUnlimitedTimeLeft && !noMatchLimit) time.leftMs = left;
  return time;
}

// What the turn may take at most by the manager's rules, before the safety margin.
inline int64_t turnCeilingMs(const TimeInfo& info) {
  const GameTime time = gameTimeOf(info);
  int64_t ceiling = time.turnMs;
  if (time.leftMs) ceiling = std::min(ceiling, *time.leftMs / kMatchShareDivisor);
  return std::max<int64_t>(ceiling, 0);
}

// The search's time allowance in milliseconds, counted from the arrival of the turn's command:
//   ceiling = timeout_turn (3500 without it), lowered to time_left / 20 when the match is limited
//             (time_left, or timeout_match before any time_left; none when timeout_match is 0 or
//             time_left is 2147483647);
//   allowance = max(0, ceiling - (50 + ceiling / 20)).
inline int32_t turnAllowanceMs(const TimeInfo& info) {
  const int64_t ceiling = turnCeilingMs(info);
  const int64_t allowance = ceiling - answerMarginMs(ceiling);
  return static_cast<int32_t>(std::clamp<int64_t>(allowance, 0, INT32_MAX));
}

// What the process needs beside the tree: code, tables, stacks, the heap's own slack.
inline constexpr size_t kProcessReserveBytes = size_t{40} << 20;
// Below this the search could hardly develop the root; a manager this strict loses either way.
inline constexpr size_t kSmallestTreeBudget = size_t{8} << 20;

// The tree's memory budget from INFO max_memory (bytes; 0 or absent means no limit).
inline size_t treeBudgetBytes(std::optional<int64_t> maxMemory) {
  if (!maxMemory || *maxMemory <= 0) return kDefaultTreeBudget;
  const auto limit = static_cast<uint64_t>(*maxMemory);
  if (limit <= kProcessReserveBytes + kSmallestTreeBudget) return kSmallestTreeBudget;
  return static_cast<size_t>(limit - kProcessReserveBytes);
}

}  // namespace brenk::pbrain
