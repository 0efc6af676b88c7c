#include "engine/play/cell_values.h"

#include <algorithm>
#include <array>
#include <memory>

#include "engine/play/weights.h"

namespace brenk::play {

int16_t valueOf(const RoleWeights& weights, int quad) {
  uint8_t classes[4];
  quadClasses(quad, classes);
  int sum = 0;
  for (int i = 0; i < 4; ++i) {
    sum += weights.lineClass[classes[i]];
    for (int j = i + 1; j < 4; ++j) sum += weights.pair[classPair(classes[i], classes[j])];
  }
  sum += weights.shape[shapeOfClasses(classes)];
  return static_cast<int16_t>(std::clamp(sum, -32000, 32000));
}

int sortedBaseQuad(int quad) {
  uint8_t classes[4];
  quadClasses(quad, classes);
  for (uint8_t& cls : classes) cls = baseClass(static_cast<LineClass>(cls));
  std::sort(classes, classes + 4);
  return classQuad(classes);
}

const ClassCombination* combinationOf(int quad) {
  // The entries by the quad of their classes as written (ascending, which a test checks).
  static const auto byQuad = [] {
    std::array<const ClassCombination*, kClassQuads> entries{};
    for (const ClassCombination& entry : kCombinations) {
      const uint8_t classes[4] = {entry.classes[0], entry.classes[1], entry.classes[2], entry.classes[3]};
      entries[classQuad(classes)] = &entry;
    }
    return entries;
  }();
  return byQuad[sortedBaseQuad(quad)];
}

namespace {

int16_t withCorrection(int16_t value, int correction) {
  return static_cast<int16_t>(std::clamp(value + correction, -32000, 32000));
}

std::unique_ptr<CellValues> buildValues() {
  auto values = std::make_unique<CellValues>();
  for (int quad = 0; quad < kClassQuads; ++quad) {
    const ClassCombination* combination = combinationOf(quad);
    values->own[quad] = withCorrection(valueOf(kOwnValue, quad), combination ? combination->own : 0);
    values->their[quad] = withCorrection(valueOf(kTheirValue, quad), combination ? combination->their : 0);
    values->attack[quad] = valueOf(kAttackOrder, quad);
    values->defence[quad] = valueOf(kDefenceOrder, quad);
  }
  return values;
}

}  // namespace

const CellValues& cellValues() {
  static const std::unique_ptr<CellValues> values = buildValues();
  return *values;
}

}  // namespace brenk::play
