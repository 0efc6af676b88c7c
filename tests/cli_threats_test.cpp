// brenk-cli analyze and bench in the threat-space mode, run as people run them: the alpha-beta
// figures in the JSON object and the text report, the fixed depth that repeats on every run, and
// the exact mode's object left without the mode's key.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/cli_run.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

using nlohmann::json;
using brenk::testsupport::TempDir;
using CliRun = brenk::testsupport::ProcessRun;
using brenk::testsupport::runCli;

const std::string kMidgame = std::string(BRENK_SOURCE_DIR) + "/examples/midgame";

std::vector<std::string> boardRows(const std::string& dir) {
  std::istringstream in(brenk::testsupport::readFile(std::string(dir) + "/plocha.dat"));
  std::vector<std::string> rows;
  for (std::string row; in >> row;) rows.push_back(row);
  return rows;
}

json analyzeJson(const std::vector<std::string>& args) {
  std::vector<std::string> full{"analyze"};
  full.insert(full.end(), args.begin(), args.end());
  full.push_back("--json");
  const CliRun run = runCli(full);
  EXPECT_EQ(run.status, 0) << run.err;
  return json::parse(run.out, nullptr, false);
}

std::vector<std::string> keysOf(const json& object) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : object.items()) keys.push_back(key);
  return keys;
}

// The evaluation as people read it: its sign always shown but for 0.
std::string signedText(int score) {
  std::ostringstream text;
  text << (score > 0 ? "+" : "") << score;
  return text.str();
}

TEST(AnalyzeThreats, FixedDepthRepeatsAndItsVariationIsPlayableFromTheMove) {
  const CliRun first = runCli({"analyze", kMidgame, "--threats", "--depth", "4", "--json"});
  const CliRun second = runCli({"analyze", kMidgame, "--threats", "--depth", "4", "--json"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out) << "a fixed depth gives the same object on every run";
  const json answer = json::parse(first.out);
  ASSERT_EQ(answer["decision"], "alpha-beta") << first.out;
  const json& search = answer["alphaBeta"];
  EXPECT_EQ(search["depth"], 4);
  EXPECT_EQ(search["forced"], false);
  const int score = search["score"];
  ASSERT_LT(std::abs(score), 29000) << "a quiet middle game: an evaluation, no forced result";
  EXPECT_EQ(search["scoreText"], signedText(score));

  // The variation starts with the move played, by the side to move (x, 1), and alternates
  // sides over distinct cells that are empty on the board.
  const std::vector<std::string> rows = boardRows(kMidgame);
  const json& pv = search["pv"];
  ASSERT_GE(pv.size(), 2u) << "depth 4 looks past its own move";
  EXPECT_EQ(pv[0][0], answer["move"][0]);
  EXPECT_EQ(pv[0][1], answer["move"][1]);
  std::set<std::pair<int, int>> seen;
  for (size_t i = 0; i < pv.size(); ++i) {
    const int row = pv[i][0], col = pv[i][1];
    EXPECT_EQ(rows[row][col], '-') << row << "," << col;
    EXPECT_TRUE(seen.insert({row, col}).second) << row << "," << col << " twice";
    EXPECT_EQ(pv[i][2], i % 2 == 0 ? 1 : 0);
  }

  // Iterative deepening repeats the shallower iterations first: a shallower search costs less.
  const json shallow = analyzeJson({kMidgame, "--threats", "--depth", "2"});
  EXPECT_EQ(shallow["alphaBeta"]["depth"], 2);
  EXPECT_LT(shallow["alphaBeta"]["nodes"].get<uint64_t>(), search["nodes"].get<uint64_t>());
}

TEST(AnalyzeThreats, TheKeyFollowsTheFixedOnesOnlyInTheMode) {
  const json exact = analyzeJson({kMidgame, "--iterations", "50"});
  const json threats = analyzeJson({kMidgame, "--iterations", "50", "--threats"});
  std::vector<std::string> expected = keysOf(exact);
  EXPECT_EQ(std::count(expected.begin(), expected.end(), "alphaBeta"), 0) << "the exact mode's object is unchanged";
  expected.push_back("alphaBeta");
  // nlohmann's object sorts its keys, so the order is checked on the text itself.
  EXPECT_EQ(keysOf(threats).size(), expected.size());
  const CliRun text = runCli({"analyze", kMidgame, "--iterations", "50", "--threats", "--json"});
  EXPECT_NE(text.out.find(",\"principalLine\":null,\"alphaBeta\":{"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.substr(text.out.size() - 5), "]]}}\n") << "the pv closes the last key";

  // A decision before the search: the key is there, and null.
  TempDir dir("brenk-threats-cli");
  std::string board(400, '-');
  for (int col = 5; col < 9; ++col) board[9 * 20 + col] = 'x';
  for (int col = 5; col < 8; ++col) board[11 * 20 + col] = 'o';
  dir.write("plocha.dat", board);
  dir.write("tah.dat", "x");
  const json five = analyzeJson({dir.path().string(), "--threats", "--depth", "3"});
  EXPECT_EQ(five["decision"], "own-five");
  EXPECT_TRUE(five.contains("alphaBeta") && five["alphaBeta"].is_null());
}

TEST(AnalyzeThreats, TextReportAgreesWithTheObject) {
  const CliRun run = runCli({"analyze", kMidgame, "--threats", "--depth", "3"});
  ASSERT_EQ(run.status, 0) << run.err;
  const json answer = analyzeJson({kMidgame, "--threats", "--depth", "3"});
  const json& search = answer["alphaBeta"];
  std::ostringstream figures;
  figures << "Alpha-beta: depth 3, score " << search["scoreText"].get<std::string>() << ", "
          << search["nodes"].get<uint64_t>() << " nodes, ";
  EXPECT_NE(run.out.find(figures.str()), std::string::npos) << run.out;
  EXPECT_TRUE(std::regex_search(run.out, std::regex(R"(nodes, \d+ ms, \d+ nodes/s\n)"))) << run.out;
  std::ostringstream line;
  line << "Principal variation:";
  for (size_t i = 0; i < search["pv"].size(); ++i) {
    const json& cell = search["pv"][i];
    line << ' ' << i + 1 << ". " << (cell[2] == 1 ? 'x' : 'o') << ' ' << cell[0].get<int>() << ',' << cell[1].get<int>();
  }
  line << "  (stones as row,col)\n";
  EXPECT_NE(run.out.find(line.str()), std::string::npos) << run.out;
}

// A node cap stops the search anywhere, an aspiration re-search included: whatever iteration it
// stops in, the variation reported starts with the move played.
TEST(AnalyzeThreats, AVariationFromTheMoveWhereverTheNodeCapStopsTheSearch) {
  TempDir written("brenk-threats-bench");
  const CliRun write = runCli({"bench", "--write", written.path().string()});
  ASSERT_EQ(write.status, 0) << write.err;
  const std::string opening = write.out.substr(0, write.out.find('\n'));  // two stones near the centre
  for (int iterations = 80; iterations <= 160; iterations += 4) {
    const json answer = analyzeJson({opening, "--threats", "--iterations", std::to_string(iterations)});
    ASSERT_EQ(answer["decision"], "alpha-beta");
    const json& pv = answer["alphaBeta"]["pv"];
    ASSERT_FALSE(pv.empty()) << iterations << " iterations";
    EXPECT_EQ(pv[0][0], answer["move"][0]) << iterations << " iterations";
    EXPECT_EQ(pv[0][1], answer["move"][1]) << iterations << " iterations";
  }
}

// Position lines: name, decision, row,col, depth, score, alpha-beta nodes, vcf nodes, ms, kN/s.
const std::regex kThreatLine(R"(^.{22} (\S+) +\d+,\d+ +(\d+|-) +(\S+(?: in \d+)?) +(\d+) +(\d+) +\d+ +\d+$)");
const std::regex kThreatTotal(R"(^total alpha-beta nodes (\d+), vcf nodes (\d+) \(threat-space signature\), .*$)");

// The lines without their times, and the total of the nodes they show.
std::vector<std::string> benchFigures(const std::string& out, unsigned long long& nodes, unsigned long long& vcf,
                                      std::string& total) {
  std::vector<std::string> figures;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_match(line, m, kThreatLine)) {
      EXPECT_TRUE(m[1] == "alpha-beta" ? m[2] != "-" && std::stoi(m[2]) <= 2 : m[2] == "-") << line;
      nodes += std::stoull(m[4]);
      vcf += std::stoull(m[5]);
      figures.push_back(line.substr(0, line.size() - 17));
    } else if (std::regex_match(line, kThreatTotal)) {
      total = line;
    }
  }
  return figures;
}

TEST(BenchThreats, EachPositionShowsTheSearchAndTheTotalIsTheirSum) {
  const CliRun first = runCli({"bench", "--threats", "--depth", "2", "--iterations", "40"});
  const CliRun second = runCli({"bench", "--threats", "--depth", "2", "--iterations", "40"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out.substr(0, first.out.find('\n')), "iterations per position: 40, threat-space mode, depth 2");
  unsigned long long nodes = 0, vcf = 0, again = 0, vcfAgain = 0;
  std::string total, totalAgain;
  const auto figures = benchFigures(first.out, nodes, vcf, total);
  EXPECT_GE(figures.size(), 24u);
  EXPECT_EQ(figures, benchFigures(second.out, again, vcfAgain, totalAgain)) << "the same on every run but times";
  std::smatch m;
  ASSERT_TRUE(std::regex_match(total, m, kThreatTotal)) << first.out;
  EXPECT_EQ(m[1].str(), std::to_string(nodes));
  EXPECT_EQ(m[2].str(), std::to_string(vcf));
}

}  // namespace
