// brenk-bench: figures for the proof-number search, printed, never asserted.
//   brenk-bench [search] [--ms N] [--budget-mib M] [--threats [--depth D]]
//                                                     one timed search on a middle-game position
//   brenk-bench vcf FILE [--iterations N | --ms N] [--limit K] [--verbose] [--threats]
//                                                     the solved VCF positions (vcf20.tsv)
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "apps/command_line.h"
#include "bench/search_bench.h"
#include "bench/vcf_suite.h"
#include "engine/play/search.h"
#include "engine/search/search.h"

namespace {

struct SearchOptions {
  int32_t ms = 3500;
  int64_t budgetMiB = static_cast<int64_t>(brenk::kDefaultTreeBudget >> 20);
  bool threats = false;
  int depth = 0;
};

// A tebibyte of tree is far beyond any machine this runs on, and keeps the shift into bytes exact.
constexpr int64_t kMaxBudgetMiB = int64_t{1} << 20;

void addSearchMode(CLI::App& app, SearchOptions& options) {
  CLI::App* search = app.add_subcommand("search", "one timed search on a middle-game position (the default mode)");
  search->add_option("--ms", options.ms, "time allowance in milliseconds")
      ->capture_default_str()
      ->check(brenk::wholeNumber(1, INT32_MAX));
  search->add_option("--budget-mib", options.budgetMiB, "tree memory budget in MiB")
      ->capture_default_str()
      ->check(brenk::wholeNumber(1, kMaxBudgetMiB));
  CLI::Option* threats = search->add_flag("--threats", options.threats, "search in the threat-space mode");
  search->add_option("--depth", options.depth, "the threat-space mode's alpha-beta search to exactly this depth")
      ->check(brenk::wholeNumber(1, brenk::play::kMaxDepth))
      ->needs(threats);
}

void addVcfMode(CLI::App& app, std::string& file, brenk::bench::VcfSuiteOptions& options) {
  CLI::App* vcf = app.add_subcommand("vcf", "the solved VCF positions of FILE (such as vcf20.tsv)");
  vcf->add_option("FILE", file, "tab-separated solved positions")->required();
  CLI::Option* iterations = vcf->add_option("--iterations", options.iterations, "iteration cap per position")
                                ->capture_default_str()
                                ->check(brenk::wholeNumber(1));
  vcf->add_option("--ms", options.timeMs, "time allowance per position in milliseconds, instead of the cap")
      ->check(brenk::wholeNumber(1, INT32_MAX))
      ->excludes(iterations);
  vcf->add_option("--limit", options.limit, "positions to run from the start of the file (0: all)")
      ->capture_default_str()
      ->check(brenk::wholeNumber(0, INT32_MAX));
  vcf->add_flag("--verbose", options.verbose, "a line per position");
  vcf->add_flag("--threats", options.threats, "search in the threat-space mode");
}

// Without a mode the search bench runs, as it always has: `brenk-bench --ms 500` is
// `brenk-bench search --ms 500`. Help and version stay with the tool itself.
std::vector<const char*> withDefaultMode(int argc, char** argv) {
  std::vector<const char*> args(argv, argv + argc);
  const std::string first = argc > 1 ? argv[1] : "";
  const bool toolFlag = first == "-h" || first == "--help" || first == "--version";
  if (argc == 1 || (first.starts_with("-") && !toolFlag)) args.insert(args.begin() + 1, "search");
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brenk;
  CLI::App app{"Figures for the proof-number search: speed, memory and solved positions.", "brenk-bench"};
  addVersionFlag(app);
  app.require_subcommand(0, 1);
  SearchOptions search;
  addSearchMode(app, search);
  std::string vcfFile;
  bench::VcfSuiteOptions vcf;
  addVcfMode(app, vcfFile, vcf);

  const std::vector<const char*> args = withDefaultMode(argc, argv);
  if (const auto status = parseCommandLine(app, static_cast<int>(args.size()), args.data())) return *status;
  if (app.got_subcommand("vcf")) return bench::runVcfSuite(vcfFile, vcf) ? 0 : 1;
  if (search.threats) {
    std::printf("threat-space mode\n");
    std::fflush(stdout);  // before the bench forks, or the child would print it again
  }
  bench::runSearchBench(bench::middleGamePosition(), search.ms, static_cast<size_t>(search.budgetMiB) << 20,
                        search.threats, search.depth);
  return 0;
}
