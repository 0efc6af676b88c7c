// Cell scores from the threat score table. A move changes only the lines through it, so
// rescoreAround moves each reached cell's score by the change of that one line's entry. Lines are
// read once into bit masks and their codes looked up by neighbours (patterns.h), not walked.
#include "engine/position/scoring.h"

#include <algorithm>
#include <bit>

#include "engine/position/patterns.h"

namespace brenk {

namespace {

uint32_t entryOf(uint32_t code) { return static_cast<uint32_t>(threatScoreTable[code]); }

// Steps j with |j| <= reach from (row, col) along `dir` that stay on the board.
struct StepRange {
  int lo;
  int hi;
};

StepRange onBoardSteps(int row, int col, LineDirection dir, int reach) {
  int lo = -reach, hi = reach;
  if (dir.dRow > 0) lo = std::max(lo, -row), hi = std::min(hi, SOB - 1 - row);
  if (dir.dCol > 0) lo = std::max(lo, -col), hi = std::min(hi, SOB - 1 - col);
  if (dir.dCol < 0) lo = std::max(lo, col - (SOB - 1)), hi = std::min(hi, col);
  return {lo, hi};
}

// Bits 0, 2, 4, ... of x moved to bits 0, 1, 2, ...
uint32_t evenBits(uint64_t x) {
  x &= 0x5555555555555555u;
  x = (x | x >> 1) & 0x3333333333333333u;
  x = (x | x >> 2) & 0x0F0F0F0F0F0F0F0Fu;
  x = (x | x >> 4) & 0x00FF00FF00FF00FFu;
  x = (x | x >> 8) & 0x0000FFFF0000FFFFu;
  x = (x | x >> 16) & 0x00000000FFFFFFFFu;
  return static_cast<uint32_t>(x);
}

// The line through (row, col), Reach cells each way, as masks: bit Reach - j for the cell j steps
// along the line, so bit Reach is (row, col) and the near side has the higher bits, as in the
// slices of patterns.h.
struct LineCells {
  uint32_t stones[2];  // by stone value
  uint32_t empty;
  uint32_t off;  // off the board
};

// One pass of two bits per cell: cells hold 0, 1 or kEmpty (2), so the low bit marks x's stones
// and the high bit the empty cells.
static_assert(kStoneO == 0 && kStoneX == 1 && kEmpty == 2);
template <int Reach>
LineCells readLine(const int32_t (&cells)[SOB][SOB], int row, int col, LineDirection dir) {
  const StepRange steps = onBoardSteps(row, col, dir, Reach);
  uint64_t packed = 0;
  for (int j = steps.lo; j <= steps.hi; ++j) {
    packed = packed << 2 | static_cast<uint32_t>(cells[row + j * dir.dRow][col + j * dir.dCol]);
  }
  packed <<= 2 * (Reach - steps.hi);
  const uint32_t onBoard = ((2u << (steps.hi - steps.lo)) - 1) << (Reach - steps.hi);
  LineCells line;
  line.stones[kStoneX] = evenBits(packed);
  line.empty = evenBits(packed >> 1);
  line.stones[kStoneO] = onBoard & ~(line.stones[kStoneX] | line.empty);
  line.off = ~onBoard;
  return line;
}

}  // namespace

void scoreCell(Position& pos, int8_t row, int8_t col, int32_t own, int32_t other) {
  uint32_t sum = 0;
  for (const LineDirection& dir : kLines) sum += entryOf(linePatternCode(pos.cells, row, col, dir, own, other));
  pos.scores[own][row][col] += sum;
}

void rescoreCell(Position& pos, int8_t row, int8_t col) {
  if (pos.cells[row][col] != kEmpty) {
    pos.scores[0][row][col] = 0;
    pos.scores[1][row][col] = 0;
    return;
  }
  uint32_t sum[2] = {1, 1};
  for (const LineDirection& dir : kLines) {
    const LineCells line = readLine<4>(pos.cells, row, col, dir);
    const uint32_t stonesO = line.stones[kStoneO] & 511u;
    const uint32_t stonesX = line.stones[kStoneX] & 511u;
    const uint32_t off = line.off & 511u;
    sum[kStoneO] += entryOf(neighbourCodeTable[neighbourIndex(stonesO, stonesX | off)]);
    sum[kStoneX] += entryOf(neighbourCodeTable[neighbourIndex(stonesX, stonesO | off)]);
  }
  pos.scores[0][row][col] = sum[0];
  pos.scores[1][row][col] = sum[1];
}

void rescoreAll(Position& pos) {
  for (int8_t row = 0; row < SOB; ++row) {
    for (int8_t col = 0; col < SOB; ++col) rescoreCell(pos, row, col);
  }
}

void rescoreAround(Position& pos, int8_t row, int8_t col) {
  const int32_t mover = pos.cells[row][col];
  if (mover != kStoneO && mover != kStoneX) return;  // no stone, so no change
  const int32_t other = 1 - mover;
  // Each line through the move, 8 cells each way: the move is bit 8, the cells it reaches are
  // bits 4..7 and 9..12, and their slices lie within bits 0..16.
  constexpr uint32_t kMove = 1u << 8;
  constexpr uint32_t kReached = 0x1EF0u;
  for (const LineDirection& dir : kLines) {
    const LineCells line = readLine<8>(pos.cells, row, col, dir);
    // The masks before the move, when its cell was empty.
    const uint32_t moverStones = line.stones[mover] & ~kMove;
    const uint32_t moverBlocked = line.stones[other] | line.off;
    const uint32_t otherStones = line.stones[other];
    const uint32_t otherBlocked = moverStones | line.off;
    for (uint32_t cells = line.empty & kReached; cells != 0; cells &= cells - 1) {
      const int s = std::countr_zero(cells);
      const int r = row + (8 - s) * dir.dRow;
      const int c = col + (8 - s) * dir.dCol;
      // The move is one neighbour digit of this cell's slice: 0 (empty) before, and after it
      // 1 (own) for the mover, 2 (blocked) for the other player.
      const int shift = s - 4;
      const uint32_t moveDigit = sliceDigits[kMove >> shift];
      const uint32_t moverIndex = neighbourIndex(moverStones >> shift & 511u, moverBlocked >> shift & 511u);
      const uint32_t otherIndex = neighbourIndex(otherStones >> shift & 511u, otherBlocked >> shift & 511u);
      pos.scores[mover][r][c] +=
          entryOf(neighbourCodeTable[moverIndex + moveDigit]) - entryOf(neighbourCodeTable[moverIndex]);
      pos.scores[other][r][c] +=
          entryOf(neighbourCodeTable[otherIndex + 2 * moveDigit]) - entryOf(neighbourCodeTable[otherIndex]);
    }
  }
}

namespace {

// The scan as the rule states it: row-major over the box, empty cells only, >= for each best.
void scanBestCells(Position& pos) {
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

}  // namespace

void findBestCells(Position& pos) {
  const auto& own = pos.scores[pos.toMove];
  const auto& opp = pos.scores[pos.opponent];
  // First the best own, opponent and mix score of each row, with occupied cells and cells outside
  // the box masked to 0 (whole rows, a fixed length the compiler vectorises), and the last row
  // holding each best, as the >= rule picks the last cell scanned among equal ones. Scores below
  // 2^28 keep the mix below 2^31, so signed maxima (cheaper in vector code) follow the unsigned
  // order; larger scores, which only hand-made ones reach, take the plain scan.
  int32_t inBox[SOB];
  for (int col = 0; col < SOB; ++col) inBox[col] = -static_cast<int32_t>((col >= pos.minCol) & (col <= pos.maxCol));
  int32_t best[3] = {0, 0, 0};
  int bestRow[3] = {0, 0, 0};
  uint32_t allBits = 0;
  for (int row = pos.minRow; row <= pos.maxRow; ++row) {
    int32_t rowOwn = 0, rowOpp = 0, rowMix = 0;
    uint32_t rowBits = 0;
    for (int col = 0; col < SOB; ++col) {
      const uint32_t keep = static_cast<uint32_t>(-static_cast<int32_t>(pos.cells[row][col] == kEmpty) & inBox[col]);
      const uint32_t o = own[row][col] & keep;
      const uint32_t p = opp[row][col] & keep;
      rowBits |= o | p;
      rowOwn = std::max(rowOwn, static_cast<int32_t>(o));
      rowOpp = std::max(rowOpp, static_cast<int32_t>(p));
      rowMix = std::max(rowMix, static_cast<int32_t>(MC * o + p));
    }
    allBits |= rowBits;
    const int32_t rowBest[3] = {rowOwn, rowOpp, rowMix};
    for (int kind = 0; kind < 3; ++kind) {
      const bool later = rowBest[kind] >= best[kind];
      best[kind] = later ? rowBest[kind] : best[kind];
      bestRow[kind] = later ? row : bestRow[kind];
    }
  }
  if (allBits >= 1u << 28) {
    scanBestCells(pos);
    return;
  }
  pos.bestOwnScore = static_cast<uint32_t>(best[0]);
  pos.bestOppScore = static_cast<uint32_t>(best[1]);
  pos.bestMixScore = static_cast<uint32_t>(best[2]);
  // Then the last empty cell with the best score, backwards from the end of its row. A best of 0
  // (only hand-made scores have it) may lie in any row with an empty cell, or in none.
  int8_t* const rows[3] = {&pos.bestOwnRow, &pos.bestOppRow, &pos.bestMixRow};
  int8_t* const cols[3] = {&pos.bestOwnCol, &pos.bestOppCol, &pos.bestMixCol};
  for (int kind = 0; kind < 3; ++kind) {
    const uint32_t wanted = static_cast<uint32_t>(best[kind]);
    bool found = false;
    for (int row = wanted != 0 ? bestRow[kind] : pos.maxRow; row >= pos.minRow && !found; --row) {
      for (int col = pos.maxCol; col >= pos.minCol; --col) {
        const uint32_t o = own[row][col];
        const uint32_t p = opp[row][col];
        const uint32_t score = kind == 0 ? o : kind == 1 ? p : MC * o + p;
        if (score == wanted && pos.cells[row][col] == kEmpty) {
          *rows[kind] = static_cast<int8_t>(row);
          *cols[kind] = static_cast<int8_t>(col);
          found = true;
          break;
        }
      }
    }
    if (!found) return;  // no empty cell in the box: the coordinates stay
  }
}

}  // namespace brenk
