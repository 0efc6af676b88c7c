// Derives the threat score and threat class tables from their rules, and the code lookup by
// neighbours from linePatternCode, once at start-up.
#include "engine/position/patterns.h"

#include <algorithm>

namespace brenk {

std::string windowOf(uint32_t code) {
  std::string window;
  if (code < 2) return window;
  int top = 31;
  while (!(code >> top & 1u)) --top;
  for (int bit = top - 1; bit >= 0; --bit) window += (code >> bit & 1u) ? 'x' : '.';
  return window;
}

uint32_t codeOf(const std::string& window) {
  uint32_t code = 1;
  for (char c : window) code = 2 * code + (c == 'x' ? 1 : 0);
  return code;
}

bool codeCanArise(uint32_t code) {
  const std::string w = windowOf(code);
  const int len = static_cast<int>(w.size());
  for (int p = 0; p < len; ++p) {
    if (w[p] == 'x' && p <= 4 && len - 1 - p <= 4) return true;
  }
  return false;
}

namespace {

int stonesIn(const std::string& w, size_t from, size_t count) {
  return static_cast<int>(std::count(w.begin() + from, w.begin() + from + count, 'x'));
}

// Largest number of own stones in any five consecutive cells; -1 when the window is shorter.
int bestFive(const std::string& w) {
  int best = -1;
  for (size_t i = 0; i + 5 <= w.size(); ++i) best = std::max(best, stonesIn(w, i, 5));
  return best;
}

bool hasFive(const std::string& w) { return w.find("xxxxx") != std::string::npos; }

int completionCells(const std::string& w) {
  int count = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    if (w[i] != '.') continue;
    std::string filled = w;
    filled[i] = 'x';
    if (hasFive(filled)) ++count;
  }
  return count;
}

// An empty cell (other than `except`) whose filling leaves two or more completion cells.
bool makesOpenFour(const std::string& w, size_t except = std::string::npos) {
  for (size_t i = 0; i < w.size(); ++i) {
    if (w[i] != '.' || i == except) continue;
    std::string filled = w;
    filled[i] = 'x';
    if (completionCells(filled) >= 2) return true;
  }
  return false;
}

// Some six consecutive cells that begin and end empty and hold exactly `stones` between.
bool hasFramedRun(const std::string& w, int stones) {
  for (size_t i = 0; i + 6 <= w.size(); ++i) {
    if (w[i] == '.' && w[i + 5] == '.' && stonesIn(w, i + 1, 4) == stones) return true;
  }
  return false;
}

bool contains(const std::string& w, const char* pattern) { return w.find(pattern) != std::string::npos; }

// Windows whose entries the engine has always used instead of what the rules would give:
// two broken threes that the rules rate as open threes, and fours whose extra three is ignored.
int32_t exceptionalEntry(uint32_t code) {
  switch (code) {
    case 427:  // x.x.x.xx
    case 469:  // xx.x.x.x
      return 255;
    case 695: case 727: case 823: case 855: case 919:
    case 979: case 981: case 982: case 985: case 986:
      return kFourScore;
    default:
      return -1;
  }
}

}  // namespace

int32_t threatScoreOfWindow(const std::string& w) {
  if (hasFive(w)) return kFiveScore;
  const int completions = completionCells(w);
  if (completions >= 2) return kOpenFourScore;
  if (completions == 1) {
    size_t completion = 0;
    for (size_t i = 0; i < w.size(); ++i) {
      std::string filled = w;
      if (filled[i] != '.') continue;
      filled[i] = 'x';
      if (hasFive(filled)) completion = i;
    }
    return makesOpenFour(w, completion) ? kFourThreeLineScore : kFourScore;
  }
  if (makesOpenFour(w)) return contains(w, "..xxx..") ? kWideOpenThreeScore : kOpenThreeScore;
  const int five = bestFive(w);
  if (five == 3) return 255;
  if (hasFramedRun(w, 2)) return contains(w, "...xx...") ? 254 : 252;
  if (five == 2) return 12;
  if (hasFramedRun(w, 1)) return contains(w, "....x....") ? 6 : 4;
  if (five == 1) return 2;
  return 0;
}

uint8_t threatClassOfWindow(const std::string& w) {
  if (w.size() < 5) return 5;
  return static_cast<uint8_t>(5 - bestFive(w));
}

namespace {

std::array<int32_t, 1024> buildScoreTable() {
  std::array<int32_t, 1024> table{};
  for (uint32_t code = 2; code < 1024; ++code) {
    const int32_t exception = exceptionalEntry(code);
    table[code] = exception >= 0 ? exception : threatScoreOfWindow(windowOf(code));
  }
  return table;
}

std::array<uint8_t, 1024> buildClassTable() {
  std::array<uint8_t, 1024> table{};
  table[0] = table[1] = 5;
  for (uint32_t code = 2; code < 1024; ++code) table[code] = threatClassOfWindow(windowOf(code));
  return table;
}

std::array<uint16_t, 512> buildSliceDigits() {
  std::array<uint16_t, 512> table{};
  for (uint32_t slice = 0; slice < 512; ++slice) {
    uint32_t weight = 1;
    for (int bit = 0; bit < 9; ++bit) {
      if (bit == 4) continue;
      if (slice >> bit & 1u) table[slice] = static_cast<uint16_t>(table[slice] + weight);
      weight *= 3;
    }
  }
  return table;
}

// The neighbours set out around a cell in the middle of a row, blocked ones as the other
// player's stones (which end a window just as the edge does).
std::array<uint16_t, 6561> buildNeighbourCodes() {
  std::array<uint16_t, 6561> table{};
  int32_t cells[SOB][SOB];
  for (auto& row : cells) std::fill(std::begin(row), std::end(row), kEmpty);
  for (uint32_t index = 0; index < 6561; ++index) {
    uint32_t rest = index;
    for (int bit = 0; bit < 9; ++bit) {
      if (bit == 4) continue;
      const uint32_t digit = rest % 3;
      rest /= 3;
      cells[10][10 + 4 - bit] = digit == 0 ? kEmpty : digit == 1 ? kStoneX : kStoneO;
    }
    table[index] = static_cast<uint16_t>(linePatternCode(cells, 10, 10, kLines[1], kStoneX, kStoneO));
  }
  return table;
}

}  // namespace

const std::array<uint16_t, 512> sliceDigits = buildSliceDigits();
const std::array<uint16_t, 6561> neighbourCodeTable = buildNeighbourCodes();
const std::array<int32_t, 1024> threatScoreTable = buildScoreTable();
const std::array<uint8_t, 1024> threatClassTable = buildClassTable();

}  // namespace brenk
