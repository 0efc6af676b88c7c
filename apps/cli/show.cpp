// brenk-cli show DIR: the position of a game directory, and the move "tah.dat" holds if brenk has
// already answered.
#include <iostream>
#include <memory>
#include <string>

#include "apps/analysis/board_view.h"
#include "apps/analysis/game_dir.h"
#include "apps/cli/commands.h"
#include "apps/command_line.h"

namespace brenk::cli {

namespace {

struct StoneCounts {
  int x = 0;
  int o = 0;
};

StoneCounts countStones(const Position& pos) {
  StoneCounts counts;
  for (const auto& row : pos.cells) {
    for (int32_t cell : row) {
      if (cell == kStoneX) ++counts.x;
      if (cell == kStoneO) ++counts.o;
    }
  }
  return counts;
}

// Once brenk has answered, "tah.dat" no longer names the side; the stone counts can still tell.
std::string sideToMove(const GameDir& game, const StoneCounts& counts) {
  if (!game.moveInFile) return std::string(1, stoneChar(game.position.toMove)) + " to move";
  if (counts.x < counts.o) return "x to move (fewer stones)";
  if (counts.o < counts.x) return "o to move (fewer stones)";
  return "side to move unknown (tah.dat holds a move, equal stone counts)";
}

void describe(std::ostream& out, const GameDir& game) {
  const StoneCounts counts = countStones(game.position);
  out << sideToMove(game, counts) << "; stones: x " << counts.x << ", o " << counts.o << '\n';
  if (game.moveInFile) {
    const Cell move = *game.moveInFile;
    out << "tah.dat holds the move " << move.col << ',' << move.row << " (column " << move.col << ", row " << move.row
        << "), shown in brackets on the board\n";
  }
}

int runShow(const std::string& dir) {
  std::string error;
  const auto game = loadGameDir(dir, error);
  if (!game) {
    std::cerr << "brenk-cli show: " << error << '\n';
    return kExitBadInput;
  }
  for (const std::string& warning : game->warnings) std::cerr << "brenk-cli show: warning: " << warning << '\n';
  BoardStyle style;
  style.colour = stdoutIsTerminal();
  if (game->moveInFile) style.marks.push_back(*game->moveInFile);
  drawBoard(std::cout, game->position, style);
  describe(std::cout, *game);
  return kExitOk;
}

}  // namespace

Command addShow(CLI::App& cli) {
  CLI::App* command = cli.add_subcommand("show", "draw the position of a game directory");
  auto dir = std::make_shared<std::string>();
  command->add_option("DIR", *dir, "game directory: plocha.dat, tah.dat")->required();
  return {command, [dir] { return runShow(*dir); }};
}

}  // namespace brenk::cli
