// brenk-bench: figures for the proof-number search, printed, never asserted.
//   brenk-bench [search] [--ms N] [--budget-mib M]   one timed search on a middle-game position
//   brenk-bench vcf FILE [--iterations N | --ms N] [--limit K] [--verbose] [--threats]
//                                                     the solved VCF positions (vcf20.tsv)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/search_bench.h"
#include "bench/vcf_suite.h"
#include "engine/search/search.h"

namespace {

// The value after `flag`, or `fallback` when the flag is absent.
long long option(int argc, char** argv, const std::string& flag, long long fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (flag == argv[i]) return std::atoll(argv[i + 1]);
  }
  return fallback;
}

bool hasFlag(int argc, char** argv, const std::string& flag) {
  for (int i = 1; i < argc; ++i) {
    if (flag == argv[i]) return true;
  }
  return false;
}

int usage() {
  std::fprintf(stderr,
               "usage: brenk-bench [search] [--ms N] [--budget-mib M]\n"
               "       brenk-bench vcf FILE [--iterations N | --ms N] [--limit K] [--verbose] [--threats]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brenk;
  const std::string mode = argc > 1 && argv[1][0] != '-' ? argv[1] : "search";
  if (mode == "search") {
    const auto ms = static_cast<int32_t>(option(argc, argv, "--ms", 3500));
    const auto budgetMiB = option(argc, argv, "--budget-mib", static_cast<long long>(kDefaultTreeBudget >> 20));
    bench::runSearchBench(bench::middleGamePosition(), ms, static_cast<size_t>(budgetMiB) << 20);
    return 0;
  }
  if (mode == "vcf" && argc > 2) {
    bench::VcfSuiteOptions options;
    options.iterations = option(argc, argv, "--iterations", 1000);
    options.timeMs = static_cast<int32_t>(option(argc, argv, "--ms", 0));
    options.limit = static_cast<int>(option(argc, argv, "--limit", 0));
    options.verbose = hasFlag(argc, argv, "--verbose");
    options.threats = hasFlag(argc, argv, "--threats");
    return bench::runVcfSuite(argv[2], options) ? 0 : 1;
  }
  return usage();
}
