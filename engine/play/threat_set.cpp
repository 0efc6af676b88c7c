#include "engine/play/threat_set.h"

#include <array>

#include "engine/play/weights.h"

namespace brenk::play {

namespace {

// The five flags of one side, lowest first: open three, four with more, four, two threes, three.
int sideFlags(const Board& board, int colour) {
  const auto any = [&](Shape a, Shape b) { return board.shapeCount(colour, a) + board.shapeCount(colour, b) > 0; };
  return (any(kFlexFour, kFlexFour) ? 1 : 0) | (any(kFourThree, kFourPlus) ? 2 : 0) | (any(kFour, kFour) ? 4 : 0) |
         (any(kDoubleThree, kThreePlus) ? 8 : 0) | (any(kThree, kThree) ? 16 : 0);
}

}  // namespace

int threatFlags(const Board& board) {
  const int me = board.sideToMove();
  return sideFlags(board, me) | sideFlags(board, 1 - me) << 5;
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
