// The threat-space mode's clock: each figure below is worked out by hand from the manager's
// values (a 50 ms + 5 % answer margin, at most a fifth of the time left, the base time shared
// over at least 12 and about 35 - stones/2 moves).
#include <gtest/gtest.h>

#include "apps/pbrain/limits.h"
#include "engine/play/time_plan.h"

namespace brenk::play {
namespace {

GameTime clock(int64_t turnMs, std::optional<int64_t> leftMs) {
  GameTime time;
  time.turnMs = turnMs;
  time.leftMs = leftMs;
  return time;
}

TEST(TimePlan, WithoutAGameLimitEveryTurnMayUseItsWholeLimit) {
  const TurnTime plan = planTurn(clock(1000, std::nullopt), 40);
  EXPECT_EQ(plan.limitMs, 900);  // 1000 - (50 + 50)
  EXPECT_EQ(plan.targetMs, 900);
  EXPECT_FALSE(plan.flexible);
  SearchTrend unstable{true, 1, 500};
  EXPECT_EQ(adjustedTargetMs(plan, unstable), 900);
  SearchTrend stable{false, 9, 0};
  EXPECT_EQ(adjustedTargetMs(plan, stable), 900);
}

TEST(TimePlan, GameLimitSharesTheTimeLeftOverTheMovesToCome) {
  // Fast league at the game's start: 120 s over 35 - 2 = 33 moves; the turn allows 4700 ms.
  TurnTime plan = planTurn(clock(5000, 120000), 4);
  EXPECT_TRUE(plan.flexible);
  EXPECT_EQ(plan.limitMs, 4700);
  EXPECT_EQ(plan.targetMs, 3636 - (50 + 181));
  // Gomocup's 180/30: 30 s turns, but never more than a fifth of 180 s (36 s less 1850 ms).
  plan = planTurn(clock(30000, 180000), 10);
  EXPECT_EQ(plan.limitMs, 30000 - (50 + 1500));
  EXPECT_EQ(plan.targetMs, 6000 - (50 + 300));  // 180 s over 30 moves
  // Late in a long game the base time still counts on 12 moves to come.
  plan = planTurn(clock(30000, 24000), 120);
  EXPECT_EQ(plan.targetMs, 2000 - (50 + 100));
  EXPECT_EQ(plan.limitMs, 4800 - (50 + 240));  // a fifth of the time left binds
}

TEST(TimePlan, ExhaustedOrTinyClocksGiveNoTimeRatherThanANegativeOne) {
  for (const GameTime& time : {clock(0, std::nullopt), clock(5000, 0), clock(5000, -300), clock(30, 100)}) {
    const TurnTime plan = planTurn(time, 50);
    EXPECT_EQ(plan.limitMs, 0);
    EXPECT_EQ(plan.targetMs, 0);
  }
}

TEST(TimePlan, TrendExtendsAndShortensTheTargetButNeverPassesTheLimit) {
  const TurnTime plan{2000, 4700, true};
  EXPECT_EQ(adjustedTargetMs(plan, SearchTrend{false, 1, 0}), 2000);
  EXPECT_EQ(adjustedTargetMs(plan, SearchTrend{true, 1, 0}), 3200);     // best move changed: x1.6
  EXPECT_EQ(adjustedTargetMs(plan, SearchTrend{false, 2, 45}), 3000);   // score fell by 45: x1.5
  EXPECT_EQ(adjustedTargetMs(plan, SearchTrend{false, 2, 29}), 2000);   // a small fall is noise
  EXPECT_EQ(adjustedTargetMs(plan, SearchTrend{true, 1, 100}), 4700);   // x2.4 capped at the limit
  EXPECT_EQ(adjustedTargetMs(plan, SearchTrend{false, 4, 0}), 1200);    // stable for 4: x0.6
  EXPECT_EQ(adjustedTargetMs(plan, SearchTrend{false, 5, 40}), 3000);   // a fall outweighs stability
}

TEST(TimePlan, NextIterationStartsOnlyIfItsExpectedEndIsBeforeTheTarget) {
  EXPECT_TRUE(mayStartIteration(1000, 300, 1.5, 1500));   // ends near 1450
  EXPECT_FALSE(mayStartIteration(1000, 400, 1.5, 1500));  // would end at 1600
  EXPECT_FALSE(mayStartIteration(1500, 0, 1.5, 1500));
}

TEST(TimePlan, PbrainClockFromTheManagersInfoValues) {
  pbrain::TimeInfo info;
  EXPECT_EQ(pbrain::gameTimeOf(info).turnMs, 3500);
  EXPECT_FALSE(pbrain::gameTimeOf(info).leftMs);
  info.turnMs = 5000;
  info.matchMs = 120000;  // no time_left yet: the whole match is left
  EXPECT_EQ(pbrain::gameTimeOf(info).leftMs, 120000);
  info.leftMs = 80000;
  EXPECT_EQ(pbrain::gameTimeOf(info).leftMs, 80000);
  info.leftMs = pbrain::kUnlimitedTimeLeft;
  EXPECT_FALSE(pbrain::gameTimeOf(info).leftMs);
  info.leftMs = 80000;
  info.matchMs = 0;  // c-gomoku-cli's "0/1": no match limit, whatever time_left says
  EXPECT_FALSE(pbrain::gameTimeOf(info).leftMs);
}

}  // namespace
}  // namespace brenk::play
