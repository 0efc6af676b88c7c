// Scores of the alpha-beta search, from the side to move: the evaluation within +-kEvalLimit,
// and wins by a five that comes at a known ply, so that a sooner win scores higher.
#pragma once

namespace brenk::play {

inline constexpr int kMate = 30000;
inline constexpr int kInfinity = kMate + 1;
// Scores beyond this are forced wins (or losses) found by the search.
inline constexpr int kWinBound = kMate - 1000;

// The score of winning with a five placed by the move of the node at `ply` - 1 (the root's own
// move is ply 0's, so a five the root plays is mateAt(1)).
inline constexpr int mateAt(int ply) { return kMate - ply; }
inline constexpr bool isWin(int score) { return score >= kWinBound; }
inline constexpr bool isLoss(int score) { return score <= -kWinBound; }
// Plies from the root to the five that ends the game, for a win or loss score.
inline constexpr int pliesToFive(int score) { return score > 0 ? kMate - score : kMate + score; }

// The table keeps a win as counted from the node that stored it, not from the root.
inline constexpr int scoreToTable(int score, int ply) {
  return isWin(score) ? score + ply : isLoss(score) ? score - ply : score;
}
inline constexpr int scoreFromTable(int score, int ply) {
  return isWin(score) ? score - ply : isLoss(score) ? score + ply : score;
}

}  // namespace brenk::play
