#include "apps/serve/request.h"

#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

#include "engine/host/files.h"

namespace brenk::serve {

namespace {

using nlohmann::json;

bool knownKey(const std::string& key) {
  return key == "board" || key == "side" || key == "iterations" || key == "timeMs" || key == "threats";
}

// The rows go through brenk's own loader, so the position is the one analyze builds from the
// same plocha.dat; only "-", "x" and "o" are let through to it.
bool readBoardRows(const json& board, std::string& cells, std::string& error) {
  constexpr const char* kShape = "\"board\" must be an array of 20 strings of 20 characters";
  if (!board.is_array() || board.size() != SOB) {
    error = kShape;
    return false;
  }
  for (int row = 0; row < SOB; ++row) {
    const json& text = board[row];
    if (!text.is_string() || text.get_ref<const std::string&>().size() != SOB) {
      error = std::string(kShape) + " (row " + std::to_string(row) + " is not)";
      return false;
    }
    const std::string& line = text.get_ref<const std::string&>();
    for (int col = 0; col < SOB; ++col) {
      const char ch = line[col];
      if (ch != '-' && ch != 'x' && ch != 'o') {
        error = "board row " + std::to_string(row) + ", column " + std::to_string(col) +
                ": a cell is \"-\", \"x\" or \"o\"";
        return false;
      }
    }
    cells += line;
  }
  return true;
}

// A JSON integer within [0, max]; 1.0 or 1e3 are not whole numbers here, true is not a number.
bool readLimit(const json& body, const char* key, int64_t max, std::optional<int64_t>& into, std::string& error) {
  const auto it = body.find(key);
  if (it == body.end()) return true;
  const bool whole = it->is_number_integer();
  const bool inRange = whole && (it->is_number_unsigned() ? it->get<uint64_t>() <= static_cast<uint64_t>(max)
                                                          : it->get<int64_t>() >= 0 && it->get<int64_t>() <= max);
  if (!inRange) {
    error = "\"" + std::string(key) + "\" must be a whole number from 0 to " + std::to_string(max);
    return false;
  }
  into = it->get<int64_t>();
  return true;
}

}  // namespace

std::optional<DecideRequest> parseDecideRequest(std::string_view body, std::string& error) {
  json parsed;
  try {
    parsed = json::parse(body);
  } catch (const json::parse_error& e) {
    error = "the body is not valid JSON (at byte " + std::to_string(e.byte) + ")";
    return std::nullopt;
  }
  if (!parsed.is_object()) {
    error = "the body must be a JSON object";
    return std::nullopt;
  }
  for (const auto& [key, value] : parsed.items()) {
    if (!knownKey(key)) {
      error = "unknown key \"" + key + "\"";
      return std::nullopt;
    }
  }
  std::string cells;
  if (!readBoardRows(parsed.contains("board") ? parsed["board"] : json(), cells, error)) return std::nullopt;
  const auto side = parsed.find("side");
  if (side == parsed.end() || !side->is_string() || (*side != "x" && *side != "o")) {
    error = "\"side\" (the side to move) must be \"x\" or \"o\"";
    return std::nullopt;
  }
  DecideRequest request;
  if (!readLimit(parsed, "iterations", kMaxIterations, request.iterations, error) ||
      !readLimit(parsed, "timeMs", kMaxTimeMs, request.timeMs, error))
    return std::nullopt;
  if (request.iterations.has_value() == request.timeMs.has_value()) {
    error = "give exactly one limit: \"iterations\" or \"timeMs\"";
    return std::nullopt;
  }
  if (const auto threats = parsed.find("threats"); threats != parsed.end()) {
    if (!threats->is_boolean()) {
      error = "\"threats\" must be true or false";
      return std::nullopt;
    }
    request.threats = threats->get<bool>();
  }
  char ch = '-';
  std::istringstream boardIn(cells), symbolIn(side->get<std::string>());
  readBoard(boardIn, request.position, ch);
  readSymbol(symbolIn, request.position, ch);
  return request;
}

DriverOptions driverOptionsFor(const DecideRequest& request, const Clock& clock, std::ostream& diagnostics) {
  DriverOptions options;
  options.diagnostics = &diagnostics;
  options.threats = request.threats;
  SearchLimits& limits = options.limits;
  limits.clock = &clock;
  if (request.iterations) {
    limits.maxIterations = *request.iterations;
    limits.timeAllowanceMs = std::numeric_limits<int32_t>::max();
  } else {
    limits.timeAllowanceMs = static_cast<int32_t>(*request.timeMs);
  }
  return options;
}

}  // namespace brenk::serve
