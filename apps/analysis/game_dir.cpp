#include "apps/analysis/game_dir.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/host/files.h"

namespace brenk::cli {

namespace {

std::string readWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t countCellCharacters(const std::string& text) {
  size_t count = 0;
  for (unsigned char ch : text) {
    if (!std::isspace(ch)) ++count;
  }
  return count;
}

// brenk accepts these silently; a person analysing the directory should know.
void collectWarnings(const std::filesystem::path& dir, GameDir& game) {
  const size_t cells = countCellCharacters(readWhole(dir / "plocha.dat"));
  if (cells < SOB * SOB) {
    game.warnings.push_back("plocha.dat holds " + std::to_string(cells) +
                            " cell characters, fewer than 400: the last one read fills the rest, as in brenk");
  }
  const std::string moveText = readWhole(dir / "tah.dat");
  game.moveInFile = parseMoveText(moveText);
  if (countCellCharacters(moveText) == 0) {
    game.warnings.push_back("tah.dat is empty: the side to move follows the last board character, as in brenk");
  }
}

int parseCoordinate(std::istringstream& in) {
  int value = -1;
  if (!(in >> value)) return -1;
  return value;
}

}  // namespace

std::optional<Cell> parseMoveText(const std::string& text) {
  if (text.find(',') == std::string::npos) return std::nullopt;
  for (unsigned char ch : text) {
    if (!std::isdigit(ch) && !std::isspace(ch) && ch != ',') return std::nullopt;
  }
  std::istringstream in(text);
  const int col = parseCoordinate(in);
  char comma = 0;
  if (!(in >> comma) || comma != ',') return std::nullopt;
  const int row = parseCoordinate(in);
  std::string rest;
  if (in >> rest) return std::nullopt;
  if (!onBoard(row, col)) return std::nullopt;
  return Cell{row, col};
}

std::optional<GameDir> loadGameDir(const std::filesystem::path& dir, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    std::ostringstream reason;
    reason << '"' << dir.string() << "\" is not a directory";
    error = reason.str();
    return std::nullopt;
  }
  GameDir game;
  game.allowance = kDefaultTimeAllowance;
  std::ostringstream messages;
  if (!loadPositionFrom(dir, game.position, game.allowance, messages)) {
    std::string message = messages.str();
    while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back()))) message.pop_back();
    std::ostringstream reason;
    reason << message << " (in \"" << dir.string() << "\")";
    error = reason.str();
    return std::nullopt;
  }
  collectWarnings(dir, game);
  return game;
}

}  // namespace brenk::cli
