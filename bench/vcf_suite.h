// The solved VCF positions as a yardstick: how many the engine proves, and how many it answers
// with one of the known winning first moves, within a fixed number of iterations.
#pragma once

#include <cstdint>
#include <string>

namespace brenk::bench {

struct VcfSuiteOptions {
  int64_t iterations = 1000;  // the search's cap; with timeMs 0 the cap alone ends it
  int32_t timeMs = 0;         // a time allowance per position instead, when above 0
  int limit = 0;              // positions to run from the start of the file; 0 runs them all
  bool verbose = false;       // a line per position
  bool threats = false;       // the threat-space mode
};

// Returns false when the file cannot be read.
bool runVcfSuite(const std::string& path, const VcfSuiteOptions& options);

}  // namespace brenk::bench
