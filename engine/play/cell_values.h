// The weights of weights.h turned into tables over the four line classes of a cell, so that the
// board keeps its evaluation sums and the move ordering reads a cell's score with one lookup.
#pragma once

#include <cstdint>

#include "engine/play/shape.h"

namespace brenk::play {

struct CellValues {
  int16_t own[kClassQuads];      // value to the side to move
  int16_t their[kClassQuads];    // value to the side that has just moved
  int16_t attack[kClassQuads];   // ordering score of a move for the mover
  int16_t defence[kClassQuads];  // ordering score of taking the cell from the other side
};

const CellValues& cellValues();

struct RoleWeights;
struct ClassCombination;
// One role's value of a class quad: its four classes' weights, its six pairs' and its shape's.
int16_t valueOf(const RoleWeights& weights, int quad);
// The quad of the same classes as base classes (ways not counted) in ascending order, and its
// entry in kCombinations (or none).
int sortedBaseQuad(int quad);
const ClassCombination* combinationOf(int quad);

}  // namespace brenk::play
