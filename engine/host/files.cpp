#include "engine/host/files.h"

#include <fstream>
#include <iostream>
#include <limits>
#include <string>

namespace brenk {

int32_t timeAllowance = kDefaultTimeAllowance;

namespace {

// The box starts inverted (10/9) and is grown by the stones, so it never shrinks below 8..11.
void growBox(Position& pos, int8_t row, int8_t col) {
  if (col < pos.minCol) {
    pos.minCol = col;
  } else if (col > pos.maxCol) {
    pos.maxCol = col;
  }
  if (row < pos.minRow) {
    pos.minRow = row;
  } else if (row > pos.maxRow) {
    pos.maxRow = row;
  }
}

// Binary mode, so that every system reads the same bytes: the Windows C runtime's text mode would
// end the file at a Ctrl-Z. Line ends need no translation, as the readers skip CR like any blank.
// A directory is refused as a file that cannot be opened: Windows refuses it, Linux would open it
// and read nothing, and the two builds must agree.
bool openInput(std::ifstream& in, const std::filesystem::path& file) {
  std::error_code ignored;
  if (std::filesystem::is_directory(file, ignored)) return false;
  in.open(file, std::ios::in | std::ios::binary);
  return static_cast<bool>(in);
}

int8_t clampToBoard(int value) { return static_cast<int8_t>(value < 0 ? 0 : value > SOB - 1 ? SOB - 1 : value); }

}  // namespace

void readBoard(std::istream& in, Position& pos, char& ch) {
  pos.stoneCount = 0;
  for (int8_t row = 0; row < SOB; ++row) {
    for (int8_t col = 0; col < SOB; ++col) {
      in >> ch;  // a read past the end keeps the last character, which then repeats
      if (ch == '-') {
        pos.cells[row][col] = kEmpty;
        continue;
      }
      pos.cells[row][col] = ch == 'x' ? kStoneX : kStoneO;
      ++pos.stoneCount;
      growBox(pos, row, col);
    }
  }
  pos.minCol = clampToBoard(pos.minCol - 2);
  pos.minRow = clampToBoard(pos.minRow - 2);
  pos.maxCol = clampToBoard(pos.maxCol + 2);
  pos.maxRow = clampToBoard(pos.maxRow + 2);
}

void readSymbol(std::istream& in, Position& pos, char& ch) {
  in >> ch;
  if (ch == 'o') {
    pos.toMove = kStoneO;
    pos.opponent = kStoneX;
  } else {
    pos.toMove = kStoneX;
    pos.opponent = kStoneO;
  }
}

void readAllowance(std::istream& in, int32_t& allowance) {
  std::string token;
  if (!(in >> token)) return;
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(token, &used, 10);
  } catch (...) {
    return;
  }
  if (used == 0 || value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return;
  allowance = static_cast<int32_t>(value);
}

bool loadPositionFrom(const std::filesystem::path& dir, Position& pos, int32_t& allowance, std::ostream& messages) {
  char ch = '-';  // a board file with no character at all loads as an empty board
  {
    std::ifstream board;
    if (!openInput(board, dir / "plocha.dat")) {
      messages << "Nemohu otevrit soubor plocha.dat!" << std::endl;
      return false;
    }
    readBoard(board, pos, ch);
  }
  {
    std::ifstream symbol;
    if (!openInput(symbol, dir / "tah.dat")) {
      messages << "Nemohu otevrit soubor tah.dat!" << std::endl;
      return false;
    }
    readSymbol(symbol, pos, ch);
  }
  std::ifstream config;
  if (openInput(config, dir / "brenk.cfg")) readAllowance(config, allowance);
  return true;
}

bool LoadPosition(Position& pos) { return loadPositionFrom(".", pos, timeAllowance, std::cout); }

void writeMoveFile(const std::filesystem::path& file, int row, int col) {
  std::ofstream out(file, std::ios::out | std::ios::trunc);
  if (!out) return;
  out << col << ',' << row;
}

void WriteMove(int16_t row, int16_t col) { writeMoveFile("tah.dat", row, col); }

}  // namespace brenk
