// The alpha-beta mode's pattern board: line classes and shapes against hand-worked lines and
// their laws, the incremental state against a full recount on random games, and the
// evaluation's symmetry.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

#include "engine/play/board.h"
#include "engine/play/search.h"
#include "engine/play/board_threats.h"
#include "engine/play/weights.h"

namespace brenk::play {
namespace {

// Nine cells, the centre (index 4) being the move judged: 'o' own, 'x' blocked, '.' empty.
LineClass classOf(const std::string& text) {
  char line[9];
  std::copy_n(text.begin(), 9, line);
  return classifyLine(line);
}

TEST(LineClasses, HandWorkedLines) {
  EXPECT_EQ(classOf("..oo?oo.."), kF5);
  EXPECT_EQ(classOf(".ooo?...."), kF4);  // an open four: both ends make five
  EXPECT_EQ(classOf("o.oo?.o.."), kF4);  // two separate cells make five on one line
  EXPECT_EQ(classOf("xooo?...."), kB4);
  EXPECT_EQ(classOf("..oo?...."), kF3S);  // either end makes an open four
  EXPECT_EQ(classOf("x.oo?...."), kF3);   // only the right end does: the left one is a closed four
  EXPECT_EQ(classOf("..o.?o..."), kF3);   // only the gap does
  EXPECT_EQ(classOf("xoo.?...."), kB3);   // every four it can reach is closed on the left
  EXPECT_EQ(classOf("...o?...."), kF2B);  // open threes on either side and one beyond each
  EXPECT_EQ(classOf("..o.?...."), kF2A);  // the gap, the cell left of it and the one right of the move
  EXPECT_EQ(classOf(".o..?...."), kF2);   // only the two cells of the gap
  EXPECT_EQ(classOf("....?...."), kF1);
  EXPECT_EQ(classOf("...x?...."), kB1);    // one window of five left: only closed shapes
  EXPECT_EQ(classOf("x.oo?x..."), kDead);  // four cells between the blocks
  EXPECT_EQ(classOf("xxxx?xxxx"), kDead);
}

// Every line of nine cells with the centre own, as text.
std::vector<std::string> allLines() {
  std::vector<std::string> lines;
  for (int code = 0; code < 6561; ++code) {
    std::string line(9, 'o');
    int rest = code;
    for (int i = 0; i < 9; ++i) {
      if (i == 4) continue;
      line[i] = ".ox"[rest % 3];
      rest /= 3;
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(LineClasses, MirroredAlikeMoreOwnStonesNeverWorseMoreBlocksNeverBetter) {
  for (const std::string& line : allLines()) {
    const LineClass cls = classOf(line);
    EXPECT_EQ(classOf(std::string(line.rbegin(), line.rend())), cls) << line;
    for (int i = 0; i < 9; ++i) {
      if (line[i] != '.') continue;
      std::string more = line, blocked = line;
      more[i] = 'o';
      blocked[i] = 'x';
      EXPECT_GE(classOf(more), cls) << line << " own at " << i;
      EXPECT_LE(classOf(blocked), cls) << line << " blocked at " << i;
    }
  }
}

TEST(Shapes, FromTheirLines) {
  auto shapeOf = [](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t classes[4] = {a, b, c, d};
    return shapeOfClasses(classes);
  };
  EXPECT_EQ(shapeOf(kDead, kF5, kB4, kDead), kFive);
  EXPECT_EQ(shapeOf(kB4, kDead, kB4, kDead), kFlexFour);  // two fours: one block cannot stop both
  EXPECT_EQ(shapeOf(kB4, kF3, kDead, kDead), kFourThree);
  EXPECT_EQ(shapeOf(kB4, kB3, kDead, kDead), kFourPlus);
  EXPECT_EQ(shapeOf(kDead, kF3, kF3, kB1), kDoubleThree);
  EXPECT_EQ(shapeOf(kF3, kDead, kDead, kDead), kThree);
  EXPECT_EQ(shapeOf(kF2, kF2, kDead, kDead), kDoubleTwo);
  // Open twos and threes make the same shapes whatever their ways.
  EXPECT_EQ(shapeOf(kF3S, kDead, kF3, kDead), kDoubleThree);
  EXPECT_EQ(shapeOf(kF3S, kF2A, kDead, kDead), kThreePlus);
  EXPECT_EQ(shapeOf(kF2B, kDead, kF2A, kDead), kDoubleTwo);
  EXPECT_EQ(shapeOf(kB4, kF2B, kDead, kDead), kFourPlus);
  EXPECT_EQ(shapeOf(kF1, kB2, kB1, kDead), kNone);
  // The order of the directions never matters.
  for (int quad = 0; quad < kClassQuads; quad += 7) {
    uint8_t classes[4];
    int rest = quad;
    for (uint8_t& cls : classes) cls = static_cast<uint8_t>(rest % kLineClasses), rest /= kLineClasses;
    uint8_t turned[4] = {classes[2], classes[0], classes[3], classes[1]};
    EXPECT_EQ(shapeTable()[classQuad(turned)], shapeTable()[quad]);
  }
}

// The nine cells of a line through `cell`, read from the stones by walking the board.
std::string lineText(const Board& board, int x, int y, int dx, int dy, int colour) {
  std::string text;
  for (int k = -4; k <= 4; ++k) {
    const int cx = x + k * dx, cy = y + k * dy;
    if (cx < 0 || cy < 0 || cx >= board.size() || cy >= board.size()) {
      text += 'x';
    } else {
      const int stone = board.stone(Board::cellAt(cx, cy));
      text += stone == kEmptyCell ? '.' : stone == colour ? 'o' : 'x';
    }
  }
  return text;
}

// Random games that stay near their stones, as the search plays them.
void playRandomly(Board& board, std::mt19937& random, int moves) {
  for (int i = 0; i < moves && !board.isFull(); ++i) {
    std::vector<Cell> cells;
    board.forEachCandidate([&](Cell c) { cells.push_back(c); });
    if (cells.empty()) board.forEachEmpty([&](Cell c) { cells.push_back(c); });
    board.play(cells[random() % cells.size()]);
  }
}

TEST(CellValues, ClassPairsNumberEachUnorderedPairOnceAndEnterEveryValueSixTimes) {
  std::vector<int> seen(kClassPairs, 0);
  for (int a = 0; a < kLineClasses; ++a) {
    for (int b = a; b < kLineClasses; ++b) {
      ASSERT_EQ(classPair(a, b), classPair(b, a));
      ++seen.at(classPair(a, b));
    }
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kClassPairs);
  // Three open threes and a dead line: the (F3, F3) pair three times, (dead, F3) three times.
  RoleWeights weights{};
  weights.pair[classPair(kF3, kF3)] = 5;
  weights.pair[classPair(kDead, kF3)] = 1;
  const uint8_t classes[4] = {kF3, kDead, kF3, kF3};
  EXPECT_EQ(valueOf(weights, classQuad(classes)), 3 * 5 + 3 * 1);
}

TEST(CellValues, EachCombinationCorrectsEveryOrderOfItsClassesAndNoOtherCell) {
  std::set<int> listed;
  for (const ClassCombination& entry : kCombinations) {
    const uint8_t classes[4] = {entry.classes[0], entry.classes[1], entry.classes[2], entry.classes[3]};
    ASSERT_TRUE(std::is_sorted(classes, classes + 4)) << "an entry's classes are not in ascending order";
    ASSERT_TRUE(listed.insert(classQuad(classes)).second) << "a combination is listed twice";
  }
  const CellValues& values = cellValues();
  for (int quad = 0; quad < kClassQuads; ++quad) {
    // Its base classes (the ways of twos and threes not counted), sorted by a count of each
    // class rather than by a sort.
    uint8_t sorted[4];
    int filled = 0;
    for (int cls = 0; cls < kLineClasses; ++cls) {
      for (int d = 0, rest = quad; d < 4; ++d, rest /= kLineClasses) {
        if (baseClass(static_cast<LineClass>(rest % kLineClasses)) == cls) sorted[filled++] = static_cast<uint8_t>(cls);
      }
    }
    const ClassCombination* entry = combinationOf(quad);
    ASSERT_EQ(entry != nullptr, listed.count(classQuad(sorted)) == 1) << quad;
    const int own = valueOf(kOwnValue, quad) + (entry ? entry->own : 0);
    const int their = valueOf(kTheirValue, quad) + (entry ? entry->their : 0);
    ASSERT_EQ(values.own[quad], own) << quad;
    ASSERT_EQ(values.their[quad], their) << quad;
  }
}

TEST(PlayBoard, IncrementalStateEqualsARecountAfterEveryMoveAndUndo) {
  std::mt19937 random(7);
  for (int size : {20, 15, 9}) {
    for (int game = 0; game < 6; ++game) {
      Board board(size);
      const int moves = size * size / 2;
      for (int i = 0; i < moves; ++i) {
        playRandomly(board, random, 1);
        ASSERT_TRUE(board.matchesRecount()) << "size " << size << " game " << game << " move " << i;
      }
      while (board.stoneCount() > moves / 2) {
        board.undo();
        ASSERT_TRUE(board.matchesRecount()) << "after an undo, " << board.stoneCount() << " stones";
      }
    }
  }
}

TEST(PlayBoard, ClassesAreThoseOfTheLinesOnTheBoard) {
  std::mt19937 random(11);
  static constexpr int kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
  for (int game = 0; game < 4; ++game) {
    Board board(15);
    playRandomly(board, random, 40 + 20 * game);
    for (int y = 0; y < board.size(); ++y) {
      for (int x = 0; x < board.size(); ++x) {
        if (!board.isEmpty(Board::cellAt(x, y))) continue;
        for (int d = 0; d < 4; ++d) {
          for (int colour = 0; colour < 2; ++colour) {
            const std::string text = lineText(board, x, y, kSteps[d][0], kSteps[d][1], colour);
            ASSERT_EQ(board.lineClassAt(colour, Board::cellAt(x, y), d), classOf(text))
                << "cell " << x << "," << y << " direction " << d << " line " << text;
          }
        }
      }
    }
  }
}

TEST(ThreatSets, FlagTheShapesEachSideCouldMakeByWhoMovesNext) {
  Board board(20);
  const auto place = [&](int colour, int x, int y) {
    board.setSideToMove(colour);
    board.play(Board::cellAt(x, y));
  };
  place(1, 5, 5);
  place(1, 6, 5);
  place(0, 15, 15);
  // x has an open two: the cells at its ends make an open three, nothing makes a four; o's lone
  // stone makes no three anywhere.
  board.setSideToMove(0);
  EXPECT_EQ(threatFlags(board), kTheirThree);
  // An open three: its ends make open fours, the cells beyond a gap plain fours, and no cell
  // makes a mere open three any more.
  place(1, 7, 5);
  board.setSideToMove(0);
  EXPECT_EQ(threatFlags(board), kTheirFlexFour | kTheirFour);
  board.setSideToMove(1);
  EXPECT_EQ(threatFlags(board), kOwnFlexFour | kOwnFour);
}

// The eight symmetries of the square board.
int symmetric(int s, int x, int y, int n, bool wantX) {
  int a = x, b = y;
  if (s & 1) a = n - 1 - a;
  if (s & 2) b = n - 1 - b;
  if (s & 4) std::swap(a, b);
  return wantX ? a : b;
}

TEST(Evaluation, SameOnEveryRotationAndMirrorOfTheBoard) {
  std::mt19937 random(3);
  for (int game = 0; game < 10; ++game) {
    Board board(20);
    board.play(Board::cellAt(6 + game % 5, 8));
    playRandomly(board, random, 5 + 4 * game);
    const AlphaBeta reference(board, PlayLimits{});
    const int value = reference.evaluate();
    for (int s = 1; s < 8; ++s) {
      Board turned(20);
      for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
          const int stone = board.stone(Board::cellAt(x, y));
          if (stone == kEmptyCell) continue;
          turned.setSideToMove(stone);
          turned.play(Board::cellAt(symmetric(s, x, y, 20, true), symmetric(s, x, y, 20, false)));
        }
      }
      turned.setSideToMove(board.sideToMove());
      const AlphaBeta search(turned, PlayLimits{});
      EXPECT_EQ(search.evaluate(), value) << "game " << game << " symmetry " << s;
      for (int colour = 0; colour < 2; ++colour) {
        for (int shape = 0; shape < kShapes; ++shape) {
          EXPECT_EQ(turned.shapeCount(colour, static_cast<Shape>(shape)),
                    board.shapeCount(colour, static_cast<Shape>(shape)));
        }
      }
    }
  }
}

}  // namespace
}  // namespace brenk::play
