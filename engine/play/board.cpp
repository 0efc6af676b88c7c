#include "engine/play/board.h"

#include <algorithm>

#include "engine/play/cell_values.h"

namespace brenk::play {

namespace {

// Fixed keys, so that hashes (and with them every search) repeat from run to run.
struct Zobrist {
  uint64_t stone[2][kGridCells];
  uint64_t side;
  Zobrist() {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
      uint64_t z = (state += 0x9E3779B97F4A7C15ull);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      return z ^ (z >> 31);
    };
    for (auto& colour : stone) {
      for (uint64_t& key : colour) key = next();
    }
    side = next();
  }
};

const Zobrist& zobrist() {
  static const Zobrist keys;
  return keys;
}

int pow10(int direction) {
  static constexpr int kPowers[kDirections] = {1, kLineClasses, kLineClasses * kLineClasses,
                                               kLineClasses * kLineClasses * kLineClasses};
  return kPowers[direction];
}

}  // namespace

const std::array<int, kNearOffsets>& nearOffsets() {
  static const std::array<int, kNearOffsets> offsets = [] {
    std::array<int, kNearOffsets> out{};
    int n = 0;
    for (int dy = -2; dy <= 2; ++dy) {
      for (int dx = -2; dx <= 2; ++dx) {
        if (dx != 0 || dy != 0) out[n++] = dy * kWidth + dx;
      }
    }
    for (int direction = 0; direction < kDirections; ++direction) {
      out[n++] = 3 * kDirectionStep[direction];
      out[n++] = -3 * kDirectionStep[direction];
    }
    return out;
  }();
  return offsets;
}

Board::Board(int size)
    : classTables_{lineClassTable(0), lineClassTable(1)},
      shapes_(shapeTable()),
      values_(&cellValues()),
      size_(std::clamp(size, kMinBoardSize, kMaxBoardSize)) {
  stones_.fill(kWallCell);
  for (int y = 0; y < size_; ++y) {
    for (int x = 0; x < size_; ++x) stones_[cellAt(x, y)] = kEmptyCell;
  }
  resetKeys();
  box_ = Box{0, -1, 0, -1};
  history_.reserve(static_cast<size_t>(size_ * size_));
  if (side_ == 1) hash_ ^= zobrist().side;
}

// Keys, classes and sums read from the stones and walls alone.
void Board::resetKeys() {
  for (int y = 0; y < size_; ++y) {
    for (int x = 0; x < size_; ++x) {
      const Cell cell = cellAt(x, y);
      CellState& state = cells_[cell];
      for (int direction = 0; direction < kDirections; ++direction) {
        uint16_t key = 0;
        for (int offset = -kHalfLine; offset <= kHalfLine; ++offset) {
          if (offset == 0) continue;
          const int8_t other = stones_[cell + offset * kDirectionStep[direction]];
          const uint8_t code = other == kWallCell ? kKeyWall : other == kEmptyCell ? kKeyEmpty : keyCode(other);
          key = static_cast<uint16_t>(key | code << (2 * keySlot(offset)));
        }
        state.keys[direction] = key;
        for (int colour = 0; colour < 2; ++colour) state.classes[colour][direction] = lineClass(colour, key);
      }
      for (int colour = 0; colour < 2; ++colour) {
        state.quad[colour] = static_cast<uint16_t>(classQuad(state.classes[colour]));
        state.shape[colour] = shapeTable()[state.quad[colour]];
      }
      if (stones_[cell] == kEmptyCell) addCell(cell, +1);
    }
  }
}

// Adds (sign +1) or removes (-1) an empty cell's share of the counts and sums.
void Board::addCell(Cell cell, int sign) {
  const CellValues& values = *values_;
  const CellState& state = cells_[cell];
  for (int colour = 0; colour < 2; ++colour) {
    counts_[colour][state.shape[colour]] += sign;
    sums_[kOwnRole][colour] += sign * values.own[state.quad[colour]];
    sums_[kTheirRole][colour] += sign * values.their[state.quad[colour]];
  }
}

// An empty cell whose key in `direction` has changed: its classes, shape and share follow.
void Board::refreshCell(Cell cell, int direction) {
  CellState& state = cells_[cell];
  const CellValues& values = *values_;
  for (int colour = 0; colour < 2; ++colour) {
    const uint8_t cls = classTables_[colour][state.keys[direction]];
    const uint8_t old = state.classes[colour][direction];
    if (cls == old) continue;
    state.classes[colour][direction] = cls;
    const uint16_t oldQuad = state.quad[colour];
    const uint16_t quad = static_cast<uint16_t>(oldQuad + (cls - old) * pow10(direction));
    const uint8_t shape = shapes_[quad];
    counts_[colour][state.shape[colour]] -= 1;
    counts_[colour][shape] += 1;
    sums_[kOwnRole][colour] += values.own[quad] - values.own[oldQuad];
    sums_[kTheirRole][colour] += values.their[quad] - values.their[oldQuad];
    state.quad[colour] = quad;
    state.shape[colour] = shape;
  }
}

// Flips the key bits that `cell`'s stone of `colour` sets in the lines through it, and brings
// the empty cells on those lines up to date.
void Board::stoneChanged(Cell cell, int colour) {
  const uint16_t code = keyCode(colour);
  for (int direction = 0; direction < kDirections; ++direction) {
    const int step = kDirectionStep[direction];
    for (int offset = -kHalfLine; offset <= kHalfLine; ++offset) {
      if (offset == 0) continue;
      const Cell other = static_cast<Cell>(cell + offset * step);
      if (stones_[other] == kWallCell) continue;
      // Seen from `other`, the stone stands at -offset.
      cells_[other].keys[direction] ^= static_cast<uint16_t>(code << (2 * keySlot(-offset)));
      if (stones_[other] == kEmptyCell) refreshCell(other, direction);
    }
  }
}

void Board::markNear(Cell cell, int delta) {
  for (int offset : nearOffsets()) {
    const int other = cell + offset;
    if (other >= 0 && other < kGridCells) near_[other] = static_cast<uint8_t>(near_[other] + delta);
  }
}

void Board::play(Cell cell) {
  history_.push_back(Played{cell, box_});
  addCell(cell, -1);
  stones_[cell] = static_cast<int8_t>(side_);
  stoneChanged(cell, side_);
  markNear(cell, +1);
  const int x = xOf(cell), y = yOf(cell);
  const int last = size_ - 1;
  if (box_.maxX < box_.minX) box_ = Box{static_cast<int8_t>(x), static_cast<int8_t>(x), static_cast<int8_t>(y), static_cast<int8_t>(y)};
  box_.minX = static_cast<int8_t>(std::max(0, std::min<int>(box_.minX, x - 3)));
  box_.maxX = static_cast<int8_t>(std::min(last, std::max<int>(box_.maxX, x + 3)));
  box_.minY = static_cast<int8_t>(std::max(0, std::min<int>(box_.minY, y - 3)));
  box_.maxY = static_cast<int8_t>(std::min(last, std::max<int>(box_.maxY, y + 3)));
  hash_ ^= zobrist().stone[side_][cell] ^ zobrist().side;
  side_ = 1 - side_;
}

void Board::undo() {
  const Played played = history_.back();
  history_.pop_back();
  side_ = 1 - side_;
  hash_ ^= zobrist().stone[side_][played.cell] ^ zobrist().side;
  markNear(played.cell, -1);
  stones_[played.cell] = kEmptyCell;
  stoneChanged(played.cell, side_);
  // The cell's own keys never changed while it held the stone, nor did its classes.
  addCell(played.cell, +1);
  box_ = played.box;
}

void Board::pass() {
  side_ = 1 - side_;
  hash_ ^= zobrist().side;
}

int Board::shapeCountAtLeast(int colour, Shape shape) const {
  int count = 0;
  for (int s = kFive; s <= shape; ++s) count += counts_[colour][s];
  return count;
}

std::vector<Cell> Board::cellsWithShape(int colour, Shape wanted) const {
  std::vector<Cell> cells;
  if (counts_[colour][wanted] == 0) return cells;
  for (int y = 0; y < size_; ++y) {
    for (int x = 0; x < size_; ++x) {
      const Cell cell = cellAt(x, y);
      if (isEmpty(cell) && shape(colour, cell) == wanted) cells.push_back(cell);
    }
  }
  return cells;
}

bool Board::matchesRecount() const {
  Board fresh(size_);
  std::array<uint8_t, kGridCells> near{};
  uint64_t hash = side_ == 1 ? zobrist().side : 0;
  for (int y = 0; y < size_; ++y) {
    for (int x = 0; x < size_; ++x) {
      const Cell cell = cellAt(x, y);
      if (isEmpty(cell)) continue;
      fresh.stones_[cell] = stones_[cell];
      hash ^= zobrist().stone[stones_[cell]][cell];
      for (int offset : nearOffsets()) ++near[cell + offset];
    }
  }
  std::fill(&fresh.counts_[0][0], &fresh.counts_[0][0] + 2 * kShapes, 0);
  std::fill(&fresh.sums_[0][0], &fresh.sums_[0][0] + 4, 0);
  fresh.resetKeys();
  if (hash != hash_) return false;
  for (int y = 0; y < size_; ++y) {
    for (int x = 0; x < size_; ++x) {
      const Cell cell = cellAt(x, y);
      if ((near[cell] > 0) != (near_[cell] > 0)) return false;
      if (!isEmpty(cell)) continue;
      const CellState& a = cells_[cell];
      const CellState& b = fresh.cells_[cell];
      for (int direction = 0; direction < kDirections; ++direction) {
        if (a.keys[direction] != b.keys[direction]) return false;
        for (int colour = 0; colour < 2; ++colour) {
          if (a.classes[colour][direction] != b.classes[colour][direction]) return false;
        }
      }
      for (int colour = 0; colour < 2; ++colour) {
        if (a.quad[colour] != b.quad[colour] || a.shape[colour] != b.shape[colour]) return false;
      }
    }
  }
  return std::equal(&counts_[0][0], &counts_[0][0] + 2 * kShapes, &fresh.counts_[0][0]) &&
         std::equal(&sums_[0][0], &sums_[0][0] + 4, &fresh.sums_[0][0]);
}

}  // namespace brenk::play
