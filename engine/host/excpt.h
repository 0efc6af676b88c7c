// Errors the search raises on internal inconsistencies. Only the driver catches them.
#pragma once

#include <cstdint>

namespace brenk {

struct Excpt {
  int32_t code;
  const char* message;  // static text, not owned
  const char* where;    // name of the operation that raised it
  Excpt(int32_t c, const char* m, const char* w) : code(c), message(m), where(w) {}
};

inline constexpr const char* kUnexpectedError = "Neocekavana chyba";

}  // namespace brenk
