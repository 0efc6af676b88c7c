// Replays the fuzz regression corpus through the same check the fuzzer applies, in both modes, so
// an input that once broke the loader or the driver can never come back unnoticed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/move_check.h"

namespace brenk::fuzz {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

const fs::path kCorpus = fs::path(BRENK_SOURCE_DIR) / "fuzz" / "corpus";

TEST(FuzzInput, SeparatorsSplitTheThreeFilesAndMissingOnesStayAbsent) {
  const FuzzFiles all =
      splitFuzzInput(std::string_view("board\0x\0"
                                      "1500\0tail",
                                      17));
  ASSERT_TRUE(all.board && all.symbol && all.config);
  EXPECT_EQ(*all.board, "board");
  EXPECT_EQ(*all.symbol, "x");
  EXPECT_EQ(*all.config, std::string("1500\0tail", 9)) << "a third separator belongs to brenk.cfg";

  const FuzzFiles boardOnly = splitFuzzInput("just a board");
  EXPECT_EQ(boardOnly.board, "just a board");
  EXPECT_FALSE(boardOnly.symbol);
  EXPECT_FALSE(boardOnly.config);

  const FuzzFiles noConfig = splitFuzzInput(std::string_view("b\0", 2));
  EXPECT_EQ(noConfig.symbol, "");
  EXPECT_FALSE(noConfig.config);
}

TEST(FuzzCheck, JudgesTheMoveAgainstTheLoadedBoard) {
  // Three stones: the opening rule answers the best opponent cell, which must be empty.
  std::string board(400, '-');
  board[9 * 20 + 9] = 'x';
  board[9 * 20 + 10] = 'o';
  board[10 * 20 + 10] = 'x';
  const MoveCheck three = runAndCheck(FuzzFiles{board, "o", std::nullopt});
  EXPECT_TRUE(three.loaded && three.boardHasEmpty && three.hasMove && three.legal);
  EXPECT_EQ(board[three.row * 20 + three.col], '-');

  // A full board has no legal move: the check holds whatever the driver writes.
  const MoveCheck full = runAndCheck(FuzzFiles{std::string(400, 'x'), "o", "10"});
  EXPECT_TRUE(full.loaded);
  EXPECT_FALSE(full.boardHasEmpty);
  EXPECT_TRUE(runPasses(full));

  // Without tah.dat brenk writes nothing, and nothing is judged.
  const MoveCheck noSymbol = runAndCheck(FuzzFiles{board, std::nullopt, std::nullopt});
  EXPECT_FALSE(noSymbol.loaded);
  EXPECT_FALSE(noSymbol.hasMove);
}

TEST(FuzzCorpus, EveryKeptInputPlaysALegalMove) {
  ASSERT_TRUE(fs::is_directory(kCorpus)) << kCorpus;
  int replayed = 0;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    for (const bool threats : {false, true}) {
      SCOPED_TRACE(entry.path().filename().string() + (threats ? " in the threat-space mode" : ""));
      const MoveCheck check = runAndCheck(splitFuzzInput(bytesOf(entry.path())), threats);
      EXPECT_TRUE(runPasses(check)) << "move " << check.col << "," << check.row << " hasMove " << check.hasMove
                                    << " escapedError " << check.escapedError;
      if (check.loaded && check.boardHasEmpty) {
        EXPECT_TRUE(check.hasMove);
      }
    }
    ++replayed;
  }
  EXPECT_GE(replayed, 10) << "the corpus has lost its inputs";
}

}  // namespace
}  // namespace brenk::fuzz
