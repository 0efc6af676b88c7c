// What a move on one empty cell makes for one side, from the classes of its four lines: the
// threat that decides how the search treats the cell (a five, a four that cannot be stopped, a
// four-three, ...). Ordered from the strongest down.
#pragma once

#include <cstdint>

#include "engine/play/line_patterns.h"

namespace brenk::play {

enum Shape : uint8_t {
  kFive,          // five or more
  kFlexFour,      // an open four, or two fours at once: wins unless the other side has a five
  kFourThree,     // a four and an open three
  kFourPlus,      // a four and a closed three or an open two
  kFour,          // a plain four
  kDoubleThree,   // two open threes
  kThreePlus,     // an open three and a closed three or an open two
  kThree,         // an open three
  kBlockThreePlus,  // a closed three with another closed three or an open two
  kDoubleTwo,     // two open twos
  kBlockThree,    // a closed three
  kTwo,           // an open two
  kNone,
  kShapes
};

// Whether a move here makes at least a four (the other side must answer at once).
inline constexpr bool makesFour(Shape shape) { return shape <= kFour; }

// The four classes in one index, direction 0 lowest; every order of the same classes gives the
// same shape.
inline constexpr int kClassQuads = kLineClasses * kLineClasses * kLineClasses * kLineClasses;
inline constexpr int classQuad(const uint8_t (&classes)[4]) {
  return classes[0] + kLineClasses * (classes[1] + kLineClasses * (classes[2] + kLineClasses * classes[3]));
}
// Its inverse: the four classes of a quad, direction 0 first.
inline constexpr void quadClasses(int quad, uint8_t (&classes)[4]) {
  for (uint8_t& cls : classes) {
    cls = static_cast<uint8_t>(quad % kLineClasses);
    quad /= kLineClasses;
  }
}

// The slow rule over the four classes.
Shape shapeOfClasses(const uint8_t (&classes)[4]);
// The table built from it, indexed by classQuad.
const uint8_t* shapeTable();

}  // namespace brenk::play
