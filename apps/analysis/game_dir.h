// A game directory as the tool reads it: the same loader as brenk, plus what a person needs to
// hear about (a missing directory, a short board, a move already in "tah.dat"). Nothing is written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/position/position.h"

namespace brenk::cli {

struct Cell {
  int row = 0;
  int col = 0;
};

struct GameDir {
  Position position;               // as loadPositionFrom leaves it: unscored
  int32_t allowance = 0;           // from "brenk.cfg", or brenk's default
  std::optional<Cell> moveInFile;  // "tah.dat" already holds a move (column,row)
  std::vector<std::string> warnings;
};

// Loads `dir`; on failure returns nothing and puts the reason in `error`.
std::optional<GameDir> loadGameDir(const std::filesystem::path& dir, std::string& error);

// A move file holding "column,row" (blanks around allowed), both 0..19.
std::optional<Cell> parseMoveText(const std::string& text);

}  // namespace brenk::cli
