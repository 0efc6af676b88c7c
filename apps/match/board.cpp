#include "apps/match/board.h"

#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

namespace brenk::match {

MatchBoard::MatchBoard() { std::memset(cells, '-', sizeof cells); }

bool onMatchBoard(int x, int y) { return x >= 0 && x < kMatchBoardSize && y >= 0 && y < kMatchBoardSize; }

bool isEmptyCell(const MatchBoard& board, int x, int y) { return onMatchBoard(x, y) && board.cells[y][x] == '-'; }

void placeStone(MatchBoard& board, int x, int y, char symbol) {
  board.cells[y][x] = symbol;
  ++board.stones;
}

namespace {

int runLength(const MatchBoard& board, int x, int y, int dx, int dy) {
  const char symbol = board.cells[y][x];
  int length = 0;
  for (int cx = x + dx, cy = y + dy; onMatchBoard(cx, cy) && board.cells[cy][cx] == symbol; cx += dx, cy += dy) {
    ++length;
  }
  return length;
}

}  // namespace

bool makesFive(const MatchBoard& board, int x, int y) {
  if (!onMatchBoard(x, y) || board.cells[y][x] == '-') return false;
  static constexpr int kDirections[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (const auto& d : kDirections) {
    if (1 + runLength(board, x, y, d[0], d[1]) + runLength(board, x, y, -d[0], -d[1]) >= 5) return true;
  }
  return false;
}

bool hasFive(const MatchBoard& board) {
  for (int y = 0; y < kMatchBoardSize; ++y) {
    for (int x = 0; x < kMatchBoardSize; ++x) {
      if (makesFive(board, x, y)) return true;
    }
  }
  return false;
}

bool isFull(const MatchBoard& board) { return board.stones >= kMatchBoardSize * kMatchBoardSize; }

std::string boardFileText(const MatchBoard& board) {
  std::string text;
  for (int y = 0; y < kMatchBoardSize; ++y) {
    text.append(board.cells[y], kMatchBoardSize);
    text += '\n';
  }
  return text;
}

std::optional<MatchBoard> boardFromMoves(const std::vector<MatchMove>& moves) {
  MatchBoard board;
  for (const MatchMove& move : moves) {
    if (!isEmptyCell(board, move.x, move.y)) return std::nullopt;
    placeStone(board, move.x, move.y, symbolToMove(board.stones));
  }
  return board;
}

std::vector<MatchMove> randomOpening(uint64_t seed, int count) {
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<int> central(5, 14);
  for (;;) {
    std::vector<MatchMove> moves;
    MatchBoard board;
    while (static_cast<int>(moves.size()) < count && board.stones < 100) {
      const MatchMove move{central(random), central(random)};
      if (!isEmptyCell(board, move.x, move.y)) continue;
      placeStone(board, move.x, move.y, symbolToMove(board.stones));
      moves.push_back(move);
    }
    if (!hasFive(board)) return moves;
  }
}

std::optional<std::vector<MatchMove>> parseOpeningLine(const std::string& line, std::string& error) {
  std::string text = line;
  for (char& c : text) {
    if (c == ';' || c == '\r' || c == '\t') c = ' ';
  }
  std::istringstream words(text);
  std::string word;
  std::vector<MatchMove> moves;
  while (words >> word) {
    if (moves.empty() && word[0] == '#') return std::nullopt;
    MatchMove move;
    char comma = 0;
    std::istringstream cell(word);
    if (!(cell >> move.x >> comma >> move.y) || comma != ',' || cell.peek() != EOF) {
      error = "not a move x,y: \"" + word + "\"";
      return std::nullopt;
    }
    moves.push_back(move);
  }
  if (moves.empty()) return std::nullopt;
  if (!boardFromMoves(moves)) {
    error = "a move off the board or on an occupied cell";
    return std::nullopt;
  }
  return moves;
}

bool readOpeningsFile(const std::string& path, std::vector<std::vector<MatchMove>>& openings, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::string lineError;
    auto moves = parseOpeningLine(line, lineError);
    if (!lineError.empty()) {
      error = path + ":" + std::to_string(number) + ": " + lineError;
      return false;
    }
    if (moves) openings.push_back(std::move(*moves));
  }
  if (openings.empty()) {
    error = path + " holds no opening";
    return false;
  }
  return true;
}

}  // namespace brenk::match
