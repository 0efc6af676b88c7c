// Hostile manager files pushed through the loader and the whole driver, in the exact mode and in
// the threat-space mode, and the property every run must keep: whenever the board has an empty
// cell, the move lands on one. Shared by the libFuzzer target and the corpus replay test, so both
// judge a run the same way.
#pragma once

#include <cstddef>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/host/clock.h"
#include "engine/host/driver.h"
#include "engine/host/files.h"
#include "engine/host/move_sink.h"
#include "engine/position/position.h"

namespace brenk::fuzz {

// The three working files; an absent one stands for a file the manager did not write.
struct FuzzFiles {
  std::optional<std::string> board;   // plocha.dat
  std::optional<std::string> symbol;  // tah.dat
  std::optional<std::string> config;  // brenk.cfg
};

struct MoveCheck {
  bool loaded = false;         // board and symbol were both read
  bool boardHasEmpty = false;  // a legal move exists
  bool hasMove = false;
  int row = -1;
  int col = -1;
  bool escapedError = false;  // an error reached what would be brenk's outer guard
  bool legal = true;          // the property held
};

inline constexpr char kFileSeparator = '\0';
// Small enough that a fuzz input runs in milliseconds, large enough for a few node chunks (and,
// in the threat-space mode, for a few thousand alpha-beta nodes and fixed solver caps).
inline constexpr int64_t kFuzzIterations = 30;
inline constexpr size_t kFuzzTreeBudget = size_t{12} << 20;

// Board, then symbol, then configuration, separated by NUL bytes; the files after the last
// separator are missing, so inputs without separators cover the missing-file paths as well.
inline FuzzFiles splitFuzzInput(std::string_view bytes) {
  FuzzFiles files;
  std::optional<std::string>* slots[] = {&files.board, &files.symbol, &files.config};
  size_t start = 0;
  for (size_t i = 0; i < 3; ++i) {
    const size_t end = i < 2 ? bytes.find(kFileSeparator, start) : std::string_view::npos;
    *slots[i] = std::string(bytes.substr(start, end == std::string_view::npos ? bytes.size() - start : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return files;
}

inline bool hasEmptyCell(const Position& pos) {
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) {
      if (pos.cells[row][col] == kEmpty) return true;
    }
  }
  return false;
}

// Loads as loadPositionFrom does (one character variable for board and symbol, '-' at start).
inline bool loadFuzzFiles(const FuzzFiles& files, Position& pos, int32_t& allowance) {
  char ch = '-';
  if (!files.board) return false;
  std::istringstream board(*files.board);
  readBoard(board, pos, ch);
  if (!files.symbol) return false;
  std::istringstream symbol(*files.symbol);
  readSymbol(symbol, pos, ch);
  if (files.config) {
    std::istringstream config(*files.config);
    readAllowance(config, allowance);
  }
  return true;
}

// `threats`: the decision goes to the threat-space mode, as pbrain-brenk-threats would take it.
inline MoveCheck runAndCheck(const FuzzFiles& files, bool threats = false) {
  MoveCheck check;
  Position pos;
  int32_t allowance = kDefaultTimeAllowance;
  check.loaded = loadFuzzFiles(files, pos, allowance);
  if (!check.loaded) return check;
  const Position loaded = pos;
  check.boardHasEmpty = hasEmptyCell(loaded);

  RecordingSink sink;
  std::ostringstream diagnostics;
  const Clock clock;  // each input gets its own allowance, whatever ran before it
  DriverOptions options;
  options.diagnostics = &diagnostics;
  options.limits.timeAllowanceMs = allowance;
  options.limits.clock = &clock;
  options.limits.maxIterations = kFuzzIterations;
  options.limits.memoryBudget = kFuzzTreeBudget;
  options.threats = threats;
  try {
    decideMove(pos, sink, options);
  } catch (...) {
    check.escapedError = true;
  }
  check.hasMove = sink.hasMove();
  check.row = sink.row();
  check.col = sink.col();
  if (check.boardHasEmpty) {
    check.legal = check.hasMove && onBoard(check.row, check.col) && loaded.cells[check.row][check.col] == kEmpty;
  }
  return check;
}

inline bool runPasses(const MoveCheck& check) { return check.legal && !check.escapedError; }

}  // namespace brenk::fuzz
