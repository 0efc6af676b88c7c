// The command lines of brenk-cli, brenk-bench and pbrain-brenk, run as people run them: --help and
// --version answer on standard output with status 0 and do nothing else; a bad option or value is
// named on the first line of standard error, the usage follows, and the status is 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using brenk::testsupport::ProcessRun;
using brenk::testsupport::TempDir;

const std::string kCli = BRENK_CLI_EXE;
const std::string kBench = BRENK_BENCH_EXE;
const std::string kBrain = PBRAIN_EXE;
const std::string kThreatsBrain = PBRAIN_THREATS_EXE;

ProcessRun run(const std::string& exe, const std::vector<std::string>& args) {
  EXPECT_TRUE(fs::exists(exe)) << exe << " is not built";
  brenk::testsupport::RunOptions options;
  options.args = args;
  options.stderrTo = brenk::testsupport::Stderr::Capture;
  options.timeoutMs = 60000;  // serve or a bench that ignored --help would otherwise run on
  return brenk::testsupport::runProcess(exe, options);
}

std::string joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += " " + arg;
  return text;
}

// A game directory with two stones, so that analyze or show would print a board and a decision.
void writeGame(const TempDir& dir) {
  std::string board(400, '-');
  board[9 * 20 + 9] = 'x';
  board[10 * 20 + 10] = 'o';
  dir.write("plocha.dat", board);
  dir.write("tah.dat", "x");
}

TEST(CommandLineHelp, OnStandardOutputWithTheOptionsAndNoWorkDone) {
  TempDir dir;
  writeGame(dir);
  const std::string game = dir.path().string();
  struct Case {
    std::string exe;
    std::vector<std::string> args;
    std::string usage;                 // the usage line of the command asked about
    std::vector<std::string> options;  // names the README and the scripts use
    std::string work;                  // what the command prints when it does run
  };
  const std::vector<Case> cases = {
      {kCli, {"--help"}, "Usage: brenk-cli", {"show", "analyze", "bench", "match", "serve"}, "total nodes"},
      {kCli, {"analyze", game, "--iterations", "10", "--json", "--help"}, "Usage: brenk-cli analyze",
       {"--iterations", "--time", "--memory", "--json", "--threats"}, "decision"},
      {kCli, {"show", game, "-h"}, "Usage: brenk-cli show", {"DIR"}, "stones: x 1, o 1"},
      {kCli, {"bench", "-h"}, "Usage: brenk-cli bench", {"--iterations", "--write", "--threats"}, "total nodes"},
      {kCli, {"match", "a", "b", "--help"}, "Usage: brenk-cli match",
       {"--games", "--allowance", "--margin", "--seed", "--opening-stones", "--openings", "--max-moves", "--out"},
       "game 1"},
      {kCli, {"serve", "--help"}, "Usage: brenk-cli serve", {"--host", "--port"}, "http"},
      {kBench, {"-h"}, "Usage: brenk-bench", {"search", "vcf"}, "search time"},
      {kBench, {"search", "--ms", "100", "--help"}, "Usage: brenk-bench search", {"--ms", "--budget-mib"}, "search time"},
      {kBench, {"vcf", game, "-h"}, "Usage: brenk-bench vcf", {"--iterations", "--ms", "--limit"}, "proved a win"},
      {kBrain, {"--help"}, "Usage: pbrain-brenk", {"--threats"}, "OK"},
  };
  for (const Case& c : cases) {
    const std::string what = c.exe + joined(c.args);
    const ProcessRun help = run(c.exe, c.args);
    EXPECT_EQ(help.status, 0) << what;
    EXPECT_EQ(help.err, "") << what;
    EXPECT_NE(help.out.find(c.usage + " "), std::string::npos) << what << ":\n" << help.out;
    for (const std::string& option : c.options) EXPECT_NE(help.out.find(option), std::string::npos) << what << option;
    EXPECT_EQ(help.out.find(c.work), std::string::npos) << what << " did its work:\n" << help.out;
  }
  const fs::path positions = dir.path() / "positions";
  EXPECT_EQ(run(kCli, {"bench", "--write", positions.string(), "--help"}).status, 0);
  EXPECT_FALSE(fs::exists(positions)) << "bench --write --help wrote nothing";
}

TEST(CommandLineVersion, TheNameAndVersionThatAboutReports) {
  // ABOUT as a manager asks it.
  brenk::testsupport::RunOptions options;
  options.args = {"-c", "printf 'ABOUT\\r\\nEND\\r\\n' | " + kBrain};
  const ProcessRun about = brenk::testsupport::runProcess("/bin/sh", options);
  std::smatch m;
  ASSERT_TRUE(std::regex_search(about.out, m, std::regex(R"re(name="([^"]+)", version="([^"]+)")re"))) << about.out;
  const std::string engineName = m[1].str();
  const std::string engineVersion = m[2].str();
  for (const auto& [exe, name] : std::vector<std::pair<std::string, std::string>>{
           {kCli, "brenk-cli"}, {kBench, "brenk-bench"}, {kBrain, "pbrain-brenk"}, {kThreatsBrain, "pbrain-brenk-threats"}}) {
    const ProcessRun version = run(exe, {"--version"});
    EXPECT_EQ(version.status, 0) << name;
    EXPECT_EQ(version.err, "") << name;
    // "brenk-cli (Brenk) 0.274": the tool, then the engine as ABOUT names it.
    EXPECT_EQ(version.out, name + " (" + engineName + ") " + engineVersion + "\n") << name;
  }
}

TEST(CommandLineFaults, NamedOnOneLineThenTheUsageOnStandardErrorWithStatusTwo) {
  TempDir dir;
  writeGame(dir);
  const std::string game = dir.path().string();
  struct Case {
    std::string exe;
    std::vector<std::string> args;
    std::vector<std::string> named;  // what the first line must mention
    std::string usage;
  };
  const std::vector<Case> cases = {
      {kCli, {}, {"command"}, "Usage: brenk-cli"},
      {kCli, {"frobnicate"}, {"frobnicate"}, "Usage: brenk-cli"},
      {kCli, {"analyze", game, "--iterations", "-5"}, {"--iterations", "-5"}, "Usage: brenk-cli analyze"},
      {kCli, {"analyze", game, "--iterations", "99999999999999999999"}, {"--iterations"}, "Usage: brenk-cli analyze"},
      {kCli, {"analyze", game, "--time", "soon"}, {"--time", "soon"}, "Usage: brenk-cli analyze"},
      {kCli, {"analyze", game, "--memory", "12M"}, {"--memory", "12M"}, "Usage: brenk-cli analyze"},
      {kCli, {"analyze", "--jsn", game}, {"--jsn"}, "Usage: brenk-cli analyze"},
      {kCli, {"bench", "--write", "x", "--threats"}, {"--write", "--threats"}, "Usage: brenk-cli bench"},
      {kCli, {"analyze", game, "--depth", "4"}, {"--depth", "--threats"}, "Usage: brenk-cli analyze"},
      {kCli, {"analyze", game, "--threats", "--depth", "4", "--time", "5"}, {"--depth", "--time"},
       "Usage: brenk-cli analyze"},
      {kCli, {"analyze", game, "--threats", "--depth", "61"}, {"--depth", "61"}, "Usage: brenk-cli analyze"},
      {kCli, {"analyze", game, "--threats", "--depth", "0"}, {"--depth", "0"}, "Usage: brenk-cli analyze"},
      {kCli, {"bench", "--depth", "3"}, {"--depth", "--threats"}, "Usage: brenk-cli bench"},
      {kCli, {"match", "a", "b", "--margin", "-1"}, {"--margin", "-1"}, "Usage: brenk-cli match"},
      {kCli, {"match", "a", "b", "--seed", "-1"}, {"--seed", "-1"}, "Usage: brenk-cli match"},
      {kCli, {"serve", "--port", "65536"}, {"--port", "65536"}, "Usage: brenk-cli serve"},
      {kBench, {"--ms", "-1"}, {"--ms", "-1"}, "Usage: brenk-bench search"},
      {kBench, {"search", "--budget-mib", "lots"}, {"--budget-mib", "lots"}, "Usage: brenk-bench search"},
      {kBench, {"frobnicate"}, {"frobnicate"}, "Usage: brenk-bench"},
      {kBench, {"search", "--depth", "3"}, {"--depth", "--threats"}, "Usage: brenk-bench search"},
      {kBench, {"vcf", game, "--ms", "1.5"}, {"--ms", "1.5"}, "Usage: brenk-bench vcf"},
      {kBench, {"vcf", game, "--iterations", "5", "--ms", "5"}, {"--iterations", "--ms"}, "Usage: brenk-bench vcf"},
      {kBrain, {"--frobnicate"}, {"--frobnicate"}, "Usage: pbrain-brenk"},
  };
  for (const Case& c : cases) {
    const std::string what = c.exe + joined(c.args);
    const ProcessRun bad = run(c.exe, c.args);
    EXPECT_EQ(bad.status, 2) << what;
    EXPECT_EQ(bad.out, "") << what << ": nothing on standard output, where a manager reads moves";
    const size_t lineEnd = bad.err.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << what;
    const std::string first = bad.err.substr(0, lineEnd);
    const std::string tool = fs::path(c.exe).filename().string();
    EXPECT_TRUE(first.rfind(tool + ": ", 0) == 0 || first.rfind(tool + " ", 0) == 0) << what << ": " << first;
    for (const std::string& name : c.named) EXPECT_NE(first.find(name), std::string::npos) << what << ": " << first;
    EXPECT_NE(bad.err.find(c.usage + " ", lineEnd), std::string::npos) << what << ":\n" << bad.err;
  }
}

// The threat-space switch reaches each front end's search: each says so where its output would
// otherwise be taken for the default engine's (pbrain-brenk's is in pbrain_test.cpp).
TEST(CommandLineThreats, EachFrontEndNamesTheModeOnlyWhenAskedFor) {
  TempDir dir;
  writeGame(dir);
  dir.write("empty.tsv", "");
  const std::string suite = (dir.path() / "empty.tsv").string();
  struct Case {
    std::string exe;
    std::vector<std::string> args;  // --threats is added for the second run
    bool onStderr;
    std::string said;
  };
  const std::vector<Case> cases = {
      {kCli, {"analyze", dir.path().string(), "--iterations", "10", "--json"}, true, "threat-space mode"},
      {kCli, {"bench", "--iterations", "0"}, false, "iterations per position: 0, threat-space mode\n"},
      {kBench, {"search", "--ms", "1"}, false, "threat-space mode\n"},
      {kBench, {"vcf", suite, "--iterations", "1"}, false, "0 positions, at most 1 iterations each, threat-space mode"},
  };
  for (const Case& c : cases) {
    for (const bool threats : {false, true}) {
      std::vector<std::string> args = c.args;
      if (threats) args.push_back("--threats");
      const ProcessRun done = run(c.exe, args);
      EXPECT_EQ(done.status, 0) << c.exe << joined(args) << ": " << done.err;
      const std::string& text = c.onStderr ? done.err : done.out;
      EXPECT_EQ(text.find(c.said) != std::string::npos, threats) << c.exe << joined(args) << ":\n" << text;
    }
  }
}

}  // namespace
