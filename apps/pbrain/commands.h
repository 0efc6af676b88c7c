// Reading the manager's lines: the command word and its numbers, forgiving about case, CR LF
// line ends and spaces, strict about the numbers themselves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brenk::pbrain {

struct CommandLine {
  std::string word;  // upper case; empty for a blank line
  std::string rest;  // everything after the word, trimmed
};

std::string trim(const std::string& text);
std::string upperCase(std::string text);
CommandLine splitCommand(const std::string& line);

// Exactly `count` comma-separated integers ("10,4", " 10 , 4 ", "3,5,1"); nothing on failure.
std::optional<std::vector<int64_t>> parseNumbers(const std::string& text, size_t count);

}  // namespace brenk::pbrain
