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

namespace {

std::unique_ptr<CellValues> buildValues() {
  auto values = std::make_unique<CellValues>();
  for (int quad = 0; quad < kClassQuads; ++quad) {
    values->own[quad] = valueOf(kOwnValue, quad);
    values->their[quad] = valueOf(kTheirValue, quad);
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
