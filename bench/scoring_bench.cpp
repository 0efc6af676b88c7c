// brenk-scoring-bench: the cost of scoring one search child (copy, makeMove, rescoreAround,
// findBestCells) on positions from random games, for the engine's scoring and for the previous
// full-rescoring version kept here for comparison. Figures are printed, never asserted; the two
// versions must leave identical records, and a difference ends the run with status 1.
//   brenk-scoring-bench [--rounds N] [--games G] [--only previous|current]
// --only runs the child pipeline once for one version, for instruction counts under callgrind
// (valgrind --tool=callgrind brenk-scoring-bench --only current).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/position/patterns.h"
#include "engine/position/position.h"
#include "engine/position/scoring.h"

namespace brenk {
namespace previous {

// The scoring as it was before rescoreAround became incremental. Not inlined, as the engine's
// functions are not either, so that callgrind counts each by itself.
[[gnu::noinline]] void scoreCell(Position& pos, int8_t row, int8_t col, int32_t own, int32_t other) {
  uint32_t sum = 0;
  for (const LineDirection& dir : kLines) {
    sum += static_cast<uint32_t>(threatScoreTable[linePatternCode(pos.cells, row, col, dir, own, other)]);
  }
  pos.scores[own][row][col] += sum;
}

void rescoreCell(Position& pos, int8_t row, int8_t col) {
  if (pos.cells[row][col] == kEmpty) {
    pos.scores[0][row][col] = 1;
    pos.scores[1][row][col] = 1;
    previous::scoreCell(pos, row, col, pos.toMove, pos.opponent);
    previous::scoreCell(pos, row, col, pos.opponent, pos.toMove);
  } else {
    pos.scores[0][row][col] = 0;
    pos.scores[1][row][col] = 0;
  }
}

void rescoreIfEmpty(Position& pos, int row, int col) {
  if (pos.cells[row][col] == kEmpty) previous::rescoreCell(pos, static_cast<int8_t>(row), static_cast<int8_t>(col));
}

[[gnu::noinline]] void rescoreAround(Position& pos, int8_t row, int8_t col) {
  for (int r = std::max(0, row - 4); r <= std::min(SOB - 1, row + 4); ++r) rescoreIfEmpty(pos, r, col);
  for (int c = std::max(0, col - 4); c <= std::min(SOB - 1, col + 4); ++c) rescoreIfEmpty(pos, row, c);
  const int back = std::min({4, static_cast<int>(row), static_cast<int>(col)});
  const int ahead = std::min({4, SOB - 1 - row, SOB - 1 - col});
  for (int d = -back; d <= ahead; ++d) rescoreIfEmpty(pos, row + d, col + d);
  for (int d = -4; d <= 4; ++d) {
    if (onBoard(row - d, col + d)) rescoreIfEmpty(pos, row - d, col + d);
  }
}

[[gnu::noinline]] void findBestCells(Position& pos) {
  pos.bestOwnScore = 0;
  pos.bestOppScore = 0;
  pos.bestMixScore = 0;
  for (int8_t row = pos.minRow; row <= pos.maxRow; ++row) {
    for (int8_t col = pos.minCol; col <= pos.maxCol; ++col) {
      if (pos.cells[row][col] != kEmpty) continue;
      const uint32_t own = pos.scores[pos.toMove][row][col];
      const uint32_t opp = pos.scores[pos.opponent][row][col];
      const uint32_t mix = MC * own + opp;
      if (own >= pos.bestOwnScore) {
        pos.bestOwnScore = own;
        pos.bestOwnRow = row;
        pos.bestOwnCol = col;
      }
      if (opp >= pos.bestOppScore) {
        pos.bestOppScore = opp;
        pos.bestOppRow = row;
        pos.bestOppCol = col;
      }
      if (mix >= pos.bestMixScore) {
        pos.bestMixScore = mix;
        pos.bestMixRow = row;
        pos.bestMixCol = col;
      }
    }
  }
}

}  // namespace previous

namespace {

struct Child {
  int parent;
  int8_t row;
  int8_t col;
};

struct Workload {
  std::vector<Position> parents;
  std::vector<Child> children;
};

Position emptyBoard(int32_t toMove) {
  Position pos;
  for (auto& row : pos.cells) std::fill(std::begin(row), std::end(row), kEmpty);
  pos.minRow = pos.minCol = 8;
  pos.maxRow = pos.maxCol = 11;
  pos.toMove = toMove;
  pos.opponent = 1 - toMove;
  rescoreAll(pos);
  findBestCells(pos);
  return pos;
}

// Games that mostly follow the best mix cell, so threats build up; every position of a game is a
// parent, and its children are the box cells the general candidate rule would try.
Workload makeWorkload(int games) {
  std::mt19937 rng(4242);
  Workload work;
  for (int game = 0; game < games; ++game) {
    Position pos = emptyBoard(game % 2 ? kStoneX : kStoneO);
    const int length = std::uniform_int_distribution<int>(20, 140)(rng);
    for (int ply = 0; ply < length; ++ply) {
      std::vector<std::pair<int, int>> box, good;
      for (int r = pos.minRow; r <= pos.maxRow; ++r) {
        for (int c = pos.minCol; c <= pos.maxCol; ++c) {
          if (pos.cells[r][c] != kEmpty) continue;
          box.push_back({r, c});
          if (mixScore(pos, r, c) >= pos.bestMixScore / 2) good.push_back({r, c});
        }
      }
      if (box.empty()) break;
      const int parent = static_cast<int>(work.parents.size());
      work.parents.push_back(pos);
      std::shuffle(good.begin(), good.end(), rng);
      for (size_t i = 0; i < std::min<size_t>(good.size(), 16); ++i) {
        work.children.push_back({parent, static_cast<int8_t>(good[i].first), static_cast<int8_t>(good[i].second)});
      }
      auto move = std::uniform_int_distribution<int>(0, 3)(rng) == 0
                      ? box[std::uniform_int_distribution<size_t>(0, box.size() - 1)(rng)]
                      : std::pair<int, int>{pos.bestMixRow, pos.bestMixCol};
      makeMove(pos, static_cast<int8_t>(move.first), static_cast<int8_t>(move.second));
      rescoreAround(pos, pos.lastRow, pos.lastCol);
      findBestCells(pos);
    }
  }
  return work;
}

// How far one child goes: 0 copy and makeMove, 1 also rescoreAround, 2 also findBestCells.
template <bool Current>
uint64_t runChildren(const Workload& work, int depth) {
  uint64_t sum = 0;
  Position child;
  for (const Child& c : work.children) {
    std::memcpy(&child, &work.parents[c.parent], sizeof child);
    makeMove(child, c.row, c.col);
    if (depth >= 1) {
      if constexpr (Current) {
        rescoreAround(child, c.row, c.col);
      } else {
        previous::rescoreAround(child, c.row, c.col);
      }
    }
    if (depth >= 2) {
      if constexpr (Current) {
        findBestCells(child);
      } else {
        previous::findBestCells(child);
      }
    }
    sum += child.bestMixScore + child.bestOwnRow + child.scores[0][c.row ^ 1][c.col];
  }
  return sum;
}

// Fastest of `rounds` runs, in nanoseconds per child.
template <bool Current>
double timeChildren(const Workload& work, int depth, int rounds, uint64_t& sink) {
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    sink += runChildren<Current>(work, depth);
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count() / static_cast<double>(work.children.size()));
  }
  return best;
}

bool sameScoring(const Position& a, const Position& b) {
  return std::memcmp(a.scores, b.scores, sizeof a.scores) == 0 && a.bestOwnScore == b.bestOwnScore &&
         a.bestOppScore == b.bestOppScore && a.bestMixScore == b.bestMixScore && a.bestOwnRow == b.bestOwnRow &&
         a.bestOwnCol == b.bestOwnCol && a.bestOppRow == b.bestOppRow && a.bestOppCol == b.bestOppCol &&
         a.bestMixRow == b.bestMixRow && a.bestMixCol == b.bestMixCol;
}

int mismatches(const Workload& work) {
  int count = 0;
  for (const Child& c : work.children) {
    Position a = work.parents[c.parent], b = a;
    makeMove(a, c.row, c.col);
    makeMove(b, c.row, c.col);
    rescoreAround(a, c.row, c.col);
    findBestCells(a);
    previous::rescoreAround(b, c.row, c.col);
    previous::findBestCells(b);
    if (!sameScoring(a, b)) ++count;
  }
  return count;
}

long long option(int argc, char** argv, const std::string& flag, long long fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (flag == argv[i]) return std::atoll(argv[i + 1]);
  }
  return fallback;
}

std::string textOption(int argc, char** argv, const std::string& flag) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (flag == argv[i]) return argv[i + 1];
  }
  return "";
}

}  // namespace
}  // namespace brenk

int main(int argc, char** argv) {
  using namespace brenk;
  const int rounds = static_cast<int>(option(argc, argv, "--rounds", 15));
  const int games = static_cast<int>(option(argc, argv, "--games", 60));
  const std::string only = textOption(argc, argv, "--only");
  const Workload work = makeWorkload(games);
  uint64_t sink = 0;
  if (only == "previous" || only == "current") {
    sink = only == "current" ? runChildren<true>(work, 2) : runChildren<false>(work, 2);
    std::printf("%zu children, checksum %llu\n", work.children.size(), static_cast<unsigned long long>(sink));
    return 0;
  }
  if (!only.empty()) {
    std::fprintf(stderr, "usage: brenk-scoring-bench [--rounds N] [--games G] [--only previous|current]\n");
    return 2;
  }
  const int wrong = mismatches(work);
  std::printf("%zu parents, %zu children, %d differing records\n", work.parents.size(), work.children.size(), wrong);
  double t[2][3];
  for (int depth = 0; depth < 3; ++depth) {
    t[0][depth] = timeChildren<false>(work, depth, rounds, sink);
    t[1][depth] = timeChildren<true>(work, depth, rounds, sink);
  }
  std::printf("ns per child          previous   current   speed-up\n");
  const char* names[3] = {"copy + makeMove", "rescoreAround", "findBestCells"};
  for (int depth = 0; depth < 3; ++depth) {
    const double a = depth == 0 ? t[0][0] : t[0][depth] - t[0][depth - 1];
    const double b = depth == 0 ? t[1][0] : t[1][depth] - t[1][depth - 1];
    std::printf("%-18s %10.1f %9.1f %9.2fx\n", names[depth], a, b, a / b);
  }
  std::printf("%-18s %10.1f %9.1f %9.2fx\n", "whole child", t[0][2], t[1][2], t[0][2] / t[1][2]);
  std::printf("(checksum %llu)\n", static_cast<unsigned long long>(sink % 1000));
  return wrong == 0 ? 0 : 1;
}
