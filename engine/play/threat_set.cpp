// The flags of the whole board's threats, read from the board's shape counts, and their value.
#include "engine/play/threat_set.h"

#include <array>

#include "engine/play/weights.h"

namespace brenk::play {

namespace {

// The side that has just moved has the same five flags as the side to move, five places up.
inline constexpr int kTheirShift = 5;
static_assert(kTheirFlexFour == kOwnFlexFour << kTheirShift && kTheirThree == kOwnThree << kTheirShift);

// The side's flags as the side to move's.
int sideFlags(const Board& board, int colour) {
  const auto has = [&](Shape shape) { return board.shapeCount(colour, shape) > 0; };
  const auto flag = [](bool present, ThreatFlag bit) { return present ? int{bit} : 0; };
  return flag(has(kFlexFour), kOwnFlexFour) | flag(has(kFourThree) || has(kFourPlus), kOwnFourPlus) |
         flag(has(kFour), kOwnFour) | flag(has(kDoubleThree) || has(kThreePlus), kOwnThreePlus) |
         flag(has(kThree), kOwnThree);
}

}  // namespace

int threatFlags(const Board& board) {
  const int me = board.sideToMove();
  return sideFlags(board, me) | sideFlags(board, 1 - me) << kTheirShift;
}

int threatSetValue(int flags) {
  static const auto table = [] {
    std::array<int16_t, kThreatSets> values{};
    for (const ThreatValue& entry : kThreatValues) values[entry.flags] = entry.value;
    return values;
  }();
  return table[flags];
}

}  // namespace brenk::play
