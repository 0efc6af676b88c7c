// The file protocol with the tournament manager: "plocha.dat" (board), "tah.dat" (symbol in,
// move out) and "brenk.cfg" (time allowance), all opened by bare name in the working directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>

#include "engine/host/move_sink.h"
#include "engine/position/position.h"

namespace brenk {

inline constexpr int32_t kDefaultTimeAllowance = 3500;
// Search time allowance in milliseconds; "brenk.cfg" replaces it.
extern int32_t timeAllowance;

// The stream-level readers behind LoadPosition. `ch` is the one character variable shared by
// board and symbol: a failed read leaves it as it was.
void readBoard(std::istream& in, Position& pos, char& ch);
void readSymbol(std::istream& in, Position& pos, char& ch);
// Replaces `allowance` only when the first token is a valid signed 32-bit integer.
void readAllowance(std::istream& in, int32_t& allowance);

// Loads the three files from `dir`; messages for missing files go to `messages`.
bool loadPositionFrom(const std::filesystem::path& dir, Position& pos, int32_t& allowance, std::ostream& messages);
// The manager's view: files in the working directory, messages on standard output.
bool LoadPosition(Position& pos);

void writeMoveFile(const std::filesystem::path& file, int row, int col);
void WriteMove(int16_t row, int16_t col);

// brenk's sink: every move replaces the content of "tah.dat".
class MoveFileSink : public MoveSink {
 protected:
  void deliver(int row, int col) override { WriteMove(static_cast<int16_t>(row), static_cast<int16_t>(col)); }
};

}  // namespace brenk
