// What one line through an empty cell is worth to one side if that side plays there: the class
// of the nine cells centred on it (four on each side), with the stone put on the centre. Five in
// a row (or more) wins; every class is derived from that rule alone.
//
// The open twos and threes are told apart by how many ways they have to the next class up: a
// two that can become an open three on three or four cells is worth more than one with two, a
// three with two cells to an open four more than one with a single cell.
#pragma once

#include <cstdint>

namespace brenk::play {

// Ordered from worthless to winning. "Open" (F) classes have two ways to the next class up
// that one move cannot both stop; "closed" (B) ones have one.
enum LineClass : uint8_t {
  kDead,   // no five can ever pass through the centre
  kB1,     // one move from a closed two
  kF1,     // one move from an open two
  kB2,     // one move from a closed three
  kF2,     // one move from an open three, on at most two cells
  kF2A,    // ... on three cells
  kF2B,    // ... on four or more cells
  kB3,     // one move from a four
  kF3,     // one move from an open four, on one cell
  kF3S,    // ... on two or more cells
  kB4,     // a four: one cell left to five
  kF4,     // an open four: two cells left to five
  kF5,     // five (or more)
  kLineClasses
};

// The class without the count of ways (kF2A and kF2B are kF2, kF3S is kF3): what the threats
// and shapes are made of.
inline constexpr LineClass baseClass(LineClass cls) {
  return cls == kF2A || cls == kF2B ? kF2 : cls == kF3S ? kF3 : cls;
}

// The neighbours of a cell along one direction, as a 16-bit key: two bits a neighbour, for the
// offsets -4..-1 (slots 0..3) and +1..+4 (slots 4..7), each 0 empty, 1 a stone of colour 0,
// 2 a stone of colour 1, 3 off the board.
using LineKey = uint16_t;
inline constexpr int kHalfLine = 4;
inline constexpr int kLineKeys = 1 << 16;
inline constexpr uint8_t kKeyEmpty = 0;
inline constexpr uint8_t kKeyWall = 3;
inline constexpr uint8_t keyCode(int colour) { return static_cast<uint8_t>(colour + 1); }
// Slot of the neighbour at `offset` (-4..-1, 1..4).
inline constexpr int keySlot(int offset) { return offset < 0 ? offset + kHalfLine : offset + kHalfLine - 1; }

// The slow rule: the class of a line written as nine characters, 'o' own, 'x' blocked (the
// other side or off the board), '.' empty; the centre (index 4) is taken as own.
LineClass classifyLine(const char (&line)[9]);

// The class of `key` for `colour`, from a table built once from classifyLine.
LineClass lineClass(int colour, LineKey key);
// The same table as a flat array indexed by key, for the board's inner loop.
const uint8_t* lineClassTable(int colour);

}  // namespace brenk::play
