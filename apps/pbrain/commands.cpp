// Lines from the manager may end in CR LF, carry stray spaces and come in any case.
#include "apps/pbrain/commands.h"

#include <cctype>
#include <charconv>

namespace brenk::pbrain {

std::string trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string upperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

CommandLine splitCommand(const std::string& line) {
  const std::string text = trim(line);
  size_t wordEnd = 0;
  while (wordEnd < text.size() && !std::isspace(static_cast<unsigned char>(text[wordEnd]))) ++wordEnd;
  return {upperCase(text.substr(0, wordEnd)), trim(text.substr(wordEnd))};
}

std::optional<std::vector<int64_t>> parseNumbers(const std::string& text, size_t count) {
  std::vector<int64_t> numbers;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    const std::string field = trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    int64_t value = 0;
    const char* first = field.data();
    const char* last = first + field.size();
    if (!field.empty() && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (field.empty() || error != std::errc() || end != last) return std::nullopt;
    numbers.push_back(value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (numbers.size() != count) return std::nullopt;
  return numbers;
}

}  // namespace brenk::pbrain
