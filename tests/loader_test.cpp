// The loader: board characters with whitespace skipped, the candidate box, the engine's symbol with
// its two opposite defaults, the time allowance, and the messages for missing files.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "engine/host/files.h"
#include "tests/support/board_text.h"
#include "tests/support/temp_dir.h"

namespace brenk {
namespace {

namespace fs = std::filesystem;

using testsupport::BoardText;
using testsupport::readFile;
using testsupport::TempDir;

struct Box {
  int minRow, maxRow, minCol, maxCol;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << "rows " << box.minRow << ".." << box.maxRow << ", cols " << box.minCol << ".." << box.maxCol;
}
Box boxOf(const Position& pos) { return {pos.minRow, pos.maxRow, pos.minCol, pos.maxCol}; }

Position boardFrom(const std::string& text, char& ch) {
  Position pos;
  std::istringstream in(text);
  readBoard(in, pos, ch);
  return pos;
}

Position boardFrom(const std::string& text) {
  char ch = '-';
  return boardFrom(text, ch);
}

// Expected cell values of a text of exactly 400 cell characters, by the board file's table.
void expectCellsMatch(const Position& pos, const std::string& cells) {
  int stones = 0;
  for (int r = 0; r < 20; ++r) {
    for (int c = 0; c < 20; ++c) {
      const char ch = cells[static_cast<size_t>(r * 20 + c)];
      const int32_t want = ch == '-' ? kEmpty : ch == 'x' ? kStoneX : kStoneO;
      if (ch != '-') ++stones;
      ASSERT_EQ(pos.cells[r][c], want) << "cell " << r << "," << c;
    }
  }
  EXPECT_EQ(pos.stoneCount, stones);
}

BoardText mixedBoard() {
  return BoardText{}.set(0, 0, 'x').set(0, 19, 'o').set(7, 3, 'x').set(9, 9, 'o').set(9, 10, 'x').set(19, 0, 'o');
}

TEST(ReadBoard, TwentyLinesOfTwenty) {
  const BoardText board = mixedBoard();
  const Position pos = boardFrom(board.inRows());
  expectCellsMatch(pos, board.cells);
  EXPECT_EQ(pos.stoneCount, 6);
}

TEST(ReadBoard, LineStructureCarriesNoMeaning) {
  const BoardText board = mixedBoard();
  std::string oddBreaks;
  for (size_t i = 0; i < board.cells.size(); ++i) {
    oddBreaks += board.cells[i];
    if (i % 7 == 6) oddBreaks += "\r\n";
    if (i % 13 == 5) oddBreaks += " \t";
    if (i % 31 == 30) oddBreaks += "\v\f\n\n";
  }
  const Position reference = boardFrom(board.inRows());
  for (const std::string& text : {board.cells, board.cells + "\n", "\n\n   " + oddBreaks}) {
    const Position pos = boardFrom(text);
    expectCellsMatch(pos, board.cells);
    EXPECT_EQ(boxOf(pos), boxOf(reference));
  }
}

TEST(ReadBoard, CharactersAfterTheFourHundredthAreNotRead) {
  const BoardText board = mixedBoard();
  char ch = '-';
  const Position pos = boardFrom(board.inRows() + "xxxxxxxxxx\nooooo\n", ch);
  expectCellsMatch(pos, board.cells);
  EXPECT_EQ(ch, '-') << "the last character read is the 400th";
}

TEST(ReadBoard, CellCharacters) {
  // Lower-case x alone is stone 1; every other non-blank character is stone 0.
  const BoardText board =
      BoardText{}.set(2, 2, 'x').set(2, 3, 'o').set(2, 4, 'O').set(2, 5, 'X').set(2, 6, '1').set(2, 7, '*');
  const Position pos = boardFrom(board.inRows());
  EXPECT_EQ(pos.cells[2][2], kStoneX);
  EXPECT_EQ(pos.cells[2][3], kStoneO);
  EXPECT_EQ(pos.cells[2][4], kStoneO);
  EXPECT_EQ(pos.cells[2][5], kStoneO) << "upper-case X is not x";
  EXPECT_EQ(pos.cells[2][6], kStoneO);
  EXPECT_EQ(pos.cells[2][7], kStoneO);
  EXPECT_EQ(pos.cells[2][8], kEmpty);
  EXPECT_EQ(pos.stoneCount, 6);
}

TEST(ReadBoard, BoxOfTheStonesWidenedAndClamped) {
  EXPECT_EQ(boxOf(boardFrom(BoardText{}.inRows())), (Box{8, 11, 8, 11}));
  EXPECT_EQ(boxOf(boardFrom(BoardText{}.set(0, 0, 'x').inRows())), (Box{0, 11, 0, 11}));
  EXPECT_EQ(boxOf(boardFrom(BoardText{}.set(19, 19, 'o').inRows())), (Box{8, 19, 8, 19}));
  // The minima stay at 10 before widening: the box is not the tight box of the stone.
  EXPECT_EQ(boxOf(boardFrom(BoardText{}.set(15, 12, 'x').inRows())), (Box{8, 17, 8, 14}));
  EXPECT_EQ(boxOf(boardFrom(BoardText{}.set(3, 12, 'x').set(5, 15, 'o').inRows())), (Box{1, 11, 8, 17}));
  EXPECT_EQ(boxOf(boardFrom(BoardText{}.set(12, 1, 'o').set(17, 4, 'x').set(14, 18, 'o').inRows())),
            (Box{8, 19, 0, 19}));
}

TEST(ReadBoard, EmptyBoardCountsNoStones) {
  Position pos;
  pos.stoneCount = 55;  // the loader starts its count afresh
  std::istringstream in(BoardText{}.inRows());
  char ch = 'x';
  readBoard(in, pos, ch);
  EXPECT_EQ(pos.stoneCount, 0);
  EXPECT_EQ(ch, '-');
}

TEST(ReadBoard, ShortBoardRepeatsItsLastCharacter) {
  // 390 empty cells and one x: the ten missing cells of row 19 read as x too.
  const Position pos = boardFrom(std::string(390, '-') + "x");
  EXPECT_EQ(pos.stoneCount, 10);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(pos.cells[19][c], kEmpty) << c;
  for (int c = 10; c < 20; ++c) EXPECT_EQ(pos.cells[19][c], kStoneX) << c;
  EXPECT_EQ(boxOf(pos), (Box{8, 19, 8, 19}));

  const Position tail = boardFrom("x-o");  // cells 3..399 repeat the o
  EXPECT_EQ(tail.cells[0][0], kStoneX);
  EXPECT_EQ(tail.cells[0][1], kEmpty);
  EXPECT_EQ(tail.cells[0][2], kStoneO);
  EXPECT_EQ(tail.cells[19][19], kStoneO);
  EXPECT_EQ(tail.stoneCount, 399);
  EXPECT_EQ(boxOf(tail), (Box{0, 19, 0, 19}));

  const Position emptyTail = boardFrom("xo-");
  EXPECT_EQ(emptyTail.stoneCount, 2);
  EXPECT_EQ(emptyTail.cells[5][5], kEmpty);
}

TEST(ReadBoard, FileWithoutCellCharactersLoadsEmpty) {
  for (const std::string text : {"", "  \n\t\r\n"}) {
    char ch = '-';
    const Position pos = boardFrom(text, ch);
    EXPECT_EQ(pos.stoneCount, 0);
    EXPECT_EQ(pos.cells[0][0], kEmpty);
    EXPECT_EQ(pos.cells[19][19], kEmpty);
    EXPECT_EQ(boxOf(pos), (Box{8, 11, 8, 11}));
  }
}

TEST(ReadBoard, LeavesFieldsOutsideItsShareAlone) {
  const Position pos = boardFrom(BoardText{}.set(4, 4, 'x').inRows());
  EXPECT_TRUE(pos.searcherToMove);
  EXPECT_FALSE(pos.firstMoveSet);
  EXPECT_EQ(pos.plyCount, 0);
  EXPECT_EQ(pos.firstRow, 19);
  EXPECT_EQ(pos.firstCol, 19);
  EXPECT_EQ(pos.movingCategory, 1);
}

int32_t engineStoneFor(const std::string& moveFile, char ch = '-') {
  Position pos;
  std::istringstream in(moveFile);
  readSymbol(in, pos, ch);
  EXPECT_EQ(pos.opponent, 1 - pos.toMove);
  return pos.toMove;
}

TEST(ReadSymbol, OnlyLowerCaseOPlaysO) {
  EXPECT_EQ(engineStoneFor("o"), kStoneO);
  EXPECT_EQ(engineStoneFor("  \r\n\to\n"), kStoneO);
  EXPECT_EQ(engineStoneFor("oxx"), kStoneO);
  EXPECT_EQ(engineStoneFor("x"), kStoneX);
  EXPECT_EQ(engineStoneFor("X"), kStoneX);
  EXPECT_EQ(engineStoneFor("O"), kStoneX) << "an unrecognised symbol plays x";
  EXPECT_EQ(engineStoneFor("z"), kStoneX);
  EXPECT_EQ(engineStoneFor("xo"), kStoneX);
}

TEST(ReadSymbol, EmptyMoveFileFallsBackOnTheLastBoardCharacter) {
  EXPECT_EQ(engineStoneFor("", 'o'), kStoneO);
  EXPECT_EQ(engineStoneFor(" \n ", 'o'), kStoneO);
  EXPECT_EQ(engineStoneFor("", 'x'), kStoneX);
  EXPECT_EQ(engineStoneFor("", '-'), kStoneX);
  EXPECT_EQ(engineStoneFor("", 'O'), kStoneX);
}

int32_t allowanceFrom(const std::string& config, int32_t before = kDefaultTimeAllowance) {
  int32_t allowance = before;
  std::istringstream in(config);
  readAllowance(in, allowance);
  return allowance;
}

TEST(ReadAllowance, FirstIntegerAfterBlanks) {
  EXPECT_EQ(allowanceFrom("1500"), 1500);
  EXPECT_EQ(allowanceFrom("\n1500\n"), 1500);
  EXPECT_EQ(allowanceFrom(" \t\r\n  250 900"), 250);
  EXPECT_EQ(allowanceFrom("0"), 0);
  EXPECT_EQ(allowanceFrom("-40"), -40);
  EXPECT_EQ(allowanceFrom("+75"), 75);
  EXPECT_EQ(allowanceFrom("2147483647"), 2147483647);
  EXPECT_EQ(allowanceFrom("-2147483648"), -2147483647 - 1);
}

TEST(ReadAllowance, NoValidIntegerKeepsTheAllowance) {
  EXPECT_EQ(allowanceFrom(""), 3500);
  EXPECT_EQ(allowanceFrom("   \n\t \n"), 3500);
  EXPECT_EQ(allowanceFrom("abc"), 3500);
  EXPECT_EQ(allowanceFrom("time 1500"), 3500);
  EXPECT_EQ(allowanceFrom("2147483648"), 3500);
  EXPECT_EQ(allowanceFrom("-2147483649"), 3500);
  EXPECT_EQ(allowanceFrom("99999999999999999999999"), 3500);
  EXPECT_EQ(allowanceFrom("", 777), 777) << "whatever the allowance held stays";
  EXPECT_EQ(allowanceFrom("x", 777), 777);
}

struct Loaded {
  bool ok = false;
  Position pos;
  int32_t allowance = kDefaultTimeAllowance;
  std::string messages;
};

Loaded load(const TempDir& dir, int32_t allowance = kDefaultTimeAllowance) {
  Loaded result;
  result.allowance = allowance;
  std::ostringstream messages;
  result.ok = loadPositionFrom(dir.path(), result.pos, result.allowance, messages);
  result.messages = messages.str();
  return result;
}

TEST(LoadPositionFrom, ReadsAllThreeFiles) {
  TempDir dir;
  const BoardText board = mixedBoard();
  dir.write("plocha.dat", board.inRows());
  dir.write("tah.dat", "o");
  dir.write("brenk.cfg", "\n1500\n");
  const Loaded loaded = load(dir);
  ASSERT_TRUE(loaded.ok);
  expectCellsMatch(loaded.pos, board.cells);
  EXPECT_EQ(loaded.pos.toMove, kStoneO);
  EXPECT_EQ(loaded.pos.opponent, kStoneX);
  EXPECT_EQ(loaded.allowance, 1500);
  EXPECT_EQ(loaded.messages, "");
  EXPECT_TRUE(loaded.pos.searcherToMove);
}

TEST(LoadPositionFrom, ConfigurationVariants) {
  struct Case {
    const char* content;  // nullptr: no brenk.cfg at all
    int32_t allowance;
  };
  for (const Case& c : {Case{nullptr, 3500}, Case{"\n1500", 1500}, Case{"", 3500}, Case{"  \n \t", 3500},
                        Case{"fast", 3500}, Case{"4294967296", 3500}, Case{"-100", -100}, Case{"120\n", 120}}) {
    TempDir dir;
    dir.write("plocha.dat", BoardText{}.inRows());
    dir.write("tah.dat", "x");
    if (c.content != nullptr) dir.write("brenk.cfg", c.content);
    const Loaded loaded = load(dir);
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.allowance, c.allowance) << (c.content ? c.content : "(no file)");
  }
}

TEST(LoadPositionFrom, EmptyMoveFileAfterTheBoard) {
  struct Case {
    std::string board;
    int32_t engine;
  };
  // The symbol read fails, so the last board character decides.
  for (const Case& c :
       {Case{BoardText{}.set(19, 19, 'o').inRows(), kStoneO}, Case{BoardText{}.inRows(), kStoneX},
        Case{BoardText{}.set(19, 19, 'x').inRows(), kStoneX}, Case{BoardText{}.set(19, 19, 'O').inRows(), kStoneX},
        Case{"", kStoneX}, Case{std::string(390, '-') + "o", kStoneO}}) {
    TempDir dir;
    dir.write("plocha.dat", c.board);
    dir.write("tah.dat", "");
    const Loaded loaded = load(dir);
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.pos.toMove, c.engine) << c.board.substr(c.board.size() > 20 ? c.board.size() - 20 : 0);
  }
}

TEST(LoadPositionFrom, EndOfTheBoardFileDoesNotSpoilTheMoveFile) {
  TempDir dir;
  dir.write("plocha.dat", "x");  // short: the read runs into the end of the file
  dir.write("tah.dat", "o");
  const Loaded loaded = load(dir);
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.pos.stoneCount, 400);
  EXPECT_EQ(loaded.pos.toMove, kStoneO);
}

TEST(LoadPositionFrom, MissingBoardFile) {
  TempDir dir;
  dir.write("tah.dat", "o");
  dir.write("brenk.cfg", "100");
  const Loaded loaded = load(dir);
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.messages, "Nemohu otevrit soubor plocha.dat!\n");
  EXPECT_EQ(loaded.allowance, 3500) << "the configuration is read last";
  const Position fresh;
  EXPECT_EQ(loaded.pos.stoneCount, fresh.stoneCount);
  EXPECT_EQ(boxOf(loaded.pos), (Box{10, 9, 10, 9}));
  EXPECT_EQ(loaded.pos.toMove, fresh.toMove);
}

TEST(LoadPositionFrom, MissingMoveFile) {
  TempDir dir;
  dir.write("plocha.dat", BoardText{}.set(15, 12, 'x').inRows());
  dir.write("brenk.cfg", "100");
  const Loaded loaded = load(dir);
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.messages, "Nemohu otevrit soubor tah.dat!\n");
  EXPECT_EQ(loaded.allowance, 3500);
  // The board is loaded already when the move file turns out to be missing.
  EXPECT_EQ(loaded.pos.stoneCount, 1);
  EXPECT_EQ(loaded.pos.cells[15][12], kStoneX);
  EXPECT_EQ(boxOf(loaded.pos), (Box{8, 17, 8, 14}));
  EXPECT_FALSE(fs::exists(dir.path() / "tah.dat")) << "loading never creates the move file";
}

TEST(LoadPositionFrom, BothFilesMissingReportsTheBoardOnly) {
  TempDir dir;
  const Loaded loaded = load(dir);
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.messages, "Nemohu otevrit soubor plocha.dat!\n");
}

TEST(WriteMoveFile, ColumnCommaRowAndNothingElse) {
  TempDir dir;
  const fs::path file = dir.path() / "tah.dat";
  writeMoveFile(file, 9, 9);
  EXPECT_EQ(readFile(file), "9,9");
  writeMoveFile(file, 3, 12);
  EXPECT_EQ(readFile(file), "12,3");
  writeMoveFile(file, 19, 0);
  EXPECT_EQ(readFile(file), "0,19");
}

TEST(WriteMoveFile, EachWriteReplacesTheWholeFile) {
  TempDir dir;
  const fs::path file = dir.path() / "tah.dat";
  dir.write("tah.dat", "x\nsome longer leftover text\n");
  writeMoveFile(file, 15, 12);
  writeMoveFile(file, 1, 2);
  EXPECT_EQ(readFile(file), "2,1");
}

TEST(WriteMoveFile, UnwritablePlaceIsSilentlySkipped) {
  TempDir dir;
  writeMoveFile(dir.path() / "missing-dir" / "tah.dat", 9, 9);
  EXPECT_FALSE(fs::exists(dir.path() / "missing-dir"));
}

}  // namespace
}  // namespace brenk
