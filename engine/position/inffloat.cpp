#include "engine/position/inffloat.h"

#include <ostream>

namespace brenk {

infFloat min(infFloat a, infFloat b) {
  if (a.inf) return b;
  if (b.inf) return a;
  return finite(a.value < b.value ? a.value : b.value);
}

infFloat& operator+=(infFloat& x, infFloat y) {
  if (y.inf) {
    x.inf = true;
  } else {
    x.value += y.value;
  }
  return x;
}

bool operator==(infFloat x, float f) { return !x.inf && x.value == f; }
bool operator!=(infFloat x, float f) { return x.inf || x.value != f; }

bool operator!=(infFloat x, infFloat y) {
  if (x.inf && y.inf) return false;
  if (x.inf != y.inf) return true;
  return x.value != y.value;
}

bool operator==(infFloat x, infFloat y) { return !(x != y); }

std::ostream& operator<<(std::ostream& out, infFloat x) {
  if (x.inf) return out << "'OO'";
  return out << x.value;
}

}  // namespace brenk
