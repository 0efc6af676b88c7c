#include "engine/play/shape.h"

#include <array>

namespace brenk::play {

Shape shapeOfClasses(const uint8_t (&classes)[4]) {
  int count[kLineClasses] = {};
  for (uint8_t cls : classes) ++count[baseClass(static_cast<LineClass>(cls))];
  const int fours = count[kB4];
  const int openThrees = count[kF3];
  const int closedThreesOrTwos = count[kB3] + count[kF2];
  if (count[kF5] > 0) return kFive;
  if (count[kF4] > 0 || fours >= 2) return kFlexFour;
  if (fours == 1 && openThrees > 0) return kFourThree;
  if (fours == 1 && closedThreesOrTwos > 0) return kFourPlus;
  if (fours == 1) return kFour;
  if (openThrees >= 2) return kDoubleThree;
  if (openThrees == 1 && closedThreesOrTwos > 0) return kThreePlus;
  if (openThrees == 1) return kThree;
  if (count[kB3] >= 1 && closedThreesOrTwos >= 2) return kBlockThreePlus;
  if (count[kF2] >= 2) return kDoubleTwo;
  if (count[kB3] >= 1) return kBlockThree;
  if (count[kF2] >= 1) return kTwo;
  return kNone;
}

namespace {

struct ShapeTable {
  std::array<uint8_t, kClassQuads> shapes{};
  ShapeTable() {
    for (int quad = 0; quad < kClassQuads; ++quad) {
      uint8_t classes[4];
      quadClasses(quad, classes);
      shapes[quad] = shapeOfClasses(classes);
    }
  }
};

}  // namespace

const uint8_t* shapeTable() {
  static const ShapeTable table;
  return table.shapes.data();
}

}  // namespace brenk::play
