// Number formats of the reports: proof numbers as the shortest decimal that reads back as the
// same single-precision float, so two tools print the same text for the same number.
#pragma once

#include <string>

#include "engine/position/inffloat.h"

namespace brenk::cli {

std::string shortestFloat(float value);
// A JSON value: the shortest decimal, or the string "inf".
std::string proofNumberJson(infFloat number);
// For people: the shortest decimal, or "inf".
std::string proofNumberText(infFloat number);
// An alpha-beta score for people: the evaluation with its sign ("+35", "-120", "0"), or a
// forced result as the plies to its five ("win in 5", "loss in 4").
std::string searchScoreText(int score);

}  // namespace brenk::cli
