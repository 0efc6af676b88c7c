// Reading the numeric options of the subcommands: whole decimal numbers in a range, nothing else.
#pragma once

#include <cstdint>
#include <optional>

namespace brenk::cli {

std::optional<int64_t> parseWholeNumber(const char* text, int64_t min, int64_t max);

}  // namespace brenk::cli
