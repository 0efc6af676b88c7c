// The one way a move leaves the engine core. Each front end supplies its own sink: the move file
// for brenk, a protocol answer for pbrain, a report for the analysis tool.
#pragma once

namespace brenk {

class MoveSink {
 public:
  virtual ~MoveSink() = default;

  // Every call replaces the previous move, as each write of the move file truncates it.
  void writeMove(int row, int col) {
    hasMove_ = true;
    row_ = row;
    col_ = col;
    deliver(row, col);
  }
  bool hasMove() const { return hasMove_; }
  int row() const { return row_; }
  int col() const { return col_; }

 protected:
  virtual void deliver(int row, int col) = 0;

 private:
  bool hasMove_ = false;
  int row_ = 0;
  int col_ = 0;
};

// A sink that only remembers the move (analysis, tests, pbrain).
class RecordingSink : public MoveSink {
 protected:
  void deliver(int, int) override {}
};

// Thrown after the forced move at the root went to the sink: the turn is over. It unwinds the
// search past the guard that discards errors; brenk then ends with status 0 as if it had exited.
struct ForcedRootMove {};

}  // namespace brenk
