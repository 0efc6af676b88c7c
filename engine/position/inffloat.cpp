#include "engine/position/inffloat.h"

#include <ostream>

namespace brenk {

std::ostream& operator<<(std::ostream& out, infFloat x) {
  if (x.inf) return out << "'OO'";
  return out << x.value;
}

}  // namespace brenk
