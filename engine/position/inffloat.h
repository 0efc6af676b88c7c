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

// An infinite operand yields the other operand, so min of two infinities is infinite.
infFloat min(infFloat a, infFloat b);
// An infinite addend makes the sum infinite; value is left as it was.
infFloat& operator+=(infFloat& x, infFloat y);
bool operator==(infFloat x, float f);
bool operator!=(infFloat x, float f);
// Two infinities are never unequal, whatever floats they carry.
bool operator!=(infFloat x, infFloat y);
bool operator==(infFloat x, infFloat y);
// Infinity prints as 'OO'; a finite value as the stream prints any float.
std::ostream& operator<<(std::ostream& out, infFloat x);

}  // namespace brenk
