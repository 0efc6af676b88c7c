#include "engine/play/time_plan.h"

#include <algorithm>

namespace brenk::play {

namespace {

// No move takes more than this share of the time left, whatever its turn limit.
inline constexpr int64_t kLeftShareDivisor = 5;
// Games between strong brains end within about 35 moves a side; the base time counts on at
// least 12 more, so a long game never runs the clock down to its last seconds.
inline constexpr int kExpectedOwnMoves = 35;
inline constexpr int kFewestMovesToGo = 12;
// The trend's factors on the base time.
inline constexpr double kChangedBestFactor = 1.6;
inline constexpr double kScoreDropFactor = 1.5;
inline constexpr int kScoreDropThreshold = 30;
inline constexpr double kStableFactor = 0.6;
inline constexpr int kStableIterations = 4;

int32_t clampMs(int64_t ms) { return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, INT32_MAX)); }

int64_t lessMargin(int64_t ceilingMs) { return ceilingMs - answerMarginMs(ceilingMs); }

}  // namespace

TurnTime planTurn(const GameTime& time, int stonesOnBoard) {
  TurnTime plan;
  int64_t limit = lessMargin(time.turnMs);
  if (!time.leftMs) {
    plan.limitMs = plan.targetMs = clampMs(limit);
    return plan;
  }
  const int64_t left = std::max<int64_t>(*time.leftMs, 0);
  limit = std::min(limit, lessMargin(left / kLeftShareDivisor));
  const int movesToGo = std::max(kFewestMovesToGo, kExpectedOwnMoves - stonesOnBoard / 2);
  plan.limitMs = clampMs(limit);
  plan.targetMs = std::min(plan.limitMs, clampMs(lessMargin(left / movesToGo)));
  plan.flexible = true;
  return plan;
}

TurnTime fixedTurn(int32_t allowanceMs) {
  TurnTime plan;
  plan.limitMs = plan.targetMs = std::max(allowanceMs, 0);
  return plan;
}

int32_t adjustedTargetMs(const TurnTime& plan, const SearchTrend& trend) {
  if (!plan.flexible) return plan.targetMs;
  double factor = 1;
  if (trend.bestChanged) factor *= kChangedBestFactor;
  if (trend.scoreDrop >= kScoreDropThreshold) factor *= kScoreDropFactor;
  if (factor == 1 && trend.stableIterations >= kStableIterations) factor = kStableFactor;
  return std::min(plan.limitMs, clampMs(static_cast<int64_t>(plan.targetMs * factor)));
}

bool mayStartIteration(int32_t elapsedMs, int32_t lastIterationMs, double growth, int32_t targetMs) {
  return elapsedMs + growth * lastIterationMs < targetMs;
}

}  // namespace brenk::play
