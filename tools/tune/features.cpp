// brenk-features: what the threat-space mode's evaluation weighs at each training position's
// quiet leaf, for the tuner (tools/tune/tune.py).
//
//   brenk-features [--combinations FILE] < positions.txt > features.txt
//
// Reads tools/tune/dataset.py's lines (400 cells and the side to move's mean result). From each
// position it follows the quiescence search's best line (own fours, each answered by its only
// block) while a four gains over standing pat, and at that quiet leaf writes one line: the result
// for the leaf's side to move, 1 when that side is the first player (x) and 0 otherwise, then for
// that side ("own") the count of each line class over the four lines of every empty cell, of
// each shape, and of each pair of classes among a cell's lines, then the same for the other side
// ("their"). Positions that the fours alone decide say nothing about the evaluation and are
// skipped. Every written line is checked against the board's own evaluation sums (with the
// combination corrections that weights.h already holds).
//
// With --combinations, FILE gets a line for each written position: per side (own, then their,
// split by " |") how many empty cells have each combination of four base line classes (the
// ways of twos and threes not counted), as "abcd:count": the classes' digits (combinationDigit)
// in ascending order.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "engine/play/board.h"
#include "engine/play/cell_values.h"
#include "engine/play/search.h"
#include "engine/play/weights.h"
#include "tools/tune/load_board.h"

namespace {

using namespace brenk::play;

using brenk::tune::kSize;

inline constexpr int kMaxLeafFours = 12;

int quiescenceValue(Board& board) {
  PlayLimits limits;
  limits.useTable = false;
  limits.byClock = false;
  // The clock runs from the tool's start: with a turn's allowance, every probe long enough to
  // look at it after the first second would stop and return 0.
  limits.time = TurnTime{INT32_MAX, INT32_MAX, false};
  AlphaBeta probe(board, limits);
  return probe.quiescence(-kInfinity, kInfinity, 0);
}

int staticValue(Board& board) {
  PlayLimits limits;
  limits.useTable = false;
  return AlphaBeta(board, limits).evaluate();
}

// Blocks the other side's five, and plays the best line of own fours and their blocks while it
// gains over standing pat. False when the position is decided by force.
bool toQuietLeaf(Board& board) {
  for (int step = 0; step < kMaxLeafFours; ++step) {
    const int value = quiescenceValue(board);
    if (isWin(value) || isLoss(value)) return false;
    const int me = board.sideToMove();
    const std::vector<Cell> theirFives = board.cellsWithShape(1 - me, kFive);
    if (!theirFives.empty()) {
      board.play(theirFives.front());  // the only block: a second five would be a decided loss
      continue;
    }
    if (value == staticValue(board)) return true;
    Cell best = kNoMove;
    int bestValue = staticValue(board);
    board.forEachEmpty([&](Cell cell) {
      if (!makesFour(board.shape(me, cell))) return;
      board.play(cell);
      const std::vector<Cell> fives = board.cellsWithShape(me, kFive);
      if (fives.size() == 1) {
        board.play(fives.front());
        const int line = quiescenceValue(board);
        if (line > bestValue) bestValue = line, best = cell;
        board.undo();
      }
      board.undo();
    });
    if (best == kNoMove) return true;
    board.play(best);
    board.play(board.cellsWithShape(me, kFive).front());
  }
  return true;
}

struct RoleCounts {
  int lineClass[kLineClasses] = {};
  int shape[kShapes] = {};
  int pair[kClassPairs] = {};
};

RoleCounts countsOf(const Board& board, int colour) {
  RoleCounts counts;
  board.forEachEmpty([&](Cell cell) {
    for (int direction = 0; direction < kDirections; ++direction) {
      ++counts.lineClass[board.lineClassAt(colour, cell, direction)];
      for (int other = direction + 1; other < kDirections; ++other) {
        ++counts.pair[classPair(board.lineClassAt(colour, cell, direction), board.lineClassAt(colour, cell, other))];
      }
    }
  });
  for (int shape = 0; shape < kShapes; ++shape)
    counts.shape[shape] = board.shapeCount(colour, static_cast<Shape>(shape));
  return counts;
}

long weighted(const RoleCounts& counts, const RoleWeights& weights) {
  long sum = 0;
  for (int i = 0; i < kLineClasses; ++i) sum += long{counts.lineClass[i]} * weights.lineClass[i];
  for (int i = 0; i < kShapes; ++i) sum += long{counts.shape[i]} * weights.shape[i];
  for (int i = 0; i < kClassPairs; ++i) sum += long{counts.pair[i]} * weights.pair[i];
  return sum;
}

// The corrections kCombinations adds to the colour's empty cells, for one role.
long corrections(const Board& board, int colour, bool own) {
  long sum = 0;
  board.forEachEmpty([&](Cell cell) {
    if (const ClassCombination* entry = combinationOf(board.classQuadAt(colour, cell))) {
      sum += own ? entry->own : entry->their;
    }
  });
  return sum;
}

// A base class's digit in a combination's code: its rank among the base classes (kDead 0 to
// kF5 9, the names tools/tune/combinations.py reads). The enum itself runs past 9, since the
// twos and threes carry their ways, so its numbers cannot be the digits.
int combinationDigit(uint8_t cls) {
  int digit = 0;
  for (int lower = 0; lower < cls; ++lower) digit += baseClass(static_cast<LineClass>(lower)) == lower;
  return digit;
}

// Empty cells by the digits of their four base line classes, in the order kCombinations keys them.
std::map<int, int> combinationsOf(const Board& board, int colour) {
  std::map<int, int> counts;
  board.forEachEmpty([&](Cell cell) {
    uint8_t classes[kDirections];
    quadClasses(sortedBaseQuad(board.classQuadAt(colour, cell)), classes);
    int code = 0;
    for (uint8_t cls : classes) code = code * 10 + combinationDigit(cls);
    ++counts[code];
  });
  return counts;
}

void printCombinations(std::FILE* out, const Board& board, int me) {
  for (int role = 0; role < 2; ++role) {
    if (role == 1) std::fprintf(out, " |");
    for (const auto& [code, count] : combinationsOf(board, role == 0 ? me : 1 - me)) {
      std::fprintf(out, " %04d:%d", code, count);
    }
  }
  std::fprintf(out, "\n");
}

void print(const RoleCounts& counts) {
  for (int value : counts.lineClass) std::printf(" %d", value);
  for (int value : counts.shape) std::printf(" %d", value);
  for (int value : counts.pair) std::printf(" %d", value);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::FILE* combinations = nullptr;
  if (argc == 3 && std::strcmp(argv[1], "--combinations") == 0) {
    combinations = std::fopen(argv[2], "w");
    if (combinations == nullptr) {
      std::perror(argv[2]);
      return 1;
    }
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: brenk-features [--combinations FILE] < positions > features\n");
    return 2;
  }
  long read = 0, written = 0, decided = 0, bad = 0;
  std::string line;
  while (std::getline(std::cin, line)) {
    ++read;
    std::istringstream fields(line);
    std::string cells;
    double result = -1;
    Board board(kSize);
    if (!(fields >> cells >> result) || result < 0 || result > 1 || !brenk::tune::loadBoard(cells, board)) {
      ++bad;
      continue;
    }
    const int rootSide = board.sideToMove();
    if (!toQuietLeaf(board)) {
      ++decided;
      continue;
    }
    const int me = board.sideToMove();
    const RoleCounts own = countsOf(board, me), their = countsOf(board, 1 - me);
    if (weighted(own, kOwnValue) + corrections(board, me, true) != board.valueSum(kOwnRole, me) ||
        weighted(their, kTheirValue) + corrections(board, 1 - me, false) != board.valueSum(kTheirRole, 1 - me)) {
      std::fprintf(stderr, "brenk-features: counts disagree with the board's sums on line %ld\n", read);
      return 1;
    }
    std::printf("%g %d", me == rootSide ? result : 1 - result, me == 1 ? 1 : 0);
    print(own);
    print(their);
    std::printf("\n");
    if (combinations != nullptr) printCombinations(combinations, board, me);
    ++written;
  }
  if (combinations != nullptr && std::fclose(combinations) != 0) {
    std::perror("brenk-features");
    return 1;
  }
  std::fprintf(stderr, "brenk-features: %ld positions read, %ld written, %ld decided by fours, %ld malformed\n", read,
               written, decided, bad);
  return 0;
}
