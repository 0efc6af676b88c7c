// The flags of the whole board's threats and the counts of cells by shape, read from the board's
// shape counts, and their values.
#include "engine/play/board_threats.h"

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

// The level of a count of cells: one, two, three, four or five, six or more.
int countLevel(int count) { return count <= 3 ? count - 1 : count <= 5 ? 3 : 4; }

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
