#include "apps/analysis/numbers.h"

#include "engine/play/score.h"

#include <charconv>

namespace brenk::cli {

std::string shortestFloat(float value) {
  char buffer[64];
  // Without a format, to_chars gives the shortest text that reads back as the same float.
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string proofNumberJson(infFloat number) { return number.inf ? "\"inf\"" : shortestFloat(number.value); }

std::string proofNumberText(infFloat number) { return number.inf ? "inf" : shortestFloat(number.value); }

std::string searchScoreText(int score) {
  if (play::isWin(score)) return "win in " + std::to_string(play::pliesToFive(score));
  if (play::isLoss(score)) return "loss in " + std::to_string(play::pliesToFive(score));
  std::string text = std::to_string(score);
  if (score > 0) text.insert(text.begin(), '+');
  return text;
}

}  // namespace brenk::cli
