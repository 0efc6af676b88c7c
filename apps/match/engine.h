// The engines of a match as the manager sees them: one asked for a move on a board, the answer
// checked and timed. File-interface engines run once per move; "pbrain:" engines once per game.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "apps/match/board.h"

namespace brenk::match {

// What lost the game for the engine, if anything did.
enum class MoveFault { None, Illegal, Missing, Crash, Overrun };
const char* moveFaultName(MoveFault fault);

struct MoveOutcome {
  MoveFault fault = MoveFault::None;
  MatchMove move;
  int64_t wallMs = 0;
  int64_t peakKiB = 0;  // peak resident memory of the engine process
  std::string note;     // what was wrong, for the game record
};

struct EngineLimits {
  int32_t allowanceMs = 300;
  int32_t marginMs = 1000;               // the engine is killed at allowance + margin
  int64_t maxMemoryBytes = 350ll << 20;  // told to pbrain brains as INFO max_memory
};

class MatchEngine {
 public:
  virtual ~MatchEngine() = default;
  virtual void startGame() = 0;
  // The engine plays `symbol` on `board`; `last` is the opponent's move just played, if any.
  virtual MoveOutcome play(const MatchBoard& board, char symbol, std::optional<MatchMove> last) = 0;
  // Ends the game; a brain that then fails to end cleanly reports it here.
  virtual std::optional<MoveOutcome> endGame() = 0;
};

// "pbrain:PATH" is a pbrain brain, anything else a file-interface executable.
std::unique_ptr<MatchEngine> makeMatchEngine(const std::string& engineArg, const EngineLimits& limits);
std::unique_ptr<MatchEngine> makeFileEngine(const std::string& path, const EngineLimits& limits);
std::unique_ptr<MatchEngine> makePbrainEngine(const std::string& path, const EngineLimits& limits);

// The answer in tah.dat checked against the board: a move, or the fault it shows.
MoveOutcome judgeMoveFile(const std::optional<std::string>& content, const MatchBoard& board, char symbol);
// One answer line of a pbrain brain: exactly "x,y" of an empty cell.
MoveOutcome judgeMoveLine(const std::string& line, const MatchBoard& board);

}  // namespace brenk::match
