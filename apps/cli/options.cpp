#include "apps/cli/options.h"

#include <charconv>
#include <cstring>

namespace brenk::cli {

std::optional<int64_t> parseWholeNumber(const char* text, int64_t min, int64_t max) {
  if (text == nullptr) return std::nullopt;
  const char* end = text + std::strlen(text);
  int64_t value = 0;
  const auto result = std::from_chars(text, end, value);
  if (result.ec != std::errc() || result.ptr != end || value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace brenk::cli
