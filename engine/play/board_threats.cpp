// The flags of the whole board's threats and the counts of cells by shape, read from the board's
// shape counts, and their values.
#include "engine/play/board_threats.h"

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

// The level of a count of cells: one, two, three, four or five, six or more.
int countLevel(int count) { return count <= 3 ? count - 1 : count <= 5 ? 3 : 4; }

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

int shapeCountValue(const Board& board) {
  const int me = board.sideToMove();
  int sum = 0;
  for (int role = 0; role < 2; ++role) {
    const int colour = role == kOwnRole ? me : 1 - me;
    for (int shape = kFlexFour; shape < kNone; ++shape) {
      const int count = board.shapeCount(colour, static_cast<Shape>(shape));
      if (count > 0) sum += kShapeCountValues[role][shape][countLevel(count)];
    }
  }
  return sum;
}

}  // namespace brenk::play
