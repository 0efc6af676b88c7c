// The bench's fixed positions, as literal boards in the "plocha.dat" format with the symbol that
// "tah.dat" would hold. Changing this set changes the bench signature.
#pragma once

#include <array>
#include <span>

namespace brenk::cli {

struct BenchPosition {
  const char* name;
  char symbol;  // the side the engine plays: 'x' or 'o'
  std::array<const char*, 20> rows;
};

std::span<const BenchPosition> benchPositions();

}  // namespace brenk::cli
