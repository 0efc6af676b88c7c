#include "engine/position/verdict.h"

#include <algorithm>
#include <array>

#include "engine/position/patterns.h"
#include "engine/position/scoring.h"

namespace brenk {

CellClasses cellClasses(const int32_t (&cells)[SOB][SOB], int8_t row, int8_t col, int32_t own, int32_t other) {
  std::array<int8_t, 4> classes{};
  for (size_t i = 0; i < kLines.size(); ++i) {
    classes[i] = static_cast<int8_t>(threatClassTable[linePatternCode(cells, row, col, kLines[i], own, other)]);
  }
  std::sort(classes.begin(), classes.end());
  return CellClasses{classes[0], classes[1]};
}

namespace {

// The forced block: the side to move fills the opponent's five. It must not count as the first
// move of the line being searched, so firstMoveSet is restored afterwards.
void playForcedBlock(Position& pos, std::vector<BoardCell>* blocks) {
  if (blocks != nullptr) blocks->push_back(BoardCell{pos.bestOppRow, pos.bestOppCol});
  const bool firstMoveWasSet = pos.firstMoveSet;
  makeMove(pos, pos.bestOppRow, pos.bestOppCol);
  pos.firstMoveSet = firstMoveWasSet;
  rescoreAround(pos, pos.lastRow, pos.lastCol);
  findBestCells(pos);
}

}  // namespace

int32_t evaluatePosition(Position& pos, infFloat& proof, infFloat& disproof, std::vector<BoardCell>* blocks) {
  for (;;) {
    infFloat& mover = pos.searcherToMove ? proof : disproof;
    infFloat& defender = pos.searcherToMove ? disproof : proof;
    auto moverWins = [&] {
      mover = finite(0.0f);
      defender.inf = true;
      return pos.searcherToMove ? kWon : kLost;
    };
    auto seed = [&](int8_t category, float m, float d) {
      pos.movingCategory = category;
      mover = finite(m);
      defender = finite(d);
      return kOpen;
    };

    pos.movingCategory = 1;
    const uint32_t O = pos.bestOwnScore;
    const uint32_t P = pos.bestOppScore;
    if (O >= kFiveThreshold) return moverWins();
    if (P >= kFiveThreshold) {
      playForcedBlock(pos, blocks);
      continue;
    }
    if (O >= kOpenFourThreshold) return moverWins();

    const CellClasses a = cellClasses(pos.cells, pos.bestOwnRow, pos.bestOwnCol, pos.toMove, pos.opponent);
    const CellClasses b = cellClasses(pos.cells, pos.bestOppRow, pos.bestOppCol, pos.opponent, pos.toMove);
    const float a1 = a.best;
    const float b1 = b.best;

    if (a.best == 1) {
      if (a.second == 1) {
        pos.movingCategory = 2;
        return moverWins();
      }
      if (O >= kFourThreeThreshold) return seed(2, 0.1f, static_cast<float>(5 * b.best));
      if (P >= kDoubleThreeThreshold) return seed(2, 1.0f, 0.3f);
      if (P >= kOpenThreeThreshold) return seed(2, 1.0f, 2.0f);
      return seed(2, 1.0f, b1);
    }
    if (b.best == 1) {
      if (b.second == 1) return seed(7, a1, 0.5f);
      if (b.second == 2 && P > kDoubleThreeThreshold) return seed(3, 4.0f, 0.1f);
      if (O >= kDoubleThreeThreshold) return seed(3, 0.4f, 1.0f);
      return seed(3, a1, 1.0f);
    }
    if (O >= kDoubleThreeThreshold && P >= kDoubleThreeThreshold) return seed(4, 0.3f, 6.0f);
    if (O >= kDoubleThreeThreshold) return seed(5, 0.3f, 6.0f);
    if (O >= kOpenThreeThreshold && P >= kDoubleThreeThreshold) return seed(4, 2.0f, 1.0f);
    if (O >= kOpenThreeThreshold) return seed(5, 2.0f, b1);
    if (P >= kDoubleThreeThreshold) return seed(6, a1, 0.5f);
    if (P >= kOpenThreeThreshold) return seed(1, a1, 2.0f);
    return seed(1, static_cast<float>(a.best + 1), static_cast<float>(b.best + 1));
  }
}

}  // namespace brenk
