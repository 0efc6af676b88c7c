// infFloat: the proof and disproof number type, a single-precision value that may be infinite.
// Only the operations the search needs exist: min, +=, tests against a float, inequality, output.
#pragma once

#include <iosfwd>

namespace brenk {

struct infFloat {
  bool inf = false;
  float value = 0.0f;  // meaningless while inf is set; no operation reads it then
};

inline constexpr infFloat finite(float v) { return infFloat{false, v}; }
inline constexpr infFloat infinite() { return infFloat{true, 0.0f}; }

// Inline: the search combines and compares these for every child of every node it passes.

// An infinite operand yields the other operand, so min of two infinities is infinite.
inline infFloat min(infFloat a, infFloat b) {
  if (a.inf) return b;
  if (b.inf) return a;
  return finite(a.value < b.value ? a.value : b.value);
}

// An infinite addend makes the sum infinite; value is left as it was.
inline infFloat& operator+=(infFloat& x, infFloat y) {
  if (y.inf) {
    x.inf = true;
  } else {
    x.value += y.value;
  }
  return x;
}

inline bool operator==(infFloat x, float f) { return !x.inf && x.value == f; }
inline bool operator!=(infFloat x, float f) { return x.inf || x.value != f; }

// Two infinities are never unequal, whatever floats they carry.
inline bool operator!=(infFloat x, infFloat y) {
  if (x.inf && y.inf) return false;
  if (x.inf != y.inf) return true;
  return x.value != y.value;
}

inline bool operator==(infFloat x, infFloat y) { return !(x != y); }
// Infinity prints as 'OO'; a finite value as the stream prints any float.
std::ostream& operator<<(std::ostream& out, infFloat x);

}  // namespace brenk
