// The alpha-beta mode's board: stones on a padded grid, and for every empty cell and both sides
// the class of each of its four lines and the shape they make, kept up to date on every move and
// undo by looking only at the four lines through the move. Also kept: how many empty cells of
// each shape each side has, the evaluation sums over them, which cells are near enough to the
// stones to be worth a move, and a Zobrist key.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/play/cell_values.h"
#include "engine/play/line_patterns.h"
#include "engine/play/shape.h"

namespace brenk::play {

inline constexpr int kMaxBoardSize = 22;
inline constexpr int kMinBoardSize = 5;
// Four cells of wall on every side, so that a line read from any cell never leaves the array.
inline constexpr int kPad = kHalfLine;
inline constexpr int kWidth = 32;
inline constexpr int kGridCells = kWidth * kWidth;

using Cell = int16_t;  // index into the padded grid
inline constexpr Cell kNoMove = -1;

inline constexpr int kDirections = 4;
inline constexpr int kDirectionStep[kDirections] = {1, kWidth, kWidth + 1, kWidth - 1};

inline constexpr int8_t kEmptyCell = 2;
inline constexpr int8_t kWallCell = 3;

// The roles of the evaluation sums: the side to move and the side that has just moved.
enum Role { kOwnRole, kTheirRole };

class Board {
 public:
  explicit Board(int size);

  int size() const { return size_; }
  static Cell cellAt(int x, int y) { return static_cast<Cell>((y + kPad) * kWidth + x + kPad); }
  static int xOf(Cell cell) { return cell % kWidth - kPad; }
  static int yOf(Cell cell) { return cell / kWidth - kPad; }

  int stone(Cell cell) const { return stones_[cell]; }
  bool isEmpty(Cell cell) const { return stones_[cell] == kEmptyCell; }
  int sideToMove() const { return side_; }
  int stoneCount() const { return static_cast<int>(history_.size()); }
  bool isFull() const { return stoneCount() == size_ * size_; }
  uint64_t hash() const { return hash_; }
  // The last move (back = 0), the one before it (1), ...; kNoMove past the first.
  Cell lastMove(int back = 0) const {
    const int at = static_cast<int>(history_.size()) - 1 - back;
    return at >= 0 ? history_[at].cell : kNoMove;
  }

  // Puts a stone of the side to move on the empty cell and passes the turn.
  void play(Cell cell);
  void undo();
  // Passes the turn without a stone: positions are loaded stone by stone in any order.
  void pass();
  void setSideToMove(int colour) {
    if (colour != side_) pass();
  }

  LineClass lineClassAt(int colour, Cell cell, int direction) const {
    return static_cast<LineClass>(cells_[cell].classes[colour][direction]);
  }
  Shape shape(int colour, Cell cell) const { return static_cast<Shape>(cells_[cell].shape[colour]); }
  uint16_t classQuadAt(int colour, Cell cell) const { return cells_[cell].quad[colour]; }
  // Empty cells where `colour` would make `shape`.
  int shapeCount(int colour, Shape shape) const { return counts_[colour][shape]; }
  // Empty cells where `colour` would make `shape` or a stronger one.
  int shapeCountAtLeast(int colour, Shape shape) const;
  // The sum over the empty cells of their value to `colour` in `role`.
  int32_t valueSum(Role role, int colour) const { return sums_[role][colour]; }

  // The ordering and evaluation values of the cells' class quads.
  const CellValues& values() const { return *values_; }

  // An empty cell near enough to a stone to be a move worth searching.
  bool isCandidate(Cell cell) const { return near_[cell] > 0 && stones_[cell] == kEmptyCell; }
  // Calls f(cell) for every candidate, row by row.
  template <class F>
  void forEachCandidate(F&& f) const {
    for (int y = box_.minY; y <= box_.maxY; ++y) {
      for (int x = box_.minX; x <= box_.maxX; ++x) {
        const Cell cell = cellAt(x, y);
        if (isCandidate(cell)) f(cell);
      }
    }
  }
  // Calls f(cell) for every empty cell of the board.
  template <class F>
  void forEachEmpty(F&& f) const {
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        if (isEmpty(cellAt(x, y))) f(cellAt(x, y));
      }
    }
  }
  // Every empty cell where `colour` would make `shape` (slow: a scan of the board).
  std::vector<Cell> cellsWithShape(int colour, Shape shape) const;

  // Recomputes every class, shape, count, sum and candidate from the stones alone and says
  // whether the kept state equals it.
  bool matchesRecount() const;

 private:
  struct CellState {
    uint16_t keys[kDirections] = {};
    uint8_t classes[2][kDirections] = {};
    uint16_t quad[2] = {};
    uint8_t shape[2] = {kNone, kNone};
  };
  struct Box {
    int8_t minX, maxX, minY, maxY;  // the candidates' scan rectangle, clipped to the board
  };
  struct Played {
    Cell cell;
    Box box;
  };

  void resetKeys();
  void refreshCell(Cell cell, int direction);
  void addCell(Cell cell, int sign);
  void markNear(Cell cell, int delta);
  void stoneChanged(Cell cell, int colour);

  // The tables, looked up once: the update loop reads them for every cell it touches.
  const uint8_t* classTables_[2];
  const uint8_t* shapes_;
  const CellValues* values_;
  int size_;
  int side_ = 1;  // stone values as the position's: 1 ("x") moves first
  uint64_t hash_ = 0;
  std::array<int8_t, kGridCells> stones_;
  std::array<CellState, kGridCells> cells_;
  std::array<uint8_t, kGridCells> near_{};
  int32_t counts_[2][kShapes] = {};
  int32_t sums_[2][2] = {};
  Box box_;
  std::vector<Played> history_;
};

// The cells a stone makes worth searching: the 5 x 5 square around it and the four lines out to
// three cells.
inline constexpr int kNearOffsets = 32;
const std::array<int, kNearOffsets>& nearOffsets();

}  // namespace brenk::play
