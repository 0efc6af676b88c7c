#include "engine/play/cell_values.h"

#include <algorithm>
#include <memory>

#include "engine/play/weights.h"

namespace brenk::play {

int16_t valueOf(const RoleWeights& weights, int quad) {
  int sum = 0;
  uint8_t classes[4];
  for (uint8_t& cls : classes) {
    cls = static_cast<uint8_t>(quad % kLineClasses);
    quad /= kLineClasses;
    sum += weights.lineClass[cls];
  }
  for (int i = 0; i < 4; ++i) {
    for (int j = i + 1; j < 4; ++j) sum += weights.pair[classPair(classes[i], classes[j])];
  }
  sum += weights.shape[shapeOfClasses(classes)];
  return static_cast<int16_t>(std::clamp(sum, -32000, 32000));
}

int sortedQuad(int quad) {
  uint8_t classes[4];
  for (uint8_t& cls : classes) {
    cls = static_cast<uint8_t>(quad % kLineClasses);
    quad /= kLineClasses;
  }
  std::sort(classes, classes + 4);
  return classQuad(classes);
}

const ClassCombination* combinationOf(int quad) {
  const int sorted = sortedQuad(quad);
  for (const ClassCombination& entry : kCombinations) {
    uint8_t classes[4];
    std::copy(entry.classes, entry.classes + 4, classes);
    if (classQuad(classes) == sorted) return &entry;
  }
  return nullptr;
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
