// The manager's own board for brenk-cli match: stones by symbol, five-or-more detection, the
// plocha.dat text, and openings (random stones from a seed, or lines of a file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brenk::match {

inline constexpr int kMatchBoardSize = 20;

// One stone as the managers write it: x the column, y the row, both from 0.
struct MatchMove {
  int x = 0;
  int y = 0;
};

struct MatchBoard {
  char cells[kMatchBoardSize][kMatchBoardSize];  // [y][x]: '-', 'x' or 'o'
  int stones = 0;
  MatchBoard();
};

// The symbol that moves after `stones` stones: "x" opens the game.
inline char symbolToMove(int stones) { return stones % 2 == 0 ? 'x' : 'o'; }
inline char otherSymbol(char symbol) { return symbol == 'x' ? 'o' : 'x'; }

bool onMatchBoard(int x, int y);
bool isEmptyCell(const MatchBoard& board, int x, int y);
void placeStone(MatchBoard& board, int x, int y, char symbol);
// Freestyle: a line of five or more of the stone just played at (x, y).
bool makesFive(const MatchBoard& board, int x, int y);
bool hasFive(const MatchBoard& board);
bool isFull(const MatchBoard& board);
// plocha.dat: 20 lines of 20 characters.
std::string boardFileText(const MatchBoard& board);

// Moves played alternately from "x"; the board they give, or nothing when a move is off the
// board or on an occupied cell.
std::optional<MatchBoard> boardFromMoves(const std::vector<MatchMove>& moves);

// `count` stones scattered over the central 10 x 10 cells, the same for the same seed, never
// holding a five.
std::vector<MatchMove> randomOpening(uint64_t seed, int count);
// One opening line: "x,y" moves separated by blanks or ';'. Nothing for a blank or '#' line;
// `error` is set for a line that is not an opening.
std::optional<std::vector<MatchMove>> parseOpeningLine(const std::string& line, std::string& error);
// Every opening of a file; false with `error` set when the file cannot be read or has a bad line.
bool readOpeningsFile(const std::string& path, std::vector<std::vector<MatchMove>>& openings, std::string& error);

}  // namespace brenk::match
