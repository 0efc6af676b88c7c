#include "engine/threats/vcf_board.h"

#include <algorithm>
#include <bit>

namespace brenk {

namespace {

// Where each cell sits on the line of each direction, and which cells each line holds.
struct LineGeometry {
  uint8_t line[4][kBoardCells];
  uint8_t bit[4][kBoardCells];
  int16_t cellAt[4][kLinesPerDirection][32];
  uint32_t valid[4][kLinesPerDirection];  // the bits of a line that are board cells
  uint64_t zobrist[2][kBoardCells];

  LineGeometry() : line{}, bit{}, cellAt{}, valid{}, zobrist{} {
    for (auto& dir : cellAt)
      for (auto& l : dir)
        for (auto& c : l) c = kNoVcfCell;
    for (int row = 0; row < SOB; ++row) {
      for (int col = 0; col < SOB; ++col) {
        const int cell = row * SOB + col;
        const int lines[4] = {col, row, row + col, row - col + SOB - 1};
        const int bits[4] = {row, col, row, row};
        for (int d = 0; d < 4; ++d) {
          line[d][cell] = static_cast<uint8_t>(lines[d]);
          bit[d][cell] = static_cast<uint8_t>(bits[d]);
          cellAt[d][lines[d]][bits[d]] = static_cast<int16_t>(cell);
          valid[d][lines[d]] |= 1u << bits[d];
        }
      }
    }
    // splitmix64: fixed keys, so a run's table contents never depend on the process.
    uint64_t state = 0x9e3779b97f4a7c15ull;
    for (auto& side : zobrist) {
      for (uint64_t& key : side) {
        state += 0x9e3779b97f4a7c15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        key = z ^ (z >> 31);
      }
    }
  }
};

const LineGeometry& geometry() {
  static const LineGeometry g;
  return g;
}

constexpr uint32_t kWindow = 0x1f;

bool addDistinct(int cell, int* out, int& count) {
  for (int i = 0; i < count; ++i) {
    if (out[i] == cell) return false;
  }
  out[count++] = cell;
  return true;
}

}  // namespace

VcfBoard::VcfBoard(const Position& pos) {
  cells_.fill(kEmpty);
  for (int row = 0; row < SOB; ++row) {
    for (int col = 0; col < SOB; ++col) {
      const int32_t v = pos.cells[row][col];
      if (v == kStoneO || v == kStoneX) place(row * SOB + col, v);
    }
  }
}

void VcfBoard::place(int cell, int colour) {
  const LineGeometry& g = geometry();
  cells_[cell] = static_cast<int8_t>(colour);
  for (int d = 0; d < 4; ++d) stones_[colour][d][g.line[d][cell]] |= 1u << g.bit[d][cell];
  hash_ ^= g.zobrist[colour][cell];
}

void VcfBoard::remove(int cell, int colour) {
  const LineGeometry& g = geometry();
  cells_[cell] = kEmpty;
  for (int d = 0; d < 4; ++d) stones_[colour][d][g.line[d][cell]] &= ~(1u << g.bit[d][cell]);
  hash_ ^= g.zobrist[colour][cell];
}

int VcfBoard::fiveCellsThrough(int cell, int colour, int (&out)[kMaxFiveCellsThrough]) const {
  const LineGeometry& g = geometry();
  int count = 0;
  for (int d = 0; d < 4; ++d) {
    const int l = g.line[d][cell];
    const int b = g.bit[d][cell];
    const uint32_t own = stones_[colour][d][l];
    const uint32_t blocked = stones_[1 - colour][d][l] | ~g.valid[d][l];
    for (int s = std::max(0, b - 4); s <= b && s + 4 < 32; ++s) {
      const uint32_t w = kWindow << s;
      if ((blocked & w) != 0 || std::popcount(own & w) != 4) continue;
      addDistinct(g.cellAt[d][l][std::countr_zero(w & ~own)], out, count);
    }
  }
  return count;
}

int VcfBoard::fiveCells(int colour, int* out, int cap) const {
  const LineGeometry& g = geometry();
  int count = 0;
  for (int d = 0; d < 4; ++d) {
    const int lines = d < 2 ? SOB : kLinesPerDirection;
    for (int l = 0; l < lines; ++l) {
      const uint32_t own = stones_[colour][d][l];
      if (std::popcount(own) < 4) continue;
      const uint32_t blocked = stones_[1 - colour][d][l] | ~g.valid[d][l];
      for (int s = 0; s + 4 < 32; ++s) {
        const uint32_t w = kWindow << s;
        if ((blocked & w) != 0 || std::popcount(own & w) != 4) continue;
        if (addDistinct(g.cellAt[d][l][std::countr_zero(w & ~own)], out, count) && count >= cap) return count;
      }
    }
  }
  return count;
}

int VcfBoard::windowMoves(int colour, int ownStones, int16_t* out) const {
  const LineGeometry& g = geometry();
  uint8_t windows[kBoardCells] = {};
  int count = 0;
  for (int d = 0; d < 4; ++d) {
    const int lines = d < 2 ? SOB : kLinesPerDirection;
    for (int l = 0; l < lines; ++l) {
      const uint32_t own = stones_[colour][d][l];
      if (std::popcount(own) < ownStones) continue;
      const uint32_t blocked = stones_[1 - colour][d][l] | ~g.valid[d][l];
      for (int s = 0; s + 4 < 32; ++s) {
        const uint32_t w = kWindow << s;
        if ((blocked & w) != 0 || std::popcount(own & w) != ownStones) continue;
        for (uint32_t empty = w & ~own; empty != 0; empty &= empty - 1) {
          const int cell = g.cellAt[d][l][std::countr_zero(empty)];
          if (windows[cell]++ == 0) out[count++] = static_cast<int16_t>(cell);
        }
      }
    }
  }
  // Cells in more windows are likelier to make two threats at once; ties keep board order.
  std::stable_sort(out, out + count, [&windows](int16_t a, int16_t b) { return windows[a] > windows[b]; });
  return count;
}

}  // namespace brenk
