// The bench signature: the total of nodes created over the built-in positions at the default
// iteration cap. The number below is a regression signature taken from a run of the bench, not a
// value derived from the rules: it must change only when search behaviour changes on purpose
// (then update it, and say why in the commit), never with a pure speed-up.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_process.h"

namespace {

constexpr const char* kSignature = "163975";
constexpr size_t kLeastPositions = 24;

struct BenchRun {
  int status = -1;
  std::vector<std::string> lines;
};

BenchRun runBench(const std::vector<std::string>& args) {
  brenk::testsupport::RunOptions options;
  options.args = {"bench"};
  options.args.insert(options.args.end(), args.begin(), args.end());
  options.stderrTo = brenk::testsupport::Stderr::Merge;
  options.timeoutMs = 0;
  const brenk::testsupport::ProcessRun process = brenk::testsupport::runProcess(BRENK_CLI_EXE, options);
  BenchRun run;
  run.status = process.status;
  std::istringstream in(process.out);
  for (std::string line; std::getline(in, line);) run.lines.push_back(line);
  return run;
}

// Position lines: name, decision, row,col, iterations, nodes, ms, nodes/s, peak MiB.
const std::regex kPositionLine(R"(^.{22} (\S+) +(\d+),(\d+) +(\d+) +(\d+) +\d+ +\d+ +[0-9.]+$)");
const std::regex kTotalLine(R"(^total nodes created (\d+) \(signature\), \d+ nodes/s over \d+ ms$)");

TEST(CliBenchSignature, TotalNodesCreatedAtTheDefaultCap) {
  const BenchRun run = runBench({});
  ASSERT_EQ(run.status, 0);
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.front(), "iterations per position: 2000");
  std::smatch total;
  ASSERT_TRUE(std::regex_match(run.lines.back(), total, kTotalLine)) << run.lines.back();
  EXPECT_EQ(total[1].str(), kSignature) << "search behaviour changed";

  // The total is the sum of the positions' own counts, and each stays within the cap.
  unsigned long long sum = 0;
  size_t positions = 0;
  for (const std::string& line : run.lines) {
    std::smatch match;
    if (!std::regex_match(line, match, kPositionLine)) continue;
    ++positions;
    EXPECT_LE(std::stoll(match[4].str()), 2000) << line;
    EXPECT_LT(std::stoi(match[2].str()), 20) << line;
    EXPECT_LT(std::stoi(match[3].str()), 20) << line;
    sum += std::stoull(match[5].str());
  }
  EXPECT_GE(positions, kLeastPositions);
  EXPECT_EQ(std::to_string(sum), total[1].str());
}

// With no iteration allowed, a searched position builds its root and nothing more.
TEST(CliBenchSignature, ZeroIterationsBuildOnlyTheRoots) {
  const BenchRun run = runBench({"--iterations", "0"});
  ASSERT_EQ(run.status, 0);
  size_t positions = 0, searched = 0;
  for (const std::string& line : run.lines) {
    std::smatch match;
    if (!std::regex_match(line, match, kPositionLine)) continue;
    ++positions;
    const bool search = match[1].str() == "search";
    searched += search;
    EXPECT_EQ(match[4].str(), "0") << line;
    EXPECT_EQ(match[5].str(), search ? "1" : "0") << line;
  }
  EXPECT_GE(positions, kLeastPositions);
  EXPECT_GT(searched, 0u);
}

}  // namespace
